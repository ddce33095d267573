// "Copy options": where listed files are copied to, and whether the folders below the listed
// directory are kept. The last destination and the choice live in the settings store
// ("CopyPath", "KeepStructure"); the destinations used this session stay in the list. One dialog
// for the whole program.
#pragma once

#include "fileops/CopyFiles.h"
#include "platform/UserInterface.h"

#include <QDialog>

#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace vm {

class TCopyOptionsForm : public QDialog
{
    Q_OBJECT
public:
    // ui asks the questions of OK; it outlives the dialog.
    explicit TCopyOptionsForm(TUserInterface& ui, QWidget* parent = nullptr);

    // After OK: the destination (ending with "/") and the structure choice.
    std::string Destination() const;
    bool KeepStructure() const;

    QComboBox* InputPathComboBox;
    QCheckBox* KeepStructureCheckBox;
    QPushButton *BrowseButton, *OKButton, *CancelButton, *HelpButton;

    void BrowseButtonClick();
    void OKButtonClick();

signals:
    void HelpRequested(int context);

private:
    TUserInterface& ui_;
};

// Asks the dialog where `count` listed files go; nothing when the user cancels. The folders
// are kept only below the tree's root (belowRoot); one file of a selection copies without the
// status window.
std::optional<TCopyRequest> AskCopyRequest(TCopyOptionsForm& dialog, bool belowRoot,
                                           const std::string& shownDirectory, bool selectedOnly,
                                           size_t count);

} // namespace vm
