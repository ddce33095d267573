#include "platform/QtUserInterface.h"

#include "platform/DialogDefaults.h"
#include "platform/QtMailDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <array>

namespace vm {

namespace {

const char* const kResultProperty = "vmDialogResult";

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The messages break lines with CR LF or a lone CR, as the message boxes of the design do.
QString MessageText(const std::string& text)
{
    QString result = Q(text);
    result.replace("\r\n", "\n");
    result.replace('\r', '\n');
    return result;
}

std::unique_ptr<QMessageBox> NewBox(const std::string& text, const QString& caption)
{
    auto box = std::make_unique<QMessageBox>(QApplication::activeWindow());
    box->setWindowTitle(caption);
    box->setTextFormat(Qt::PlainText); // file names may hold anything, '<' included
    box->setText(MessageText(text));
    return box;
}

QPushButton* AddButton(QMessageBox& box, QMessageBox::StandardButton which, int result)
{
    QPushButton* button = box.addButton(which);
    button->setProperty(kResultProperty, result);
    return button;
}

QPushButton* AddNamedButton(QMessageBox& box, const QString& text, QMessageBox::ButtonRole role,
                            int result)
{
    QPushButton* button = box.addButton(text, role);
    button->setProperty(kResultProperty, result);
    return button;
}

QMessageBox::Icon BoxIcon(unsigned flags)
{
    switch (flags & mb::IconMask) {
    case mb::IconError:
        return QMessageBox::Critical;
    case mb::IconQuestion:
        return QMessageBox::Question;
    case mb::IconWarning:
        return QMessageBox::Warning;
    case mb::IconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::Icon DialogIcon(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::Warning:
        return QMessageBox::Warning;
    case TMsgDlgType::Error:
        return QMessageBox::Critical;
    case TMsgDlgType::Information:
        return QMessageBox::Information;
    case TMsgDlgType::Confirmation:
        return QMessageBox::Question;
    case TMsgDlgType::Custom:
        break;
    }
    return QMessageBox::NoIcon;
}

// The buttons of a plain message box, in their order; DefButton2 and DefButton3 count in it.
std::vector<QPushButton*> AddBoxButtons(QMessageBox& box, unsigned flags)
{
    switch (flags & mb::ButtonMask) {
    case mb::OKCancel:
        return {AddButton(box, QMessageBox::Ok, idOK),
                AddButton(box, QMessageBox::Cancel, idCancel)};
    case 0x2: // abort, retry, ignore
        return {AddButton(box, QMessageBox::Abort, idAbort),
                AddButton(box, QMessageBox::Retry, idRetry),
                AddButton(box, QMessageBox::Ignore, idIgnore)};
    case mb::YesNoCancel:
        return {AddButton(box, QMessageBox::Yes, idYes), AddButton(box, QMessageBox::No, idNo),
                AddButton(box, QMessageBox::Cancel, idCancel)};
    case mb::YesNo:
        return {AddButton(box, QMessageBox::Yes, idYes), AddButton(box, QMessageBox::No, idNo)};
    case 0x5: // retry, cancel
        return {AddButton(box, QMessageBox::Retry, idRetry),
                AddButton(box, QMessageBox::Cancel, idCancel)};
    default:
        return {AddButton(box, QMessageBox::Ok, idOK)};
    }
}

struct TDlgButton
{
    unsigned Flag;
    QMessageBox::StandardButton Standard;
    const char* Text; // for the buttons Qt has no standard one of
    int Result;
};

// In the order the typed dialogs place them.
constexpr std::array<TDlgButton, 11> kDlgButtons = {{
    {mbtn::Yes, QMessageBox::Yes, nullptr, idYes},
    {mbtn::No, QMessageBox::No, nullptr, idNo},
    {mbtn::OK, QMessageBox::Ok, nullptr, idOK},
    {mbtn::Cancel, QMessageBox::Cancel, nullptr, idCancel},
    {mbtn::Abort, QMessageBox::Abort, nullptr, idAbort},
    {mbtn::Retry, QMessageBox::Retry, nullptr, idRetry},
    {mbtn::Ignore, QMessageBox::Ignore, nullptr, idIgnore},
    {mbtn::All, QMessageBox::NoButton, "&All", idAll},
    {mbtn::NoToAll, QMessageBox::NoToAll, nullptr, idNoToAll},
    {mbtn::YesToAll, QMessageBox::YesToAll, nullptr, idYesToAll},
    {mbtn::Help, QMessageBox::Help, nullptr, idHelp},
}};

} // namespace

TQtUserInterface::TQtUserInterface(TStatusWindow& status, const std::string& applicationTitle)
    : status_(status), title_(applicationTitle)
{
}

TQtUserInterface::~TQtUserInterface()
{
    if (busy_)
        QApplication::restoreOverrideCursor();
}

std::unique_ptr<QMessageBox> TQtUserInterface::MakeMessageBox(const std::string& text,
                                                              const std::string& caption,
                                                              unsigned flags)
{
    auto box = NewBox(text, Q(caption));
    box->setIcon(BoxIcon(flags));
    const std::vector<QPushButton*> buttons = AddBoxButtons(*box, flags);
    size_t preferred = (flags & mb::DefMask) == mb::DefButton2   ? 1
                       : (flags & mb::DefMask) == mb::DefButton3 ? 2
                                                                 : 0;
    box->setDefaultButton(buttons[preferred < buttons.size() ? preferred : 0]);
    return box;
}

std::unique_ptr<QMessageBox> TQtUserInterface::MakeMessageDlg(const std::string& text,
                                                              TMsgDlgType type, unsigned buttons,
                                                              unsigned defaultButton)
{
    auto box = NewBox(text, DialogTypeCaption(type));
    box->setIcon(DialogIcon(type));
    if (buttons == 0)
        buttons = mbtn::OK;
    QPushButton* first = nullptr;
    QPushButton* preferred = nullptr;
    for (const TDlgButton& b : kDlgButtons) {
        if (!(buttons & b.Flag))
            continue;
        QPushButton* button = b.Text
                                  ? AddNamedButton(*box, b.Text, QMessageBox::AcceptRole, b.Result)
                                  : AddButton(*box, b.Standard, b.Result);
        if (!first)
            first = button;
        if (b.Flag == defaultButton)
            preferred = button;
    }
    box->setDefaultButton(preferred ? preferred : first);
    return box;
}

int TQtUserInterface::ResultOf(const QMessageBox& box)
{
    const QAbstractButton* clicked = box.clickedButton();
    if (!clicked)
        return idCancel;
    const QVariant result = clicked->property(kResultProperty);
    return result.isValid() ? result.toInt() : idCancel;
}

int TQtUserInterface::MessageBox(const std::string& text, const std::string& caption,
                                 unsigned flags)
{
    auto box = MakeMessageBox(text, caption, flags);
    box->exec();
    return ResultOf(*box);
}

int TQtUserInterface::MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons,
                                 int helpContext, unsigned defaultButton)
{
    auto box = MakeMessageDlg(text, type, buttons, defaultButton);
    if (type == TMsgDlgType::Custom)
        box->setWindowTitle(Q(title_));
    // Help opens the topic and leaves the question open, as a help button should.
    for (;;) {
        box->exec();
        const int result = ResultOf(*box);
        if (result != idHelp)
            return result;
        if (help_)
            help_(helpContext);
    }
}

void TQtUserInterface::ShowMessage(const std::string& text)
{
    auto box = NewBox(text, Q(title_));
    AddButton(*box, QMessageBox::Ok, idOK);
    box->exec();
}

bool TQtUserInterface::InputQuery(const std::string& caption, const std::string& prompt,
                                  std::string& value)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), Q(caption),
                                                 Q(prompt), QLineEdit::Normal, Q(value), &ok);
    if (ok)
        value = answer.toStdString();
    return ok;
}

void TQtUserInterface::ProcessMessages()
{
    QCoreApplication::processEvents();
    // A pending stop request is left alone: showing the window would clear it before the run
    // sees it.
    if (logging_ && !status_.IsVisible() && !status_.StopRequested())
        status_.Show();
}

void TQtUserInterface::SetBusy(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TQtUserInterface::Beep()
{
    QApplication::beep();
}

bool TQtUserInterface::EditMail(TMailDraft& draft)
{
    TQtMailComposeDialog dialog(QApplication::activeWindow());
    dialog.SetDraft(draft);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    draft = dialog.Draft();
    return true;
}

bool TQtUserInterface::PickRecipients(const std::vector<std::string>& book,
                                      std::vector<std::string>& to, std::vector<std::string>& cc,
                                      std::vector<std::string>& bcc)
{
    TQtRecipientsDialog dialog(QApplication::activeWindow());
    dialog.SetNames(book, to);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    to = dialog.Checked();
    return true;
}

} // namespace vm
