// The explore window's "Copy to clipboard ...", "&Print ..." and e-mail actions, from the window
// to the clipboard, a PDF file and a loopback SMTP server, over a real log in a temporary data
// directory.
#include "core/DirStorage.h"
#include "explore/ExploreForm.h"
#include "listwindow/QtDirTreeModel.h"
#include "output/EmailForm.h"
#include "output/PrintForm.h"
#include "platform/ChildProcess.h"
#include "support/SmtpServer.h"
#include "support/SyntheticLog.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"
#include "support/gui/WhenShown.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>

#include <functional>

namespace vm {
namespace {

using vmtest::Idle;
using vmtest::RowNames;
using vmtest::RowPosition;
using vmtest::SelectNode;
using vmtest::SelectRows;

using vmtest::WhenShown;

class ListWindowOutputTest : public vmtest::FrameTest
{
protected:
    ListWindowOutputTest()
    {
        dir_.WriteFile("Volumark.ini", "[Ref0001]\nName=Servers\nNextLogNo=4\n");
        dir_.MakeDir("Ref0001");
        vmtest::SyntheticLog log;
        log.Root("/srv/", 4096).File("a.txt", 1000).File("b.log", 5000);
        log.Dir("sub").File("c", 7).Close();
        TMemoryStream bytes(log.Log(DefaultTagNames()));
        bytes.SaveToFile(dir_ / "Ref0001/Log0003.kdf");
    }
    // The window over log 3, listing /srv/.
    TExploreChild* Open()
    {
        frame_->DisplayLog(1, 3);
        auto* child = qobject_cast<TExploreChild*>(frame_->ActiveChild());
        Idle(child);
        SelectNode(child, "/srv/");
        Idle(child);
        return child;
    }
};

TEST_F(ListWindowOutputTest, CopyPutsTheShownRowsOnTheClipboard)
{
    TExploreChild* child = Open();
    TPrintForm& form = frame_->PrintForm();
    WhenShown(&form, [&] {
        EXPECT_EQ(form.windowTitle(), "Copy to clipboard");
        EXPECT_FALSE(form.FontButton->isVisible());
        form.SizeFormatRadios[int(TSizeFormat::Bytes)]->setChecked(true);
        form.OKButton->click();
    });
    child->CopyAction->trigger();
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 5); // the header, three rows and the end of the last line
    EXPECT_TRUE(lines[0].startsWith("File name\tFull path\tType\tFile size\tDisk space\tDate"));
    // In the window's order: the folder first.
    EXPECT_TRUE(lines[1].startsWith("sub\t/srv/\tFile folder\t7\t8192\t"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("a.txt\t/srv/\t")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].contains("\t1000\t4096\t")) << lines[2].toStdString();
}

TEST_F(ListWindowOutputTest, PrintTakesThePathAndTheCaptionOfTheWindow)
{
    TExploreChild* child = Open();
    TPrintForm& form = frame_->PrintForm();
    const std::string pdf = dir_ / "listing.pdf";
    form.Printer().setOutputFormat(QPrinter::PdfFormat);
    form.Printer().setOutputFileName(QString::fromStdString(pdf));
    WhenShown(&form, [&] {
        EXPECT_EQ(form.windowTitle(), "Print setup");
        form.OKButton->click();
    });
    child->PrintAction->trigger();
    TChildResult text = RunChild({"pdftotext", "-layout", pdf, "-"});
    ASSERT_TRUE(text.Succeeded()) << text.Err;
    EXPECT_NE(text.Out.find("Exploring log 3 - Servers"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("Contents of: /srv/"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("b.log"), std::string::npos) << text.Out;
}

TEST_F(ListWindowOutputTest, EmailSendsTheListOfTheWindow)
{
    vmtest::SmtpServer server;
    if (!server.Running())
        GTEST_SKIP() << "no SMTP test server: " << server.Error();
    dir_.WriteFile("mail.ini", server.MailFileText("Test"));
    TExploreChild* child = Open();
    TEmailForm& form = frame_->EmailForm();
    WhenShown(&form, [&] {
        form.SingleRecipient->setText("Administrator");
        form.ShowDialogCheckBox->setChecked(false);
        form.SendButton->click();
    });
    child->EmailAction->trigger();
    EXPECT_TRUE(ui_.Shown.empty()) << ui_.Texts().front();
    auto mails = server.Messages();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_NE(mails[0].Body().find("/srv/a.txt  4 KB\r\n"), std::string::npos) << mails[0].Body();
    EXPECT_NE(mails[0].Body().find("/srv/sub    8 KB\r\n"), std::string::npos) << mails[0].Body();
}

} // namespace
} // namespace vm
