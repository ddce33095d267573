// The compare window's "Copy to clipboard ...", "&Print ...", e-mail and export actions, from the
// window to the clipboard, a PDF file, a loopback SMTP server and a CSV file, over a real
// comparison in a temporary data directory.
#include "compare/CompChildForm.h"
#include "listwindow/QtDirTreeModel.h"
#include "output/ConfirmPrintForm.h"
#include "output/EmailForm.h"
#include "output/PrintForm.h"
#include "platform/ChildProcess.h"
#include "support/CompareSample.h"
#include "support/SmtpServer.h"
#include "support/gui/ListWindowDriver.h"
#include "support/gui/QtFrameFixture.h"
#include "support/gui/WhenShown.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

using namespace vm;
using namespace vmtest;

namespace {

using vmtest::Idle;
using vmtest::RowNames;
using vmtest::RowPosition;
using vmtest::SelectNode;
using vmtest::SelectRows;

class CompareOutputTest : public FrameTest
{
protected:
    CompareOutputTest() { WriteCompareSample(dir_, SampleOldTree(), SampleNewTree()); }

    // The window over the comparison of logs 3 and 4, listing /data/docs/.
    TCompMDIChild* Open()
    {
        frame_->DisplayComp(1, 3, 4);
        auto* child = qobject_cast<TCompMDIChild*>(frame_->ActiveChild());
        Idle(child);
        SelectNode(child, "docs");
        Idle(child);
        return child;
    }
};

TEST_F(CompareOutputTest, CopyTakesTheSpaceThenAndNow)
{
    TCompMDIChild* child = Open();
    TPrintForm& form = frame_->PrintForm();
    WhenShown(&form, [&] {
        EXPECT_EQ(form.windowTitle(), "Copy to clipboard");
        form.SizeFormatRadios[int(TSizeFormat::Bytes)]->setChecked(true);
        form.OKButton->click();
    });
    child->CopyAction->trigger();
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 6); // the header, four rows and the end of the last line
    EXPECT_TRUE(lines[0].startsWith(
        "File name\tFull path\tFile type\tSpace was\tSpace now\tChanged by\tCondition\tDate"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("a.txt\t/data/docs/\t")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("\t12288\t32768\t20480\tFile bigger\t"))
        << lines[1].toStdString();
}

TEST_F(CompareOutputTest, PrintTakesThePathAndTheCaptionOfTheWindow)
{
    TCompMDIChild* child = Open();
    TPrintForm& form = frame_->PrintForm();
    const std::string pdf = dir_ / "listing.pdf";
    form.Printer().setOutputFormat(QPrinter::PdfFormat);
    form.Printer().setOutputFileName(QString::fromStdString(pdf));
    // Eight columns are wider than the page: printed as they are.
    WhenShown(form.ConfirmPrintForm, [&] {
        form.ConfirmPrintForm->NoChangeRadio->setChecked(true);
        form.ConfirmPrintForm->OKButton->click();
    });
    WhenShown(&form, [&] {
        EXPECT_EQ(form.windowTitle(), "Print setup");
        form.OKButton->click();
    });
    child->PrintAction->trigger();
    TChildResult text = RunChild({"pdftotext", "-layout", pdf, "-"});
    ASSERT_TRUE(text.Succeeded()) << text.Err;
    EXPECT_NE(text.Out.find("Comparing log 3 with log 4 - Home"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("Contents of: /data/docs/"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("File unchanged"), std::string::npos) << text.Out;
}

TEST_F(CompareOutputTest, EmailSendsTheSpaceNowOfTheList)
{
    SmtpServer server;
    if (!server.Running())
        GTEST_SKIP() << "no SMTP test server: " << server.Error();
    dir_.WriteFile("mail.ini", server.MailFileText("Test"));
    TCompMDIChild* child = Open();
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
    EXPECT_NE(mails[0].Body().find("/data/docs/a.txt    32 KB\r\n"), std::string::npos)
        << mails[0].Body();
}

TEST_F(CompareOutputTest, ExportWritesTheListWithTheBytesBesideTheSpaces)
{
    TCompMDIChild* child = Open();
    QString offered;
    child->ChooseExportFile = [&](const QString& suggested) {
        offered = suggested;
        return dir_ / "list.csv";
    };
    EXPECT_EQ(child->ExportListAction->text(), "E&xport list ...");
    child->ExportListAction->trigger();
    EXPECT_EQ(offered, "Comparing log 3 with log 4.csv");
    const std::string csv = dir_.ReadFile("list.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "File name,File type,Space was,Space was (bytes),Space now,Space now (bytes),"
              "Changed by,Changed by (bytes),Condition,Date created");
    EXPECT_NE(csv.find("\r\na.txt,plain text document,12 KB,12288,32 KB,32768,+20 KB,20480,"
                       "File bigger,"),
              std::string::npos)
        << csv;
}

} // namespace
