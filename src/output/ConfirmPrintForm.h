// "Confirm printer settings": shown when the report font is too wide for the page, it offers to
// make the font smaller, to turn the page to landscape, or to print as it is. The print dialog
// applies the choice and prints again.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace vm {

class TConfirmPrintForm : public QDialog
{
    Q_OBJECT
public:
    enum TChoice
    {
        ReduceFontSize = 0,
        ChangeToLandscape = 1,
        DoNotChange = 2,
    };

    explicit TConfirmPrintForm(QWidget* parent = nullptr);

    // Shows the dialog modally: "Reduce font size" chosen, "Change to landscape" left out when
    // the page is already landscape. True for OK; Cancel and the window's close button give
    // false (nothing is printed).
    bool Confirm(bool landscape);
    // The choice as it stands (it stays after the dialog closes).
    TChoice Choice() const;

    QLabel* FontLabel;
    QRadioButton *ReduceRadio, *LandscapeRadio, *NoChangeRadio;
    QPushButton *OKButton, *CancelButton, *HelpButton;

signals:
    void HelpRequested(int context);
};

} // namespace vm
