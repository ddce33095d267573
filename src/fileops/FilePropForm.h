// "Properties" of a listed file or directory: what the log holds about it (location, size,
// space, dates, type, icon), its links, owner, group, permissions and attributes as they stand
// on the disk; Apply
// changes read-only and compression on the disk and writes the result into the log. A new dialog
// is made for every Properties action of the explore and compare windows.
#pragma once

#include "fileops/FileProperties.h"

#include <QDialog>
#include <QIcon>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace vm {

class TFilePropForm : public QDialog
{
    Q_OBJECT
public:
    // apply writes the boxes' states through the properties into the log (the window opens the
    // log for it); it answers whether anything was written.
    using TApply = std::function<bool(TFileProperties& properties, bool readOnly, bool compressed)>;
    TFilePropForm(TFileProperties& properties, TApply apply, QWidget* parent = nullptr);

    // Shows what properties holds (loaded by TFileProperties::Load) with the row's icon.
    void LoadPropertyText(const QIcon& icon);
    // What the window writes into its row once the dialog has closed.
    int64_t ResultingAllocated() const { return properties_.ResultingAllocated; }

    int Tag = 0; // 1 from the explore window, 2 from the compare window

    QTabWidget* PageControl;
    QWidget* GeneralPage;
    QLabel *IconImage, *NameLabel, *TypeLabel, *LocationLabel, *SizeLabel, *SpaceLabel;
    QLabel *OwnerCaption, *OwnerLabel, *GroupCaption, *GroupLabel;
    QLabel *PermissionsCaption, *PermissionsLabel, *LinksCaption, *LinksLabel;
    QLabel *LoggedLabel, *CreatedLabel, *ModifiedLabel, *AccessedLabel;
    QCheckBox *ReadOnlyCheckBox, *CompressedCheckBox, *ReservedCheckBox;
    QPushButton *HelpButton, *OKButton, *CancelButton, *ApplyButton;

    void ApplyButtonClick();
    void OKButtonClick();

signals:
    void HelpRequested(int context);

private:
    void ShowAttributes();

    TFileProperties& properties_;
    TApply apply_;
};

// Shows the dialog over the loaded properties for window `tag` (1 explore, 2 compare), with the
// row's image, asking showHelp for its help; answers the space the entry takes afterwards.
int64_t ShowPropertiesDialog(TFileProperties& properties, TFilePropForm::TApply apply, int tag,
                             const QIcon& icon, const std::function<void(int)>& showHelp,
                             QWidget* parent);

} // namespace vm
