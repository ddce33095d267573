// The order of names in a directory, and the sort key that must never contradict it.
#include "core/NameOrder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace vm;

namespace {

TEST(NameOrderTest, SortKeyAgreesWithTheFullComparisonWhereverItDecides)
{
    std::mt19937 random(7);
    const std::string bytes = "aAbBzZ_~.\x01\x7f\xc3\xa9\xff";
    std::vector<std::string> names;
    for (int i = 0; i < 400; ++i) {
        std::string n(1 + random() % 12, 'a');
        for (char& c : n)
            c = bytes[random() % bytes.size()];
        names.push_back(n);
    }
    for (const std::string& a : names) {
        for (const std::string& b : names) {
            int full = CompareNames(a, b);
            uint64_t ka = NameSortKey(a), kb = NameSortKey(b);
            if (ka != kb) {
                ASSERT_EQ(ka < kb, full < 0) << a << " / " << b;
            }
            ASSERT_EQ(full == 0, a == b);
            ASSERT_EQ(full, -CompareNames(b, a));
        }
    }
}

TEST(NameOrderTest, UpperCasedBytesFirstThenTheExactBytes)
{
    EXPECT_LT(CompareNames("a", "aB"), 0);          // a shorter start first
    EXPECT_LT(CompareNames("aB", "A_"), 0);         // 'B' before '_' once upper-cased
    EXPECT_LT(CompareNames("README", "ReadMe"), 0); // equal upper-cased: exact bytes decide
    EXPECT_LT(CompareNames("Z", "_"), 0);
    EXPECT_LT(CompareNames("~", "\xc3\xa9"), 0); // bytes compare unsigned
    EXPECT_EQ(CompareNames("same", "same"), 0);
}

} // namespace
