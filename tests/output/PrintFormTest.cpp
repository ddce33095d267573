// "Print options" on the offscreen platform: its two modes, the clipboard, real printing into a
// PDF file (read back with poppler's pdfinfo and pdftotext) and through a cups-pdf queue of a
// private cupsd, the font check with "Confirm printer settings", and the stored printer.
#include "output/PrintForm.h"
#include "output/ConfirmPrintForm.h"
#include "output/PrintSettings.h"
#include "output/SavePrintSetup.h"
#include "platform/ChildProcess.h"
#include "platform/Registry.h"
#include "platform/ScriptedUserInterface.h"
#include "support/CupsServer.h"
#include "support/ListTableDouble.h"
#include "support/TempDir.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <random>

namespace vm {
namespace {

using vmtest::ExploreLikeTable;
using vmtest::ListTableDouble;

std::string Output(const std::vector<std::string>& argv)
{
    TChildResult r = RunChild(argv);
    EXPECT_TRUE(r.Succeeded()) << argv[0] << ": " << r.Err;
    return r.Out;
}

int PdfPages(const std::string& pdf)
{
    const std::string info = Output({"pdfinfo", pdf});
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

std::string PdfPageText(const std::string& pdf, int page)
{
    const std::string n = std::to_string(page);
    return Output({"pdftotext", "-f", n, "-l", n, "-layout", pdf, "-"});
}

class PrintFormTest : public ::testing::Test
{
protected:
    PrintFormTest() : table(ExploreLikeTable())
    {
        setenv("VOLUMARK_REGISTRY", (dir / "registry.ini").c_str(), 1);
        context.UI = &ui;
    }
    void SetUp() override { form = std::make_unique<TPrintForm>(context); }
    void Rows(int n, const std::string& stem = "row-")
    {
        for (int i = 0; i < n; ++i)
            table.Add({stem + std::to_string(i), "/srv/", "Text", "12 KB", "16 KB", "01/02/26"},
                      {{3, 12000}, {4, 16384}});
    }
    void PrintMode()
    {
        form->setWindowTitle("Print setup");
        form->Initialise(table, "Disk usage", "Contents of: /srv/", "Exploring log 3 - Servers");
    }
    // Prints into a PDF file of the test's folder.
    std::string ToPdf(const std::string& name = "listing.pdf")
    {
        const std::string pdf = dir / name;
        form->Printer().setOutputFormat(QPrinter::PdfFormat);
        form->Printer().setOutputFileName(QString::fromStdString(pdf));
        return pdf;
    }
    // Answers "Confirm printer settings" each time it shows, in order.
    void AnswerConfirm(std::deque<std::function<void(TConfirmPrintForm&)>> answers)
    {
        answers_ = std::move(answers);
        auto* timer = new QTimer(form.get());
        QObject::connect(timer, &QTimer::timeout, [this] {
            TConfirmPrintForm& confirm = *form->ConfirmPrintForm;
            if (!confirm.isVisible() || answers_.empty())
                return;
            auto answer = answers_.front();
            answers_.pop_front();
            ++confirmations;
            answer(confirm);
        });
        timer->start(20);
    }

    vmtest::TempDir dir;
    TAppContext context;
    TScriptedUserInterface ui;
    std::unique_ptr<TPrintForm> form;
    ListTableDouble table;
    std::deque<std::function<void(TConfirmPrintForm&)>> answers_;
    int confirmations = 0;
};

TEST_F(PrintFormTest, TheCaptionChoosesTheMode)
{
    Rows(1);
    PrintMode();
    EXPECT_FALSE(form->ClipboardMode());
    EXPECT_TRUE(form->FontButton->isVisibleTo(form.get()));
    EXPECT_TRUE(form->SetupButton->isVisibleTo(form.get()));
    EXPECT_FALSE(form->SelectDataTypeRadioGroup->isVisibleTo(form.get()));
    EXPECT_EQ(form->SizeFormat(), TSizeFormat::AsDisplayed);
    QListWidget* columns = form->ColumnSelectListView;
    ASSERT_EQ(columns->count(), 6);
    EXPECT_EQ(columns->item(1)->text(), "Full path <not used>");
    EXPECT_EQ(columns->item(1)->checkState(), Qt::Unchecked);
    EXPECT_FALSE(columns->item(1)->flags().testFlag(Qt::ItemIsUserCheckable));
    EXPECT_EQ(form->ChosenColumns(), (std::vector<int>{0, 2, 3, 4, 5}));
    EXPECT_TRUE(form->AllColumnsRadio->isChecked());

    columns->item(2)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(form->SelectedColumnsRadio->isChecked());
    EXPECT_EQ(form->ChosenColumns(), (std::vector<int>{0, 3, 4, 5}));
    form->AllColumnsRadio->setChecked(true);
    EXPECT_EQ(form->ChosenColumns(), (std::vector<int>{0, 2, 3, 4, 5}));

    form->setWindowTitle("Copy to clipboard");
    form->Initialise(table, "", "", "");
    EXPECT_TRUE(form->ClipboardMode());
    EXPECT_FALSE(form->FontButton->isVisibleTo(form.get()));
    EXPECT_FALSE(form->HeadingButton->isVisibleTo(form.get()));
    EXPECT_TRUE(form->SelectDataTypeRadioGroup->isVisibleTo(form.get()));
    EXPECT_TRUE(form->SelectDataTypeRadioGroup->isEnabled());
    EXPECT_EQ(form->SizeFormat(), TSizeFormat::KB);
    EXPECT_EQ(form->ColumnSelectListView->item(1)->text(), "Full path");
    EXPECT_EQ(form->ChosenColumns(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(PrintFormTest, CopyPutsTheListOnTheClipboard)
{
    Rows(2);
    table.Rows[1][0] = "tab\there";
    form->setWindowTitle("Copy to clipboard");
    form->Initialise(table, "", "", "");
    form->SizeFormatRadios[int(TSizeFormat::Bytes)]->setChecked(true);
    form->ColumnSelectListView->item(2)->setCheckState(Qt::Unchecked);
    form->ColumnSelectListView->item(5)->setCheckState(Qt::Unchecked);
    form->OKButtonClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "File name\tFull path\tFile size\tDisk space\t\n"
              "row-0\t/srv/\t12000\t16384\t\n"
              "tab\\x09here\t/srv/\t12000\t16384\t\n");
}

TEST_F(PrintFormTest, PrintsEveryRowIntoAPdfFileWithAHeadingAndFooterOnEachPage)
{
    Rows(150);
    PrintMode();
    const std::string pdf = ToPdf();
    form->OKButtonClick();
    EXPECT_TRUE(ui.Shown.empty()) << ui.Texts().front();
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const int pages = PdfPages(pdf);
    ASSERT_GE(pages, 2);
    int next = 0;
    for (int page = 1; page <= pages; ++page) {
        const std::string text = PdfPageText(pdf, page);
        EXPECT_NE(text.find("Disk usage"), std::string::npos) << page;
        EXPECT_NE(text.find("Exploring log 3 - Servers"), std::string::npos) << page;
        EXPECT_NE(text.find("File name"), std::string::npos) << page;
        EXPECT_NE(text.find("Page " + std::to_string(page)), std::string::npos) << page;
        EXPECT_NE(text.find("Contents of: /srv/"), std::string::npos) << page;
        EXPECT_NE(text.find("Information provided by Volumark"), std::string::npos) << page;
        // The rows continue in order from page to page.
        while (next < 150 && text.find("row-" + std::to_string(next) + " ") != std::string::npos)
            ++next;
    }
    EXPECT_EQ(next, 150);
    EXPECT_EQ(PdfPageText(pdf, 1).find("Full path"), std::string::npos); // not used
}

TEST_F(PrintFormTest, AnEmptyListPrintsNothingAndAnUnwritableFileIsReported)
{
    PrintMode();
    const std::string pdf = ToPdf();
    form->OKButtonClick();
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_TRUE(ui.Shown.empty());

    Rows(3);
    form->Printer().setOutputFileName("/nonexistent-volumark-dir/listing.pdf");
    form->OKButtonClick();
    ASSERT_EQ(ui.Texts().size(), 1u);
    EXPECT_EQ(ui.Texts()[0],
              "The PDF file /nonexistent-volumark-dir/listing.pdf cannot be written");

    // A disk that fills while the file is written.
    form->Printer().setOutputFileName("/dev/full");
    form->OKButtonClick();
    ASSERT_EQ(ui.Texts().size(), 2u);
    EXPECT_EQ(ui.Texts()[1],
              "The PDF file /dev/full was not written completely (is the disk full?)");
}

TEST_F(PrintFormTest, TheDefaultsFitTheExploreWindowsColumnsOnAPortraitPage)
{
    // A first row as wide as such rows come: a long type, the largest sizes, a date with its
    // time in a long format.
    table.Add({"quarterly-report-2026.txt", "/srv/", "Plain text document", "1,023.99 MB",
               "1,023.99 MB", "12/31/2026 11:59:59 PM"});
    Rows(3);
    AnswerConfirm({[](TConfirmPrintForm& c) { c.CancelButton->click(); },
                   [](TConfirmPrintForm& c) { c.CancelButton->click(); }});
    for (QPageSize::PageSizeId size : {QPageSize::A4, QPageSize::Letter}) {
        PrintMode();
        const std::string pdf = ToPdf(size == QPageSize::A4 ? "a4.pdf" : "letter.pdf");
        form->Printer().setPageSize(QPageSize(size));
        form->Printer().setPageOrientation(QPageLayout::Portrait);
        form->OKButtonClick();
        EXPECT_EQ(confirmations, 0) << "the font is too large on " << pdf;
        EXPECT_EQ(PdfPages(pdf), 1);
    }

    // The question stays for a font the user chose.
    TRegistry registry(dir / "registry.ini");
    WriteReportFont(registry, {"DejaVu Sans", 12, true});
    PrintMode();
    ToPdf("chosen.pdf");
    form->OKButtonClick();
    EXPECT_EQ(confirmations, 1);
}

TEST_F(PrintFormTest, AFontTooWideIsReducedUntilItFits)
{
    TRegistry registry(dir / "registry.ini");
    WriteReportFont(registry, {"DejaVu Sans", 10, true}); // chosen: asked about
    table.Add({std::string(20, 'W'), "", "", "", "", ""});
    Rows(3);
    PrintMode();
    const std::string pdf = ToPdf();
    AnswerConfirm({[](TConfirmPrintForm& c) {
        EXPECT_TRUE(c.ReduceRadio->isChecked());
        EXPECT_TRUE(c.LandscapeRadio->isVisible());
        c.OKButton->click();
    }});
    form->OKButtonClick();
    EXPECT_EQ(confirmations, 1);
    EXPECT_EQ(form->ReportFont.Size, 6);
    EXPECT_TRUE(ui.Shown.empty()) << ui.Texts().front();
    EXPECT_EQ(PdfPages(pdf), 1);
}

TEST_F(PrintFormTest, AFontThatNeverFitsPrintsClippedAndSaysSo)
{
    table.Add({std::string(300, 'W'), "", "", "", "", ""});
    PrintMode();
    const std::string pdf = ToPdf();
    AnswerConfirm({[](TConfirmPrintForm& c) { c.OKButton->click(); }});
    form->OKButtonClick();
    EXPECT_EQ(form->ReportFont.Size, 6);
    ASSERT_EQ(ui.Texts().size(), 1u);
    EXPECT_NE(ui.Texts()[0].find("even at 6 points"), std::string::npos);
    EXPECT_EQ(PdfPages(pdf), 1);
}

TEST_F(PrintFormTest, LandscapeIsOfferedOnlyForAPortraitPageAndCancelPrintsNothing)
{
    table.Add({std::string(300, 'W'), "", "", "", "", ""});
    PrintMode();
    const std::string pdf = ToPdf();
    AnswerConfirm({[](TConfirmPrintForm& c) {
                       c.LandscapeRadio->setChecked(true);
                       c.OKButton->click();
                   },
                   [](TConfirmPrintForm& c) {
                       // Printing again in landscape: still too wide, and landscape is gone.
                       EXPECT_FALSE(c.LandscapeRadio->isVisible());
                       EXPECT_TRUE(c.ReduceRadio->isChecked());
                       c.CancelButton->click();
                   }});
    form->OKButtonClick();
    EXPECT_EQ(confirmations, 2);
    EXPECT_EQ(form->Printer().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_TRUE(ui.Shown.empty());

    // "Do not change settings" prints as it is, and is not asked again.
    AnswerConfirm({[](TConfirmPrintForm& c) {
        c.NoChangeRadio->setChecked(true);
        c.OKButton->click();
    }});
    form->OKButtonClick();
    form->OKButtonClick();
    EXPECT_EQ(confirmations, 3);
    EXPECT_TRUE(std::filesystem::exists(pdf));
}

TEST_F(PrintFormTest, AStoredPrinterThatHasGoneIsReportedAndTheHeadingAsked)
{
    TRegistry registry(dir / "registry.ini");
    TPrinterSettings gone;
    gone.Printer = "Queue_that_was_removed";
    StorePrinterSetup(registry, gone);
    Rows(1);
    PrintMode();
    ASSERT_EQ(ui.Texts().size(), 1u);
    EXPECT_EQ(ui.Texts()[0], "Printer not found among the CUPS printers");
    PrintMode(); // once a session
    EXPECT_EQ(ui.Texts().size(), 1u);

    ui.Inputs = {"Servers by size"};
    form->HeadingButtonClick();
    EXPECT_EQ(form->Heading, "Servers by size");
    EXPECT_EQ(ui.Shown.back().Caption, "Heading ?");
}

// Printing through a queue of a cupsd of the test's own. The CUPS library takes its server from
// the environment when the process first asks it, so the form is made only after that.
class CupsPrintTest : public PrintFormTest
{
protected:
    void SetUp() override
    {
        if (!cups.Running())
            GTEST_SKIP() << "no CUPS server for the test: " << cups.Error();
        setenv("CUPS_SERVER", cups.Socket().c_str(), 1);
        setenv("CUPS_USER", vmtest::CupsServer::kJobUser, 1);
        if (QPrinterInfo::printerInfo(QString::fromStdString(cups.Queue())).isNull())
            GTEST_SKIP() << "Qt does not see the test's CUPS queue: CUPS was asked for printers "
                            "earlier in this process (ctest runs each test on its own)";
        PrintFormTest::SetUp();
    }
    void TearDown() override
    {
        unsetenv("CUPS_SERVER");
        unsetenv("CUPS_USER");
    }
    vmtest::CupsServer cups;
};

TEST_F(CupsPrintTest, PrintsThroughTheQueueTheStoredSettingsChoose)
{
    TRegistry registry(dir / "registry.ini");
    TPrinterSettings stored;
    stored.Printer = cups.Queue();
    StorePrinterSetup(registry, stored);
    form = std::make_unique<TPrintForm>(context); // a new session
    const std::string marker = "cups-" + std::to_string(std::random_device{}());
    Rows(60, marker + "-");
    PrintMode();
    EXPECT_EQ(form->Printer().printerName().toStdString(), cups.Queue());
    form->OKButtonClick();
    EXPECT_TRUE(ui.Shown.empty()) << ui.Texts().front();

    std::vector<std::string> pdfs = cups.WaitForOutput(marker);
    ASSERT_EQ(pdfs.size(), 1u) << cups.Log();
    const std::string text = Output({"pdftotext", "-layout", pdfs[0], "-"});
    EXPECT_NE(text.find(marker + "-0 "), std::string::npos);
    EXPECT_NE(text.find(marker + "-59 "), std::string::npos);
    EXPECT_NE(text.find("Page 1"), std::string::npos);
    EXPECT_NE(text.find("Information provided by Volumark"), std::string::npos);
}

} // namespace
} // namespace vm
