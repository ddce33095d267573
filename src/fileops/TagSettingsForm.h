// "Define user tags": renames a log's eleven user tags and chooses which tags (the rubbish bin
// too) are active. One dialog for the whole program; a window loads its own log into it right
// before showing it, and saves it back into that log when it returns OK.
#pragma once

#include "core/TagSettings.h"
#include "display/QtImageLists.h"

#include <QDialog>

#include <array>

class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;

namespace vm {

class TTagSettingsForm : public QDialog
{
    Q_OBJECT
public:
    // tagImages: item i shows image i; it outlives the dialog.
    explicit TTagSettingsForm(const TImageList& tagImages, QWidget* parent = nullptr);

    // The items from settings (captions and check marks).
    void SetSettings(const TTagSettings& settings);
    // The items as they stand.
    TTagSettings Settings() const;

    QListWidget* TagSettingsListView;
    QPushButton *OKButton, *CancelButton, *RenameButton;
    QMenu* TagSettingsPopupMenu;
    QAction *Activate1, *Rename1;

    void CancelButtonClick();
    void RenameButtonClick();
    void ToggleSelected();
    void reject() override; // Escape and the close button act as Cancel

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PopupMenuShow(const QPoint& at);
    void ItemChanged(QListWidgetItem* item);
    int SelectedItem() const;

    // What activation saw: the check marks and the captions, for Cancel.
    uint32_t savedChecks_ = 0;
    TTagSettings saved_;
    std::array<QString, kTagItemCount> captions_; // the last valid caption of each item
    bool restoring_ = false;
};

} // namespace vm
