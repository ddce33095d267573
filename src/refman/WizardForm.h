// "New Reference Wizard": five pages that lead a user through naming a reference, choosing its
// paths, and logging it at once. The steps live in TRefWizard; this dialog shows the pages and
// buttons it describes. Created once with the reference manager and shown modally.
#pragma once

#include "refman/RefWizard.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace vm {

class TWizardForm : public QDialog
{
    Q_OBJECT
public:
    // store and ui outlive the dialog; ui shows its messages.
    TWizardForm(TRefStore& store, TUserInterface& ui, QWidget* parent = nullptr);

    // Opens a log (the main window's DisplayLog).
    std::function<void(int reference, int log)> DisplayLog;
    // The folder browser of "Network ...": the chosen directory, or empty.
    std::function<std::string(const QString& title)> BrowseForFolder;

    TRefWizard Steps;

    QLabel* Picture;
    QStackedWidget* PageControl;
    std::array<QWidget*, TRefWizard::kPages> Pages;
    QLineEdit* ReferenceName;
    QComboBox* DriveComboBox;
    QPushButton *AddButton, *DeleteButton, *NetworkButton, *SpecifyButton;
    QTreeWidget* RefPathListView;
    QCheckBox* LogNowCheckBox;
    QCheckBox* ExtendedFormatCheckBox; // the reference's logs in the extended format
    QLabel* ProcessingFile;
    QPushButton *BackButton, *NextButton, *CancelButton, *HelpButton;

    void NextButtonClick();
    void BackButtonClick();
    void CancelButtonClick();
    void AddButtonClick();
    void DeleteButtonClick();
    void NetworkButtonClick();
    void SpecifyButtonClick();
    void LogNowCheckBoxClick();
    // Escape and the window's close request act as "Cancel".
    void reject() override;

signals:
    void Hidden();
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* MakePage(int index, const QString& heading, const QStringList& lines);
    QWidget* MakePathsPage();
    void ShowState();
    void ShowPaths();

    TUserInterface& ui_;
};

} // namespace vm
