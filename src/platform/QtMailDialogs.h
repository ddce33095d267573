// The mail dialogs of the windows: composing a message before it is sent, and picking
// recipients from the address book.
#pragma once

#include "platform/UserInterface.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace vm {

// To, Subject and the text; "Send" accepts, "Cancel" rejects. Several recipients are written
// separated by ";".
class TQtMailComposeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TQtMailComposeDialog(QWidget* parent = nullptr);
    void SetDraft(const TMailDraft& draft);
    // The draft with the user's changes (CC and Bcc as they were given).
    TMailDraft Draft() const;

    QLineEdit* ToEdit;
    QLineEdit* SubjectEdit;
    QPlainTextEdit* TextEdit;

private:
    TMailDraft draft_;
};

// The address-book names with a check box each; the names already chosen come checked.
class TQtRecipientsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TQtRecipientsDialog(QWidget* parent = nullptr);
    void SetNames(const std::vector<std::string>& book, const std::vector<std::string>& chosen);
    // The checked names in book order.
    std::vector<std::string> Checked() const;

    QListWidget* NameList;
};

} // namespace vm
