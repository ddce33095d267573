// The "User Options" dialog: display, e-mail, unattended-run and log-maintenance settings on
// four pages, loaded from and saved to the settings store through TOptions, and the
// file-manager integration ("shell extension") registered or removed on OK.
#pragma once

#include "references/AppContext.h"
#include "references/Options.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace vm {

class TToolsOptionsForm : public QDialog
{
    Q_OBJECT
public:
    // context outlives the dialog: its display flags are set after every load and save, and its
    // UI shows the dialog's messages.
    explicit TToolsOptionsForm(TAppContext& context, QWidget* parent = nullptr);

    // Fills the controls and the display flags from the settings store; false (after showing
    // "Can't read registry settings") when the store cannot be read. Also run when the dialog
    // is shown and on Cancel, and by the reference manager when it is activated.
    bool LoadOptions();
    // Writes the controls to the settings store, sets the display flags, then registers or
    // removes the file-manager integration as the box says.
    void SaveOptions();
    // The options as the controls hold them.
    TOptions ControlOptions() const;
    // Makes the mail file's default profile the first item of the profile box, the other
    // profiles after it (done when the dialog is shown).
    void FillProfiles();

    QTabWidget* PageControl;
    QWidget *GeneralPage, *EmailPage, *CommandLinePage, *LogsPage;
    QCheckBox *FileExtensionsCheckBox, *DisplayIconsCheckBox, *ShellExtCheckBox;
    QCheckBox* LargestFirstCheckBox; // "Largest first": lists open sorted by space
    QCheckBox *EmailRTFCheckBox, *EmailDialogCheckBox;
    QCheckBox* EmailCheckBox;
    QComboBox* ProfileComboBox;
    QLineEdit* EmailTo;
    QPushButton* EmailToButton;
    QRadioButton *EmailAlwaysRadio, *ExceptionEmailRadio;
    QGroupBox* ExceptionGroupBox;
    QCheckBox* GrownCheckBox;
    QLineEdit* GrownAmount;
    QComboBox* GrownComboBox;
    QCheckBox* DiskFreeCheckBox;
    QLineEdit* DiskFreeAmount;
    QComboBox* DiskFreeComboBox;
    QCheckBox* SendSubjectCheckBox;
    QCheckBox* AllowChangesCheckBox;
    QLineEdit* MetricsDirectoryEdit;
    QPushButton *OKButton, *CancelButton, *HelpButton;

    void EmailCheckBoxClick();
    void EmailToButtonClick();
    void OKButtonClick();
    void CancelButtonClick();
    void reject() override; // Escape and the close button act as Cancel

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* MakeGeneralPage();
    QWidget* MakeEmailPage();
    QWidget* MakeCommandLinePage();
    QWidget* MakeLogsPage();
    QGroupBox* MakeExceptionGroup(QWidget* parent);
    void ToControls(const TOptions& options);
    void SetDisplayFlags();
    void ApplyShellExtension();
    void ShowError(const std::string& text);

    TAppContext& context_;
};

} // namespace vm
