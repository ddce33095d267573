// The owner and group of the explore window's list over real logs of a real tree, one of whose
// files another user made: the columns name them as the system does, sort by them and filter on
// them where the log records owners; a log of the exact format shows and filters nothing of them.
#include "core/FileFilter.h"
#include "explore/FileSort.h"
#include "explore/ListFill.h"
#include "explore/LogTree.h"
#include "output/ListColumns.h"
#include "platform/FileOwner.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;

namespace {

// t/ [mine (2 bytes), theirs (3 bytes, made by an unprivileged user: as root, nobody)].
class OwnerColumnsTest : public ::testing::Test
{
protected:
    OwnerColumnsTest()
    {
        dir_.MakeDir("t");
        dir_.WriteFile("t/mine", "me");
        chmod((dir_ / "t").c_str(), 0777);
        made_ = RunUnprivileged(dir_.Path(), [&] {
            int fd = open((dir_ / "t/theirs").c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
            return fd >= 0 && write(fd, "xyz", 3) == 3 && close(fd) == 0;
        });
    }
    void Scan(TLogFormat format)
    {
        log_.reset();
        stream_ = TMemoryStream();
        log_ = std::make_unique<TDirStorage>(stream_);
        log_->SetScanOptions({0, format});
        log_->BuildLog({{dir_ / "t/", 0}});
        tree_ = TDirTree("Log 1");
        TDirTreeBuilder builder(*log_, tree_);
        while (builder.Step(100)) {
        }
        table_.SetOptions({true, TDateType::Modified, false, log_->HasOwners()});
        table_.SetLog(log_.get());
    }
    // The names of the all files view, with the filter when given.
    std::vector<std::string> Fill(const TFilterTest* filter = nullptr)
    {
        store_.Clear();
        TFillRequest r;
        r.View = TView::AllFiles;
        r.Filter = filter;
        TListFill fill(*log_, tree_, store_, r);
        while (fill.Step(100)) {
        }
        std::vector<std::string> names;
        for (int i = 0; i < store_.Count(); ++i)
            names.emplace_back(table_.Entry(i).Name);
        return names;
    }
    // The column's text of the row named name.
    std::string TextOf(const std::string& name, int column)
    {
        for (int i = 0; i < store_.Count(); ++i)
            if (table_.Entry(i).Name == name)
                return table_.Text(i, column);
        return "(no row)";
    }
    TFilterParse Parse(TFilterFields fields, bool ownersRecorded = true)
    {
        return ParseFilterFields(fields, kExploreFilterMode, false, 45000, locale_, ownersRecorded);
    }
    struct stat Stat(const std::string& name)
    {
        struct stat st = {};
        EXPECT_EQ(lstat((dir_ / ("t/" + name)).c_str(), &st), 0);
        return st;
    }

    TempDir dir_;
    std::optional<bool> made_;
    TMemoryStream stream_;
    std::unique_ptr<TDirStorage> log_;
    TDirTree tree_{"Log 1"};
    TFileListStore store_;
    TLocale locale_ = TLocale::Classic();
    TFileListTable table_{store_, tree_, locale_, nullptr};
};

TEST_F(OwnerColumnsTest, TheColumnsNameTheOwnersAsTheSystemDoesAndSortByThem)
{
    ASSERT_TRUE(made_.value_or(false)) << "could not create a file as an unprivileged user";
    Scan(TLogFormat::Extended);
    EXPECT_THAT(Fill(), ElementsAre("mine", "theirs"));
    for (const char* name : {"mine", "theirs"}) {
        SCOPED_TRACE(name);
        const struct stat st = Stat(name);
        EXPECT_EQ(TextOf(name, kColOwner), AccountName(st.st_uid));
        EXPECT_EQ(TextOf(name, kColGroup), GroupName(st.st_gid));
    }
    // The columns come after all the others, shown, and print and copy as any column does.
    EXPECT_EQ(table_.Column(kColOwner).Caption, "Owner");
    EXPECT_GT(table_.Column(kColGroup).Width, 0);
    EXPECT_EQ(ColumnItems(table_, false).back().Text, "Group");

    if (geteuid() == 0) {
        EXPECT_EQ(TextOf("theirs", kColOwner), AccountName(65534));
        // nobody before root, A to Z; the other way round reversed.
        SortRows(store_, table_, SortCodeOf("Owner"));
        EXPECT_EQ(table_.Entry(0).Name, "theirs");
        SortRows(store_, table_, -SortCodeOf("Owner"));
        EXPECT_EQ(table_.Entry(0).Name, "mine");
    }
    // A refill shows the same names.
    Fill();
    EXPECT_EQ(TextOf("mine", kColOwner), AccountName(Stat("mine").st_uid));
}

TEST_F(OwnerColumnsTest, TheFilterKeepsTheFilesOfAnOwnerByNameOrNumber)
{
    ASSERT_TRUE(made_.value_or(false)) << "could not create a file as an unprivileged user";
    Scan(TLogFormat::Extended);
    const struct stat theirs = Stat("theirs"), mine = Stat("mine");
    if (theirs.st_uid == mine.st_uid)
        GTEST_SKIP() << "both files have one owner where the tests do not run as root";

    TFilterFields f;
    f.OwnerOn = true;
    f.Owner = AccountName(theirs.st_uid);
    TFilterParse parse = Parse(f);
    ASSERT_TRUE(parse.Test) << parse.Message;
    EXPECT_THAT(Fill(&*parse.Test), ElementsAre("theirs"));
    f.Owner = std::to_string(mine.st_uid);
    parse = Parse(f);
    ASSERT_TRUE(parse.Test);
    EXPECT_THAT(Fill(&*parse.Test), ElementsAre("mine"));
    // Owner and group together: both must match.
    f.GroupOn = true;
    f.Group = GroupName(theirs.st_gid);
    parse = Parse(f);
    ASSERT_TRUE(parse.Test);
    EXPECT_EQ(Fill(&*parse.Test).size(), theirs.st_gid == mine.st_gid ? 1u : 0u);

    // A name no account has is refused with the control to correct.
    f.GroupOn = false;
    f.Owner = "no-such-user-here";
    parse = Parse(f);
    EXPECT_FALSE(parse.Test);
    EXPECT_EQ(parse.FocusControl, "Owner");
    EXPECT_THAT(parse.Message, ::testing::HasSubstr("\"no-such-user-here\" is not a user"));
}

TEST_F(OwnerColumnsTest, AnExactLogShowsNoOwnerColumnsAndItsFilterIgnoresOwners)
{
    Scan(TLogFormat::Exact);
    ASSERT_FALSE(log_->HasOwners());
    TFilterFields f;
    f.OwnerOn = true;
    f.Owner = "root";
    TFilterParse parse = Parse(f, log_->HasOwners());
    ASSERT_TRUE(parse.Test);
    EXPECT_FALSE(parse.Test->OwnerOn);
    EXPECT_EQ(Fill(&*parse.Test).size(), made_.value_or(false) ? 2u : 1u);
    EXPECT_EQ(TextOf("mine", kColOwner), "");
    // No caption, no width: prints, copies and exports have the columns they always had.
    EXPECT_EQ(table_.Column(kColOwner).Caption, "");
    EXPECT_EQ(table_.Column(kColGroup).Width, 0);
    for (const TColumnItem& item : ColumnItems(table_, false))
        EXPECT_THAT(item.Text, ::testing::Not(::testing::HasSubstr("Owner")));
}

TEST(IdNameTableTest, EachIdIsNamedOnceAndAFullTableSaysSo)
{
    std::map<uint32_t, int> asked;
    TIdNameTable table([&](uint32_t id) {
        ++asked[id];
        return "user" + std::to_string(id);
    });
    EXPECT_EQ(table.IndexOf(1000), 0);
    EXPECT_EQ(table.IndexOf(0), 1);
    EXPECT_EQ(table.IndexOf(1000), 0);
    EXPECT_EQ(table.NameAt(0), "user1000");
    EXPECT_EQ(table.NameAt(0), "user1000");
    EXPECT_EQ(table.NameAt(1), "user0");
    EXPECT_EQ(asked[1000], 1);
    for (uint32_t id = 2; table.Count() < TIdNameTable::kFull; ++id)
        table.IndexOf(id + 5000);
    EXPECT_EQ(table.IndexOf(4000000), TIdNameTable::kFull);
    EXPECT_EQ(table.NameAt(TIdNameTable::kFull), TIdNameTable::kTooManyIds);
    EXPECT_EQ(table.IndexOf(1000), 0); // ids held before keep their index
}

} // namespace
