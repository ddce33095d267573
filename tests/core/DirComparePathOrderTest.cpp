// The order of full paths that the comparison merges by: the scan's order of
// names, taken name by name along the path.
#include "core/DirCompare.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vm;

namespace {

void ExpectAscending(const std::vector<std::string>& paths)
{
    for (size_t i = 0; i < paths.size(); ++i)
        for (size_t j = 0; j < paths.size(); ++j)
            EXPECT_EQ(ComparePathKeys(paths[i], paths[j]), i < j ? -1 : (i > j ? 1 : 0))
                << '"' << paths[i] << "\" against \"" << paths[j] << '"';
}

TEST(ComparePathKeys, SeparatorSortsBeforeEveryByteOfAName)
{
    ExpectAscending({"/x/AB", "/x/AB/X", "/x/AB/X/deeper", "/x/AB C", "/x/AB-", "/x/ABC"});
    // A name may hold any byte but "/" and NUL, 0x01 included: the path below
    // "AB" still comes first, as the scan writes it.
    ExpectAscending({"/x/AB", "/x/AB/\x7f", "/x/AB\x01", "/x/AB\x01/a"});
}

TEST(ComparePathKeys, LetterCaseFoldsFirstAndExactBytesBreakTies)
{
    // "B" and "b" sort together; "B" (0x42) before "b" (0x62), and each before
    // "c".
    ExpectAscending({"/r/a", "/r/B", "/r/B/z", "/r/b", "/r/b/a", "/r/c"});
    // The tie is broken by the first name that differs, not by the rest of the
    // path.
    ExpectAscending({"/r/Dir/zzz", "/r/dir/aaa"});
    EXPECT_EQ(ComparePathKeys("/r/Same", "/r/Same"), 0);
    EXPECT_NE(ComparePathKeys("/r/same", "/r/SAME"), 0);
}

TEST(ComparePathKeys, BytesAreUnsignedSoNamesAboveTildeComeLast)
{
    // UTF-8 names (bytes from 0x80) sort after "~" (0x7E): the old end-of-log
    // sentinel made of tildes would have sorted before them.
    ExpectAscending({"/r/zeta", "/r/~~~~~~~~~~~~~~~~~~~~~", "/r/\xc3\xa9t\xc3\xa9", "/r/\xff"});
}

TEST(ComparePathKeys, RootsAreComparedNameByNameToo)
{
    ExpectAscending({"", "/a", "/a/b", "/a b", "/data", "/data/x"});
}

TEST(ComparePathKeys, SortingWithItGivesPreOrder)
{
    std::vector<std::string> paths = {"/t/b/c", "/t/B", "/t/a", "/t/b", "/t/a/z", "/t/A-", "/t/A"};
    std::sort(paths.begin(), paths.end(),
              [](const std::string& a, const std::string& b) { return ComparePathKeys(a, b) < 0; });
    EXPECT_EQ(paths, (std::vector<std::string>{"/t/A", "/t/a", "/t/a/z", "/t/A-", "/t/B", "/t/b",
                                               "/t/b/c"}));
}

} // namespace
