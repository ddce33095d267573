// The "Define user tags" dialog on the offscreen platform: toggling, renaming and Cancel.
#include "fileops/TagSettingsForm.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vm;

namespace {

class TagSettingsFormTest : public ::testing::Test
{
protected:
    TagSettingsFormTest() : form_(images_) {}
    void Select(int item)
    {
        form_.TagSettingsListView->setCurrentRow(item);
        form_.TagSettingsListView->item(item)->setSelected(true);
    }
    // The popup's items as they are when it opens on the selected item.
    void OpenPopup()
    {
        QTimer::singleShot(0, form_.TagSettingsPopupMenu, &QMenu::close);
        emit form_.TagSettingsListView->customContextMenuRequested(QPoint(1, 1));
    }

    TImageList images_;
    TTagSettingsForm form_;
};

TEST_F(TagSettingsFormTest, ItemsCarryTheirBitsAndThePopupFollowsTheSelection)
{
    EXPECT_EQ(form_.TagSettingsListView->count(), kTagItemCount);
    EXPECT_EQ(form_.TagSettingsListView->item(kRubbishBinItem)->text(), "Rubbish bin");
    EXPECT_EQ(form_.TagSettingsListView->item(kRubbishBinItem)->data(Qt::UserRole + 1).toInt(), 30);
    Select(2);
    form_.ToggleSelected();
    EXPECT_TRUE(form_.Settings().Checked[2]);
    OpenPopup();
    EXPECT_EQ(form_.Activate1->text(), "Deactivate");
    EXPECT_TRUE(form_.Rename1->isEnabled());
    Select(kRubbishBinItem);
    OpenPopup();
    EXPECT_EQ(form_.Activate1->text(), "Activate");
    EXPECT_FALSE(form_.Rename1->isEnabled());
}

TEST_F(TagSettingsFormTest, LineBreakInANameIsRefused)
{
    form_.TagSettingsListView->item(4)->setText("Archive");
    EXPECT_EQ(form_.Settings().Captions[4], "Archive");
    form_.TagSettingsListView->item(4)->setText("Two\nlines");
    EXPECT_EQ(form_.Settings().Captions[4], "Archive");
}

TEST_F(TagSettingsFormTest, CancelRestoresChecksAndCaptions)
{
    TTagSettings loaded;
    loaded.Checked[0] = true;
    form_.SetSettings(loaded);
    QTimer::singleShot(0, &form_, [this] {
        form_.TagSettingsListView->item(0)->setCheckState(Qt::Unchecked);
        form_.TagSettingsListView->item(5)->setCheckState(Qt::Checked);
        form_.TagSettingsListView->item(5)->setText("Temporary");
        form_.CancelButton->click();
    });
    EXPECT_EQ(form_.exec(), QDialog::Rejected);
    EXPECT_TRUE(form_.Settings().Checked[0]);
    EXPECT_FALSE(form_.Settings().Checked[5]);
    EXPECT_EQ(form_.Settings().Captions[5], "Tag 6");
}

} // namespace
