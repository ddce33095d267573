// "Print options": prints a list window's rows as a paginated report, or copies them to the
// clipboard as tab-separated text. One dialog serves every list window; the caption chosen
// before Initialise sets the mode ("Copy to clipboard", or any other such as "Print setup").
//
// A list window calls, with its TListTable (output/ListColumns.h says what it must offer):
//   ShowPrint(table, footer, subheading)  for "&Print ..."
//   ShowCopy(table)                       for "Copy to clipboard ..."
//   PrinterSetup()                        for "Print &setup ..."
// The table must stay unchanged until the call returns. The printer, its page layout, the
// margins and the report font are kept in the settings store (SavePrintSetup.h,
// PrintSettings.h) and the stored printer is chosen again in the next session.
#pragma once

#include "output/ClipboardText.h"
#include "output/ListViewPrint.h"
#include "output/PrintSettings.h"
#include "platform/Locale.h"
#include "references/AppContext.h"

#include <QDialog>

#include <memory>
#include <string>

class QGroupBox;
class QListWidget;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace vm {

class TConfirmPrintForm;

inline const char* const kCopyToClipboardCaption = "Copy to clipboard";
inline const char* const kPrintSetupCaption = "Print setup";
// The smallest report font "Reduce font size" goes down to.
constexpr int kSmallestReportFont = 6;

class TPrintForm : public QDialog
{
    Q_OBJECT
public:
    // context outlives the dialog; its UI shows the dialog's messages.
    explicit TPrintForm(TAppContext& context, QWidget* parent = nullptr);
    ~TPrintForm() override;

    // Caption "Print setup", then Initialise (no heading) and shown modally.
    void ShowPrint(const TListTable& table, const std::string& footer,
                   const std::string& subheading);
    // Caption "Copy to clipboard", then Initialise without texts and shown modally.
    void ShowCopy(const TListTable& table);
    // The printer set-up dialog over the stored printer; the choice is stored.
    void PrinterSetup() { SetupButtonClick(); }

    // Prepares the dialog for one list: the mode from the caption, the column list, the texts;
    // in print mode the stored report font and (once a session) the stored printer.
    void Initialise(const TListTable& table, const std::string& heading, const std::string& footer,
                    const std::string& subheading);

    bool ClipboardMode() const { return clipboardMode_; }
    // The columns the output takes: the checked items, in order.
    std::vector<int> ChosenColumns() const;
    TSizeFormat SizeFormat() const;
    QPrinter& Printer() { return *printer_; }
    TReportFont ReportFont;
    std::string Heading, Subheading, Footer;
    TConfirmPrintForm* ConfirmPrintForm;

    QListWidget* ColumnSelectListView;
    QGroupBox *SelectColumnsRadioGroup, *SelectDataTypeRadioGroup;
    QRadioButton *AllColumnsRadio, *SelectedColumnsRadio;
    QRadioButton* SizeFormatRadios[4];
    QPushButton *FontButton, *PageSetupButton, *HeadingButton, *OKButton, *CancelButton,
        *SetupButton, *HelpButton;

    void OKButtonClick();
    void FontButtonClick();
    void PageSetupButtonClick();
    void HeadingButtonClick();
    void SetupButtonClick();
    // Lays out and prints the rows; with checkWidth, a font too wide for the page asks
    // "Confirm printer settings" first.
    void PrintRows(bool checkWidth = true);

signals:
    void HelpRequested(int context);

private:
    void CopyToClipboard();
    // The report over the current printer, margins and font.
    TListReport MakeReport();
    // Lowers the font step points at a time (not below kSmallestReportFont) until the report
    // fits; false when it still does not.
    bool ReduceFontToFit(int step);
    // Loads the stored printer into the printer; false (after saying why) when it fails.
    bool LoadStoredPrinter();
    void StorePrinter();
    void Tell(const std::string& text);
    void ColumnItemChanged();
    void CheckAllColumns();

    TAppContext& context_;
    TLocale locale_;
    std::unique_ptr<QPrinter> printer_;
    const TListTable* table_ = nullptr;
    bool clipboardMode_ = false;
    TSizeFormat copyFormat_ = TSizeFormat::KB; // the copy's choice, kept while printing
    bool printerLoaded_ = false;
    bool filling_ = false;
};

} // namespace vm
