// Deleting listed rows and rubbish-bin files over a real tree, with the dialogs scripted: the
// questions and when they are asked, what a vanished, refused or replaced file gives, paths and
// entries already marked left alone, the marks, the space and the log's deleted total.
#include "fileops/DeleteFiles.h"
#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "explore/ExploreTexts.h"
#include "output/ListTexts.h"
#include "platform/ScriptedUserInterface.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

namespace fs = std::filesystem;

// The file question answered from a queue (Yes when empty); directories deleted at once with the
// dialog's own work, as "Don't show this during this deletion again" does.
struct ScriptedDialogs : TDeletionDialogs
{
    std::deque<int> Answers;
    std::vector<std::string> Asked;
    std::function<void()> OnAsk;
    int Starts = 0;

    int ConfirmFileDeletion(const std::string& name, uint32_t) override
    {
        Asked.push_back(name);
        if (OnAsk)
            OnAsk();
        if (Answers.empty())
            return idYes;
        const int answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void StartDirectoryDeletions() override { ++Starts; }
    TDirectoryOutcome DeleteDirectory(TDirStorage& log, int64_t offset, TFileSystem& fs,
                                      bool updateLog) override
    {
        TDirectoryDeletion work;
        work.Prepare(log, offset, fs);
        TDirectoryProgress quiet{[](const std::string&) {}, [](int) {}, [](const std::string&) {},
                                 [] {}, [] { return false; }};
        const TDirectoryDeleted done = work.Delete(updateLog, quiet);
        return DirectoryOutcome(done.Ran, work, done);
    }
};

// data/ [plain.txt (10,000 bytes), ro.txt, ro2.txt (both read-only), .hidden, report.doc,
// report, sub/ [x.txt, y.txt]] logged with unit 4096.
class DeleteFilesTest : public ::testing::Test
{
protected:
    DeleteFilesTest()
    {
        dir_.MakeDir("data/sub");
        dir_.WriteFile("data/plain.txt", std::string(10000, 'p'));
        for (const char* name :
             {"ro.txt", "ro2.txt", ".hidden", "report.doc", "report", "sub/x.txt", "sub/y.txt"})
            dir_.WriteFile(std::string("data/") + name, name);
        ::chmod(D("ro.txt").c_str(), 0444);
        ::chmod(D("ro2.txt").c_str(), 0444);
        Scan();
    }
    void Scan()
    {
        stream_ = TMemoryStream();
        log_ = std::make_unique<TDirStorage>(stream_);
        log_->BuildLog({{D(""), 4096}});
    }
    std::string D(const std::string& name) const { return dir_ / ("data/" + name); }
    int64_t At(const std::string& name) { return name.empty() ? 40 : log_->FindPath(D(name)); }
    TDeleteRow Row(const std::string& name)
    {
        TDirNode node;
        std::string s;
        log_->ReadNode(At(name), node, s);
        return {At(name), node.Kind == kKindDirectory, false};
    }
    TDeleteRunResult Run(const std::vector<std::string>& names, bool updateLog = false)
    {
        std::vector<TDeleteRow> rows;
        for (const std::string& n : names)
            rows.push_back(Row(n));
        return RunRows(rows, updateLog);
    }
    TDeleteRunResult RunRows(const std::vector<TDeleteRow>& rows, bool updateLog = false)
    {
        return DeleteSelectedRows(
            *log_, rows, {&confirm_, updateLog}, fs_, ui_, dialogs_,
            [this](size_t row, int64_t space) { recorded_.emplace_back(row, space); });
    }
    std::vector<std::string> Marked()
    {
        std::vector<std::string> out;
        TDirNode node;
        std::string name;
        for (TLogWalk all = TLogWalk::AllRecords(*log_); all.Next(node, name);)
            if (node.Tags & kTagDeleted) {
                EXPECT_EQ(node.Tags, kTagDeleted);
                out.push_back(name);
            }
        return out;
    }
    int64_t Allocated(const std::string& name)
    {
        TDirNode node;
        std::string s;
        log_->ReadNode(At(name), node, s);
        return node.Allocated;
    }

    TempDir dir_;
    TMemoryStream stream_;
    std::unique_ptr<TDirStorage> log_;
    FaultyFileSystem fs_;
    TScriptedUserInterface ui_;
    ScriptedDialogs dialogs_;
    bool confirm_ = true;
    std::vector<std::pair<size_t, int64_t>> recorded_;
};

TEST_F(DeleteFilesTest, ReadOnlyAndHiddenFilesAreAskedAboutOnlyWhileConfirmDeletionsIsOn)
{
    dialogs_.Answers = {idNo, idYes};
    Run({"plain.txt", "ro.txt", ".hidden"});
    EXPECT_THAT(dialogs_.Asked, ElementsAre("ro.txt", ".hidden"));
    EXPECT_FALSE(fs::exists(D("plain.txt")));
    EXPECT_FALSE(fs::exists(D(".hidden")));
    EXPECT_TRUE(fs::exists(D("ro.txt")));
    EXPECT_THAT(Marked(), ElementsAre(".hidden", "plain.txt")); // in the log's order
    EXPECT_EQ(ui_.StatusWindow.Heading, "Now Deleting :");
    EXPECT_FALSE(ui_.StatusWindow.Visible);

    // "Do not show this message again this session" turns the questions off while the run goes.
    dialogs_.Asked.clear();
    dialogs_.OnAsk = [this] { confirm_ = false; };
    Run({"ro.txt", "ro2.txt"});
    EXPECT_THAT(dialogs_.Asked, ElementsAre("ro.txt"));
    EXPECT_FALSE(fs::exists(D("ro.txt")) || fs::exists(D("ro2.txt")));
    // Deleting never changed a file's permissions.
    EXPECT_THAT(fs_.ClearedReadOnly, IsEmpty());
}

TEST_F(DeleteFilesTest, CancelInTheFileQuestionEndsTheWholeRun)
{
    dialogs_.Answers = {idCancel};
    const TDeleteRunResult r = Run({"ro.txt", "plain.txt"});
    EXPECT_TRUE(r.Ended);
    EXPECT_TRUE(fs::exists(D("plain.txt")));
    EXPECT_THAT(Marked(), IsEmpty());
}

TEST_F(DeleteFilesTest, AVanishedFileAsksWhetherToGoOnAndAllIsHonoured)
{
    fs::remove(D("plain.txt"));
    fs::remove(D("report"));
    ui_.Answers = {idAll};
    const TDeleteRunResult r = Run({"plain.txt", "report", "report.doc"});
    EXPECT_THAT(
        ui_.Texts(),
        ElementsAre("Can not delete plain.txt. It has been already been deleted - continue?"));
    EXPECT_FALSE(r.Ended);
    EXPECT_FALSE(fs::exists(D("report.doc")));
    EXPECT_THAT(Marked(), ElementsAre("report.doc")); // gone before: not this run's deletion

    // No ends the run at once.
    fs::remove(D("sub/x.txt"));
    ui_.Answers = {idNo};
    EXPECT_TRUE(Run({"sub/x.txt", "sub/y.txt"}).Ended);
    EXPECT_TRUE(fs::exists(D("sub/y.txt")));
}

TEST_F(DeleteFilesTest, PathsAndMarkedEntriesStayAndRowsActOnTheLogsNames)
{
    // A path row (also one that does not say so) and the row of report.doc, shown as "report"
    // where extensions are hidden: only report.doc goes.
    RunRows({{40, true, true}, {40, true, false}, Row("report.doc")});
    EXPECT_TRUE(fs::is_directory(D("")));
    EXPECT_TRUE(fs::exists(D("report")));
    EXPECT_FALSE(fs::exists(D("report.doc")));
    // A file made since at the place of a marked entry is not deleted, nor counted again.
    dir_.WriteFile("data/report.doc", "new");
    const TDeleteRunResult r = Run({"report.doc"});
    EXPECT_EQ(dir_.ReadFile("data/report.doc"), "new");
    EXPECT_EQ(r.DeletedSpace, 0);
    EXPECT_THAT(ui_.Shown, IsEmpty());
}

TEST_F(DeleteFilesTest, MarksSpaceAndTheDeletedTotal)
{
    log_->SetTag(At("plain.txt"), 2);
    const int64_t root = Allocated("");
    const TDeleteRunResult r = Run({"plain.txt"});
    EXPECT_EQ(log_->ReadTags(At("plain.txt")), kTagDeleted); // the tags are gone
    EXPECT_EQ(Allocated("plain.txt"), 12288);                // kept without "Allow changes"
    EXPECT_EQ(Allocated(""), root);
    EXPECT_EQ(r.DeletedSpace, 12288);
    EXPECT_EQ(log_->GetDeletedTotal(), 12288);
    EXPECT_EQ(AccumulatorText(log_->GetDeletedTotal(), TLocale::Classic()), "(Deleted 12 KB)  ");
    EXPECT_THAT(recorded_, ElementsAre(std::make_pair(size_t(0), int64_t(12288))));

    // With "Allow changes to log file" the entry's space goes from it and every directory above.
    const int64_t sub = Allocated("sub");
    Run({"sub/x.txt"}, true);
    EXPECT_EQ(Allocated("sub/x.txt"), 0);
    EXPECT_EQ(Allocated("sub"), sub - 4096);
    EXPECT_EQ(Allocated(""), root - 4096);
    EXPECT_EQ(log_->GetDeletedTotal(), 12288 + 4096);
}

TEST_F(DeleteFilesTest, ADirectoryReplacedByALinkToOutsideLeadsNoDeletionOutside)
{
    dir_.MakeDir("outside");
    dir_.WriteFile("outside/x.txt", "not ours");
    dir_.WriteFile("outside/y.txt", "not ours");
    fs::remove_all(D("sub"));
    fs::create_directory_symlink(dir_ / "outside", D("sub"));
    ui_.Answers = {idYes};
    const TDeleteRunResult r = Run({"sub/x.txt", "sub"});
    EXPECT_EQ(dir_.ReadFile("outside/x.txt"), "not ours");
    EXPECT_EQ(dir_.ReadFile("outside/y.txt"), "not ours");
    EXPECT_TRUE(fs::is_symlink(D("sub")));
    EXPECT_THAT(Marked(), IsEmpty());
    EXPECT_EQ(r.Deleted, 0);
    ASSERT_EQ(ui_.Shown.size(), 2u);
    EXPECT_EQ(ui_.Shown[0].Text,
              "Can not delete x.txt. It has been already been deleted - continue?");
    EXPECT_THAT(ui_.Shown[1].Text, HasSubstr(D("sub") + ": a symbolic link stands there now, "
                                                        "not the directory this log lists; "
                                                        "nothing was deleted"));

    // A file replaced by a directory: nothing there is deleted, and the user hears why.
    fs::remove(D("report"));
    dir_.MakeDir("data/report");
    ui_.Shown.clear();
    Run({"report"});
    EXPECT_TRUE(fs::is_directory(D("report")));
    EXPECT_THAT(ui_.Texts(), ElementsAre(HasSubstr(
                                 "Cannot delete report - a directory stands there now, not what "
                                 "this log lists; it is left as it is.")));
}

TEST_F(DeleteFilesTest, UnlinkingNeedsTheDirectorysPermissionNotTheFiles)
{
    dir_.MakeDir("data/locked");
    dir_.WriteFile("data/locked/l.txt", "l");
    Scan();
    ::chmod(D("").c_str(), 0777);
    ::chmod(D("locked").c_str(), 0555);
    confirm_ = false;
    const std::optional<bool> ok = RunUnprivileged(dir_.Path(), [this] {
        ui_.Answers = {idYes};
        Run({"locked/l.txt", "ro.txt"});
        // l.txt cannot go: its directory is not writable; ro.txt (not ours, read-only) can.
        return fs::exists(D("locked/l.txt")) && !fs::exists(D("ro.txt")) &&
               ui_.Texts() == std::vector<std::string>{
                                  "Cannot delete l.txt - file could be in use.\nContinue deleting "
                                  "files (clicking ALL won't ask this again) ?"};
    });
    ASSERT_TRUE(ok.has_value()) << "could not run as nobody";
    EXPECT_TRUE(*ok);
}

TEST_F(DeleteFilesTest, TheRubbishBinDeletesWithoutQuestionsAndCountsWhatStayed)
{
    fs_.ReadOnlyNames = {"report"}; // refused, as a file in a read-only directory is
    fs::remove(D("sub/y.txt"));     // gone already: nothing that could not be deleted
    const std::vector<TDeleteRow> rows = {Row("ro.txt"), Row("report"), Row("sub/y.txt"),
                                          Row("sub")};
    const TDeleteRunResult r = DeleteRubbishBinRows(*log_, rows, false, fs_, ui_, {});
    EXPECT_FALSE(fs::exists(D("ro.txt")));
    EXPECT_TRUE(fs::exists(D("report")));
    EXPECT_TRUE(dialogs_.Asked.empty());
    EXPECT_EQ(r.Failures, 2); // report, and the directory that is no file
    EXPECT_THAT(Marked(), ElementsAre("ro.txt"));
    EXPECT_THAT(ui_.Texts(), ElementsAre("2 file(s) could not be deleted"));
}

} // namespace
