// What the row actions decide without the window: the pop-up menu's items, its tag items and how
// they change several rows, and the exact questions and messages of deleting.
#include "fileops/DeletionTexts.h"
#include "fileops/FileActions.h"
#include "platform/FileAttributes.h"

#include <gtest/gtest.h>

using namespace vm;

namespace {

TEST(FileActionsTest, PopupOffersRowItemsOnlyForALiveFocusedRow)
{
    TPopupState s;
    s.AllFilesView = true;
    s.AtRoot = false;
    TPopupEnabling e = ChildPopupEnabling(s);
    EXPECT_TRUE(e.CopyFiles && e.CopyAll);
    EXPECT_FALSE(e.CopySelected || e.Open || e.Properties || e.DeleteSelected || e.TagItems);

    s.HasFocusedRow = true;
    s.SelectedRows = 1;
    e = ChildPopupEnabling(s);
    EXPECT_TRUE(e.Open && e.SelectAll && e.DeleteSelected && e.Properties && e.TagItems);
    EXPECT_TRUE(e.CopySelected);
    EXPECT_FALSE(e.QuickView); // no viewer to run

    s.FocusedDeleted = true; // a dimmed row: no Open, Properties or tags
    e = ChildPopupEnabling(s);
    EXPECT_FALSE(e.Open || e.Properties || e.TagItems || e.DeleteSelected || e.SelectAll);

    s.FocusedDeleted = false;
    s.FocusedKind = kRowPath;
    s.AtRoot = true;
    e = ChildPopupEnabling(s);
    EXPECT_FALSE(e.DeleteSelected || e.CopyFiles || e.CopyAll);
    EXPECT_TRUE(e.Open && e.Properties);

    s.FocusedKind = kRowFile;
    s.SelectedRows = 3;
    s.AllFilesView = false;
    e = ChildPopupEnabling(s);
    EXPECT_FALSE(e.Open || e.Properties || e.CopyFiles);
    EXPECT_TRUE(e.DeleteSelected && e.TagItems);
}

TEST(FileActionsTest, TagItemsFollowTheCheckedTagsAndChangeSeveralRowsAlike)
{
    TTagSettings settings;
    settings.Checked[1] = true;
    settings.Checked[kRubbishBinItem] = true;
    settings.Captions[1] = "Old";
    const uint32_t tag2 = 1u << 1, bin = 1u << 30;

    std::vector<TTagMenuItem> items = TagMenuItems(settings, {tag2 | bin});
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].Caption, "Old");
    EXPECT_EQ(items[0].Slot, 1);
    EXPECT_EQ(items[0].Bit, 1);
    EXPECT_EQ(items[0].Image, 1);
    EXPECT_TRUE(items[0].Checked);
    EXPECT_EQ(items[1].Caption, "Rubbish bin");
    EXPECT_EQ(items[1].Bit, 30);
    EXPECT_EQ(items[1].Image, 11);

    // Three rows, two of them with tag 2: the item is unchecked and sets it on all three; once
    // all three have it, it clears it on all three. One row toggles.
    const std::vector<uint32_t> two = {tag2, 0, tag2};
    EXPECT_FALSE(TagMenuItems(settings, two)[0].Checked);
    EXPECT_EQ(TagItemChange(two, 1), TTagChange::Set);
    const std::vector<uint32_t> all = {tag2, tag2, tag2 | bin};
    EXPECT_TRUE(TagMenuItems(settings, all)[0].Checked);
    EXPECT_EQ(TagItemChange(all, 1), TTagChange::Clear);
    EXPECT_EQ(TagItemChange({tag2}, 1), TTagChange::Toggle);
    EXPECT_TRUE(TagMenuItems(TTagSettings(), {tag2}).empty()); // no tag checked: no items

    EXPECT_TRUE(SelectableByAll(tag2));
    EXPECT_FALSE(SelectableByAll(0x80000000u));
}

TEST(DeletionTextsTest, QuestionsAndMessagesReadAsTheUserExpects)
{
    const TLocale c = TLocale::Classic();
    EXPECT_EQ(DeletionPlace(true, "/data/"), "all directories");
    EXPECT_EQ(DeletionPlace(false, "/data/"), "/data/");
    EXPECT_EQ(DeletionPlace(false, ""), "this directory");

    EXPECT_EQ(ExploreDeleteQuestion(2, 3, 12288, "/data/", c),
              "\nOK to delete 2 directories  and 3 files \ntotalling 12 KB in size\nfrom /data/");
    EXPECT_EQ(ExploreDeleteQuestion(0, 1, 4096, "this directory", c),
              "\nOK to delete 1 files \ntotalling 4 KB in size\nfrom this directory");
    EXPECT_EQ(CompareDeleteQuestion(2, 3, 12288, "/data", c),
              "About to delete 2 directories and 3 file(s) marked for deletion totalling 12 KB "
              "in size\nfrom /data");
    EXPECT_EQ(CompareDeleteQuestion(1, 0, 4096, "/data", c),
              "About to delete 1 directories marked for deletion totalling 4 KB in size\nfrom "
              "/data");
    EXPECT_EQ(RubbishBinQuestion(3, 12288, "all directories", c),
              "About to delete 3 files marked for deletion totalling 12 KB in size\nfrom all "
              "directories");
    EXPECT_EQ(NoRubbishBinText("/data/"), "No file(s) marked for deletion in /data/");
    EXPECT_EQ(NothingToDeleteText("/data/"),
              "No file(s) or directories able to be deleted from /data/");
    EXPECT_EQ(FileInUseQuestion("a.txt"),
              "Cannot delete a.txt - file could be in use.\nContinue deleting files (clicking "
              "ALL won't ask this again) ?");
    EXPECT_EQ(AlreadyDeletedQuestion("a.txt"),
              "Can not delete a.txt. It has been already been deleted - continue?");
    EXPECT_EQ(DirectoryInfoText(3, 12, 49152, "/data/old", c),
              "About to delete 3 directories containing 12 files totalling 48 KB in size from "
              "/data/old");

    // The file question names the strongest reason first.
    EXPECT_EQ(FileQuestionLines("dev", faSystem | faReadOnly),
              (std::vector<std::string>{"The file dev is a system file", "",
                                        "If you remove it one of your programs may no longer "
                                        "work correctly",
                                        "", "Are you sure you want still want to delete ?"}));
    EXPECT_EQ(FileQuestionLines("r", faReadOnly | faHidden)[0], "The file r is a read only file");
    EXPECT_EQ(FileQuestionLines(".h", faHidden)[0], "The file .h is a hidden file");
}

} // namespace
