#include "output/PrintForm.h"

#include "output/ConfirmPrintForm.h"
#include "output/QtPrintCanvas.h"
#include "output/QtPrinterSettings.h"
#include "output/SavePrintSetup.h"
#include "platform/DateTime.h"
#include "platform/HelpTopics.h"
#include "platform/QtText.h"
#include "platform/Registry.h"
#include "platform/UserInterface.h"

#include <QClipboard>
#include <QFontDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <cmath>

namespace vm {

namespace {
const char* const kSizeFormatCaptions[4] = {"As displayed (eg 1.23MB or 10.5GB)",
                                            "Bytes (eg 1230000 or 10500000000)",
                                            "KB (eg 1230 or 10500000)", "MB (eg 1.23 or 10500)"};

// A margin read back from the page set-up dialog, in millimetres, in the user's unit.
int MarginInUnit(double millimetres, int unit)
{
    return static_cast<int>(
        std::lround(unit == kHundredthsMm ? millimetres * 100.0 : millimetres / 25.4 * 1000.0));
}

} // namespace

TPrintForm::TPrintForm(TAppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), locale_(TLocale::FromEnvironment()),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName("PrintForm");
    setWindowTitle("Print options");
    ConfirmPrintForm = new TConfirmPrintForm(this);
    connect(ConfirmPrintForm, &TConfirmPrintForm::HelpRequested, this, &TPrintForm::HelpRequested);

    SelectColumnsRadioGroup =
        Named(new QGroupBox("Select report columns", this), "SelectColumnsRadioGroup");
    AllColumnsRadio =
        Named(new QRadioButton("Display all columns", SelectColumnsRadioGroup), "AllColumnsRadio");
    SelectedColumnsRadio =
        Named(new QRadioButton("Display selected columns", SelectColumnsRadioGroup),
              "SelectedColumnsRadio");
    AllColumnsRadio->setChecked(true);
    ColumnSelectListView = Named(new QListWidget(SelectColumnsRadioGroup), "ColumnSelectListView");
    ColumnSelectListView->setAccessibleName("Report columns");
    ColumnSelectListView->setMinimumWidth(220);
    auto* columnsLayout = new QVBoxLayout(SelectColumnsRadioGroup);
    columnsLayout->addWidget(AllColumnsRadio);
    columnsLayout->addWidget(SelectedColumnsRadio);
    columnsLayout->addWidget(ColumnSelectListView, 1);

    SelectDataTypeRadioGroup =
        Named(new QGroupBox("Select file size format:", this), "SelectDataTypeRadioGroup");
    auto* formatLayout = new QVBoxLayout(SelectDataTypeRadioGroup);
    for (int i = 0; i < 4; ++i) {
        SizeFormatRadios[i] = new QRadioButton(kSizeFormatCaptions[i], SelectDataTypeRadioGroup);
        SizeFormatRadios[i]->setObjectName(QString("SizeFormatRadio%1").arg(i));
        formatLayout->addWidget(SizeFormatRadios[i]);
    }
    SizeFormatRadios[int(TSizeFormat::KB)]->setChecked(true);

    OKButton = Named(new QPushButton("OK", this), "OKButton");
    CancelButton = Named(new QPushButton("Cancel", this), "CancelButton");
    HelpButton = Named(new QPushButton("Help", this), "HelpButton");
    FontButton = Named(new QPushButton("Change font", this), "FontButton");
    PageSetupButton = Named(new QPushButton("Page setup", this), "PageSetupButton");
    HeadingButton = Named(new QPushButton("Heading", this), "HeadingButton");
    SetupButton = Named(new QPushButton("Printer setup", this), "SetupButton");
    OKButton->setDefault(true);
    for (QPushButton* b :
         {CancelButton, HelpButton, FontButton, PageSetupButton, HeadingButton, SetupButton})
        b->setAutoDefault(false);

    connect(OKButton, &QPushButton::clicked, this, &TPrintForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this,
            [this] { emit HelpRequested(help::ConfirmPrinter); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this,
            [this] { emit HelpRequested(help::PrintOptions); });
    connect(FontButton, &QPushButton::clicked, this, &TPrintForm::FontButtonClick);
    connect(PageSetupButton, &QPushButton::clicked, this, &TPrintForm::PageSetupButtonClick);
    connect(HeadingButton, &QPushButton::clicked, this, &TPrintForm::HeadingButtonClick);
    connect(SetupButton, &QPushButton::clicked, this, &TPrintForm::SetupButtonClick);
    connect(ColumnSelectListView, &QListWidget::itemChanged, this, &TPrintForm::ColumnItemChanged);
    connect(ColumnSelectListView, &QListWidget::itemClicked, this,
            [this] { SelectedColumnsRadio->setChecked(true); });
    connect(AllColumnsRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            CheckAllColumns();
    });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {OKButton, CancelButton, HelpButton})
        buttons->addWidget(b);
    buttons->addSpacing(12);
    for (QPushButton* b : {FontButton, PageSetupButton, HeadingButton, SetupButton})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(SelectColumnsRadioGroup, 1);
    left->addWidget(SelectDataTypeRadioGroup);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
}

TPrintForm::~TPrintForm() = default;

void TPrintForm::ShowPrint(const TListTable& table, const std::string& footer,
                           const std::string& subheading)
{
    setWindowTitle(kPrintSetupCaption);
    {
        TBusyCursor busy(context_.UI);
        Initialise(table, "", footer, subheading);
    }
    exec();
    table_ = nullptr;
}

void TPrintForm::ShowCopy(const TListTable& table)
{
    setWindowTitle(kCopyToClipboardCaption);
    Initialise(table, "", "", "");
    exec();
    table_ = nullptr;
}

void TPrintForm::Initialise(const TListTable& table, const std::string& heading,
                            const std::string& footer, const std::string& subheading)
{
    table_ = &table;
    if (clipboardMode_)
        copyFormat_ = SizeFormat();
    clipboardMode_ = windowTitle() == kCopyToClipboardCaption;
    for (QPushButton* b : {FontButton, PageSetupButton, HeadingButton, SetupButton})
        b->setVisible(!clipboardMode_);
    SelectDataTypeRadioGroup->setVisible(clipboardMode_);
    SelectDataTypeRadioGroup->setEnabled(clipboardMode_);
    SizeFormatRadios[int(clipboardMode_ ? copyFormat_ : TSizeFormat::AsDisplayed)]->setChecked(
        true);

    filling_ = true;
    ColumnSelectListView->clear();
    for (const TColumnItem& column : ColumnItems(table, clipboardMode_)) {
        auto* item = new QListWidgetItem(Q(column.Text), ColumnSelectListView);
        item->setData(Qt::UserRole, column.Column);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (column.Checkable)
            flags |= Qt::ItemIsUserCheckable;
        item->setFlags(flags);
        item->setCheckState(column.Checkable ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
    AllColumnsRadio->setChecked(true);

    Heading = heading;
    Footer = footer;
    Subheading = subheading;
    if (!clipboardMode_) {
        TRegistry registry;
        ReportFont = TReportFont(); // a font reduced for an earlier list starts over
        ReadReportFont(registry, ReportFont);
        if (!printerLoaded_) {
            printerLoaded_ = true;
            LoadStoredPrinter();
        }
    }
    adjustSize();
}

void TPrintForm::ColumnItemChanged()
{
    if (!filling_)
        SelectedColumnsRadio->setChecked(true);
}

void TPrintForm::CheckAllColumns()
{
    filling_ = true;
    for (int i = 0; i < ColumnSelectListView->count(); ++i) {
        QListWidgetItem* item = ColumnSelectListView->item(i);
        if (item->flags() & Qt::ItemIsUserCheckable)
            item->setCheckState(Qt::Checked);
    }
    filling_ = false;
}

std::vector<int> TPrintForm::ChosenColumns() const
{
    std::vector<int> columns;
    for (int i = 0; i < ColumnSelectListView->count(); ++i) {
        const QListWidgetItem* item = ColumnSelectListView->item(i);
        if (item->checkState() == Qt::Checked)
            columns.push_back(item->data(Qt::UserRole).toInt());
    }
    return columns;
}

TSizeFormat TPrintForm::SizeFormat() const
{
    for (int i = 0; i < 4; ++i)
        if (SizeFormatRadios[i]->isChecked())
            return TSizeFormat(i);
    return TSizeFormat::AsDisplayed;
}

void TPrintForm::Tell(const std::string& text)
{
    if (context_.UI)
        context_.UI->ShowMessage(text);
}

void TPrintForm::OKButtonClick()
{
    if (!table_ || table_->RowCount() == 0)
        return;
    if (!clipboardMode_) {
        PrintRows();
        return;
    }
    {
        TBusyCursor busy(context_.UI);
        CopyToClipboard();
    }
    accept();
}

void TPrintForm::CopyToClipboard()
{
    const std::string text = ClipboardText(*table_, ChosenColumns(), SizeFormat(), locale_);
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

TListReport TPrintForm::MakeReport()
{
    TRegistry registry;
    const int unit = UserMeasurementUnit();
    const TPageMargins margins = ToHundredthsMm(ReadPageMargins(registry, unit), unit);
    const TPageGeometry geometry = ComputePageGeometry(margins, PrepareFacts(*printer_));
    TPrintFont font;
    font.Name = ReportFont.Name;
    font.Size = ReportFont.Size;
    TReportTexts texts{Heading, Subheading, Footer, locale_.DateTimeText(Now())};
    return TListReport(*table_, ChosenColumns(), geometry, font, std::move(texts));
}

bool TPrintForm::ReduceFontToFit(int step)
{
    for (;;) {
        TQtPrintCanvas canvas(*printer_);
        if (MakeReport().FitsWidth(canvas))
            return true;
        if (ReportFont.Size <= kSmallestReportFont)
            return false;
        ReportFont.Size = std::max(kSmallestReportFont, ReportFont.Size - step);
    }
}

void TPrintForm::PrintRows(bool checkWidth)
{
    if (!table_ || table_->RowCount() == 0)
        return;
    if (ChosenColumns().empty()) {
        Tell("Choose at least one column to print");
        return;
    }
    if (printer_->outputFormat() == QPrinter::NativeFormat && printer_->printerName().isEmpty()) {
        Tell("No printer is set up: choose a printer or a PDF file in \"Printer setup\"");
        return;
    }
    if (checkWidth) {
        TQtPrintCanvas measure(*printer_);
        bool fits = MakeReport().FitsWidth(measure);
        // A font the user has not chosen is made to fit the page, a point at a time, without a
        // question; the question is for a font the user chose, or a list no size fits.
        if (!fits && !ReportFont.Chosen) {
            fits = ReduceFontToFit(1);
            if (!fits)
                ReportFont.Size = TReportFont().Size;
        }
        if (!fits && ConfirmPrintForm->Choice() != TConfirmPrintForm::DoNotChange) {
            hide();
            const bool landscape = printer_->pageLayout().orientation() == QPageLayout::Landscape;
            if (!ConfirmPrintForm->Confirm(landscape))
                return;
            switch (ConfirmPrintForm->Choice()) {
            case TConfirmPrintForm::ReduceFontSize:
                if (!ReduceFontToFit(2)) {
                    PrintRows(false);
                    Tell("The list is wider than the page even at " +
                         std::to_string(kSmallestReportFont) +
                         " points: texts that did not fit were cut at the edge of their column");
                    return;
                }
                break;
            case TConfirmPrintForm::ChangeToLandscape:
                printer_->setPageOrientation(QPageLayout::Landscape);
                break;
            case TConfirmPrintForm::DoNotChange:
                break;
            }
            PrintRows(true);
            return;
        }
    }

    hide();
    TBusyCursor busy(context_.UI);
    printer_->setDocName("Volumark File Listing");
    TListReport report = MakeReport();
    TQtPrintCanvas canvas(*printer_);
    TStatusWindow* status = context_.UI ? &context_.UI->Status() : nullptr;
    bool statusShown = false;
    // A long listing shows its progress from the third page on, with Cancel to stop it.
    auto beforePage = [&](int page) {
        if (!status || page < 3)
            return true;
        if (!statusShown) {
            statusShown = true;
            status->SetCaption("Printing");
            status->SetHeading("Printing page :");
            status->SetHeading2Visible(false);
            status->Show();
        }
        status->SetText(std::to_string(page));
        context_.UI->ProcessMessages();
        return !status->StopRequested();
    };
    TPrintOutcome outcome;
    try {
        outcome = report.Print(canvas, beforePage);
    } catch (const std::exception& e) {
        canvas.Abort();
        if (statusShown)
            status->Hide();
        Tell(e.what());
        return;
    }
    if (statusShown)
        status->Hide();
    if (outcome.Stopped) {
        canvas.Abort();
        Tell("Printing was stopped");
        return;
    }
    // A report that printed nothing never began its job.
    if (!canvas.Finish())
        Tell(canvas.Error());
}

bool TPrintForm::LoadStoredPrinter()
{
    try {
        TRegistry registry;
        if (std::optional<TPrinterSettings> stored = LoadPrinterSetup(registry, InstalledQueues()))
            ApplySettings(*printer_, *stored);
        return true;
    } catch (const ESavePrintSetup& e) {
        Tell(e.what());
        return false;
    }
}

void TPrintForm::StorePrinter()
{
    try {
        TRegistry registry;
        StorePrinterSetup(registry, SettingsOf(*printer_));
    } catch (const std::exception& e) {
        Tell(e.what());
    }
}

void TPrintForm::SetupButtonClick()
{
    {
        TRegistry registry;
        // A stored printer that has gone is reported; the dialog then offers another.
        if (PrinterSetupStored(registry))
            LoadStoredPrinter();
    }
    printerLoaded_ = true;
    QPrintDialog dialog(printer_.get(), this);
    dialog.setWindowTitle("Printer setup");
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() == QDialog::Accepted)
        StorePrinter();
}

void TPrintForm::PageSetupButtonClick()
{
    TRegistry registry;
    if (PrinterSetupStored(registry) && !LoadStoredPrinter())
        return;
    printerLoaded_ = true;
    const int unit = UserMeasurementUnit();
    const TPageMargins m = ToHundredthsMm(ReadPageMargins(registry, unit), unit);
    QPageLayout layout = printer_->pageLayout();
    layout.setMode(QPageLayout::FullPageMode);
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMargins(QMarginsF(m.Left / 100.0, m.Top / 100.0, m.Right / 100.0, m.Bottom / 100.0));
    printer_->setPageLayout(layout);
    QPageSetupDialog dialog(printer_.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QMarginsF got = printer_->pageLayout().margins(QPageLayout::Millimeter);
    TPageMargins chosen;
    chosen.Left = MarginInUnit(got.left(), unit);
    chosen.Right = MarginInUnit(got.right(), unit);
    chosen.Top = MarginInUnit(got.top(), unit);
    chosen.Bottom = MarginInUnit(got.bottom(), unit);
    try {
        WritePageMargins(registry, chosen, unit);
    } catch (const std::exception& e) {
        Tell(e.what());
    }
    StorePrinter();
}

void TPrintForm::FontButtonClick()
{
    bool ok = false;
    QFont current(Q(ReportFont.Name));
    current.setPointSize(ReportFont.Size);
    const QFont font = QFontDialog::getFont(&ok, current, this, "Change font");
    if (!ok)
        return;
    ReportFont.Name = S(font.family());
    if (font.pointSize() > 0)
        ReportFont.Size = font.pointSize();
    ReportFont.Chosen = true;
    try {
        TRegistry registry;
        WriteReportFont(registry, ReportFont);
    } catch (const std::exception& e) {
        Tell(e.what());
    }
}

void TPrintForm::HeadingButtonClick()
{
    if (!context_.UI)
        return;
    std::string value = Heading;
    if (context_.UI->InputQuery("Heading ?", "Enter heading", value))
        Heading = value;
}

} // namespace vm
