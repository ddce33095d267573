// "Email": sends a list window's rows (all or the selected ones) to the recipients typed or
// picked from the address book, or, for each tag given recipients, the log's entries that
// carry the tag. One dialog serves every list window. A window calls
//   ShowFor(reference, log number, log file name, table, view)
// with its TListTable (output/ListColumns.h) and the view that shows it (for the selection;
// the view's model rows are the table's rows); both must stay unchanged until it returns. The
// dialog stays open, saying why, when a message could not be sent.
#pragma once

#include "output/EmailInfo.h"
#include "references/AppContext.h"

#include <QDialog>

#include <string>
#include <vector>

class QAbstractItemView;
class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace vm {

class TImageList;
class TStream;

class TEmailForm : public QDialog
{
    Q_OBJECT
public:
    // context and tagImages outlive the dialog.
    TEmailForm(TAppContext& context, const TImageList& tagImages, QWidget* parent = nullptr);

    // What the calling window sets, in this order, before showing the dialog modally.
    void SetNumbers(int reference, int logNumber);
    // The log whose tags the dialog offers; memoryLog is the stream of a log held in memory
    // (it outlives the showing), else the file is opened when needed.
    void SetLoadedFileName(const std::string& logFileName, TStream* memoryLog = nullptr);
    void SetListView(const TListTable& table, const QAbstractItemView* view);
    // All of the above, then shown modally.
    int ShowFor(int reference, int logNumber, const std::string& logFileName,
                const TListTable& table, const QAbstractItemView* view,
                TStream* memoryLog = nullptr);

    // The rows the list mail takes: the selected ones when "Email selected files" is checked.
    std::vector<int> ChosenRows() const;
    // The tag rows with the recipients typed.
    std::vector<TTagRow> TagRows() const;

    QRadioButton *AllFilesRadio, *SelectedFilesRadio, *TaggedFilesRadio;
    QLineEdit* SingleRecipient;
    QPushButton* EmailToButton;
    QTreeWidget* TagListView;
    QMenu* TagPopupMenu;
    QAction *AddRecipient1, *SpecifyRecipient1, *ClearRecipients1;
    QLineEdit* Subject;
    QCheckBox *RichTextCheckBox, *ShowDialogCheckBox;
    QPushButton *HeaderFooterButton, *SendButton, *CancelButton, *HelpButton;

    void FormActivate();
    void EmailToButtonClick();
    void AddRecipientClick();
    void SpecifyRecipientClick();
    void ClearRecipientsClick();
    void SendButtonClick();

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RadioChanged();
    void LoadTagRows();
    // The address-book picker; false when nothing was picked.
    bool Pick(const std::string& current, std::string& names);
    void Tell(const std::string& text);

    TAppContext& context_;
    const TImageList& tagImages_;
    int reference_ = 0, logNumber_ = 0;
    std::string logFileName_;
    TStream* memoryLog_ = nullptr;
    const TListTable* table_ = nullptr;
    const QAbstractItemView* view_ = nullptr;
};

} // namespace vm
