// "Email" on the offscreen platform, sending to a real SMTP server on loopback: what it loads
// when shown, the rows it sends, the tag rows and their recipients, and a refusal that keeps
// the dialog open.
#include "output/EmailForm.h"

#include "core/DirStorage.h"
#include "display/QtImageLists.h"
#include "platform/Registry.h"
#include "platform/ScriptedUserInterface.h"
#include "platform/Stream.h"
#include "support/ListTableDouble.h"
#include "support/SmtpServer.h"
#include "support/SyntheticLog.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>

namespace vm {
namespace {

using namespace vmtest::sample;

const std::string kHead = "List of files and sizes to be reviewed -\r\n\r\n";
const std::string kTail = "\r\n--- END OF FILE LISTING ---\r\n";

class EmailFormTest : public ::testing::Test
{
protected:
    EmailFormTest() : table(vmtest::ExploreLikeTable())
    {
        setenv("VOLUMARK_REGISTRY", (dir / "registry.ini").c_str(), 1);
        setenv("VOLUMARK_MAIL", (dir / "mail.ini").c_str(), 1);
        context.UI = &ui;
        for (const char* name : {"alpha", "beta", "gamma"})
            table.Add({name, "/srv/", "File", "", std::string(name).size() == 4 ? "8 KB" : "4 KB"});
        model.setRowCount(table.RowCount());
        model.setColumnCount(1);
        view.setModel(&model);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);

        // A log with tags: a.txt carries tag 1, b tag 2, z the rubbish bin.
        std::vector<uint8_t> bytes = vmtest::SampleLogBytes();
        TMemoryStream stream(bytes);
        {
            TDirStorage log(stream);
            log.SetTag(kA, 0);
            log.SetTag(kB, 1);
            log.SetTag(kZ, 30);
            log.SetTagName(2, "Old reports");
        }
        const std::vector<uint8_t>& tagged = stream.Bytes();
        std::ofstream(dir / "Log0003.kdf", std::ios::binary)
            .write(reinterpret_cast<const char*>(tagged.data()), std::streamsize(tagged.size()));
        form = std::make_unique<TEmailForm>(context, images.TagImageList);
    }
    bool StartServer(vmtest::SmtpServerOptions options = {})
    {
        server = std::make_unique<vmtest::SmtpServer>(options);
        if (!server->Running())
            return false;
        dir.WriteFile("mail.ini", server->MailFileText("Test"));
        return true;
    }
    void Select(std::initializer_list<int> rows)
    {
        view.selectionModel()->clearSelection();
        for (int row : rows)
            view.selectionModel()->select(model.index(row, 0), QItemSelectionModel::Select);
    }
    void Show()
    {
        form->SetNumbers(0, 3);
        form->SetLoadedFileName(dir / "Log0003.kdf");
        form->SetListView(table, &view);
        form->show();
    }
    std::string TagRecipients(int row) const
    {
        return form->TagListView->topLevelItem(row)->text(1).toStdString();
    }

    vmtest::TempDir dir;
    TAppContext context;
    TScriptedUserInterface ui;
    TImageLists images = MakeImageLists();
    vmtest::ListTableDouble table;
    QStandardItemModel model;
    QTreeView view;
    std::unique_ptr<TEmailForm> form;
    std::unique_ptr<vmtest::SmtpServer> server;
};

TEST_F(EmailFormTest, ShowingLoadsTheTagNamesTheOptionsAndTheSelection)
{
    TRegistry registry;
    registry.OpenKey(kSettingsKey, true);
    registry.WriteBool("EmailDialog", true);
    Select({0, 2});
    Show();
    EXPECT_EQ(form->windowTitle(), "Email");
    ASSERT_EQ(form->TagListView->topLevelItemCount(), 12);
    EXPECT_EQ(form->TagListView->topLevelItem(1)->text(0), "Old reports");
    EXPECT_EQ(form->TagListView->topLevelItem(11)->text(0), "Rubbish Bin");
    EXPECT_TRUE(form->ShowDialogCheckBox->isChecked());
    EXPECT_FALSE(form->RichTextCheckBox->isEnabled());
    EXPECT_EQ(form->Subject->text(), "Volumark review of disk usage");
    EXPECT_TRUE(form->SelectedFilesRadio->isEnabled());
    EXPECT_TRUE(form->SelectedFilesRadio->isChecked());
    EXPECT_EQ(form->ChosenRows(), (std::vector<int>{0, 2}));

    form->hide();
    Select({});
    Show();
    EXPECT_FALSE(form->SelectedFilesRadio->isEnabled());
    EXPECT_TRUE(form->AllFilesRadio->isChecked());
    EXPECT_EQ(form->ChosenRows(), (std::vector<int>{0, 1, 2}));

    form->TaggedFilesRadio->setChecked(true);
    EXPECT_FALSE(form->SingleRecipient->isEnabled());
    EXPECT_FALSE(form->EmailToButton->isEnabled());
    form->AllFilesRadio->setChecked(true);
    EXPECT_TRUE(form->SingleRecipient->isEnabled());
}

TEST_F(EmailFormTest, SendsTheSelectedRowsAndCloses)
{
    if (!StartServer())
        GTEST_SKIP() << "no SMTP test server: " << server->Error();
    Select({1});
    Show();
    form->SelectedFilesRadio->setChecked(true);
    form->SingleRecipient->setText("Administrator");
    form->ShowDialogCheckBox->setChecked(false);
    form->SendButtonClick();
    EXPECT_TRUE(ui.Shown.empty()) << ui.Texts().front();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    auto mails = server->Messages();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].Body(), kHead + "/srv/beta  8 KB\r\n" + kTail);
}

TEST_F(EmailFormTest, ARefusedRecipientKeepsTheDialogOpenAndSaysWhy)
{
    vmtest::SmtpServerOptions options;
    options.Refuse = {"john@example.com"};
    if (!StartServer(options))
        GTEST_SKIP() << "no SMTP test server: " << server->Error();
    Show();
    form->SingleRecipient->setText("Administrator; John Smith");
    form->ShowDialogCheckBox->setChecked(false);
    form->SendButtonClick();
    EXPECT_TRUE(form->isVisible());
    EXPECT_NE(form->result(), QDialog::Accepted);
    ASSERT_EQ(ui.Texts().size(), 1u);
    EXPECT_NE(ui.Texts()[0].find("550"), std::string::npos) << ui.Texts()[0];
    EXPECT_TRUE(server->Messages().empty());
}

TEST_F(EmailFormTest, EachTagGetsItsRecipientsListing)
{
    if (!StartServer())
        GTEST_SKIP() << "no SMTP test server: " << server->Error();
    Show();
    form->ShowDialogCheckBox->setChecked(false);
    QTreeWidget* tags = form->TagListView;

    tags->setCurrentItem(tags->topLevelItem(0));
    ui.Inputs = {"Administrator"};
    form->SpecifyRecipientClick();
    EXPECT_EQ(ui.Shown.back().Caption, "Specify recipient");
    EXPECT_EQ(ui.Shown.back().Text, "Enter email address :");
    tags->setCurrentItem(tags->topLevelItem(11));
    ui.Picks = {{"John Smith"}, {"Administrator"}};
    form->AddRecipientClick();
    form->AddRecipientClick();
    EXPECT_EQ(TagRecipients(11), "John Smith;Administrator");
    tags->setCurrentItem(tags->topLevelItem(1));
    ui.Inputs = {"john@example.com"};
    form->SpecifyRecipientClick();
    form->ClearRecipientsClick();
    EXPECT_EQ(TagRecipients(1), "");

    form->TaggedFilesRadio->setChecked(true);
    ui.Shown.clear();
    form->SendButtonClick();
    EXPECT_TRUE(ui.Shown.empty()) << ui.Texts().front();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    auto mails = server->Messages();
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[0].Recipients, (std::vector<std::string>{"admin@example.com"}));
    EXPECT_EQ(mails[0].Body(), kHead + "/data/a.txt ... 4 KB\r\n" + kTail);
    EXPECT_EQ(mails[1].Recipients,
              (std::vector<std::string>{"john@example.com", "admin@example.com"}));
    EXPECT_EQ(mails[1].Body(), kHead + "/data/z ... 4 KB\r\n" + kTail);
}

} // namespace
} // namespace vm
