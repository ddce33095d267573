#include "platform/QtMailDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vm {

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

QString JoinRecipients(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& n : names)
        list << Q(n);
    return list.join("; ");
}

// "a; b;;c" -> its non-empty names, blanks around them removed.
std::vector<std::string> NamesOf(const QString& text)
{
    std::vector<std::string> names;
    for (const QString& part : text.split(';')) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            names.push_back(name.toStdString());
    }
    return names;
}

} // namespace

TQtMailComposeDialog::TQtMailComposeDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("MailComposeDialog");
    setWindowTitle("Send mail");
    ToEdit = new QLineEdit(this);
    ToEdit->setObjectName("ToEdit");
    SubjectEdit = new QLineEdit(this);
    SubjectEdit->setObjectName("SubjectEdit");
    TextEdit = new QPlainTextEdit(this);
    TextEdit->setObjectName("TextEdit");
    TextEdit->setMinimumSize(480, 280);
    TextEdit->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("&Send", QDialogButtonBox::AcceptRole)->setObjectName("SendButton");
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow("&To:", ToEdit);
    fields->addRow("S&ubject:", SubjectEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(TextEdit, 1);
    layout->addWidget(buttons);
}

void TQtMailComposeDialog::SetDraft(const TMailDraft& draft)
{
    draft_ = draft;
    ToEdit->setText(JoinRecipients(draft.To));
    SubjectEdit->setText(Q(draft.Subject));
    TextEdit->setPlainText(Q(draft.Text));
}

TMailDraft TQtMailComposeDialog::Draft() const
{
    TMailDraft draft = draft_;
    draft.To = NamesOf(ToEdit->text());
    draft.Subject = SubjectEdit->text().toStdString();
    draft.Text = TextEdit->toPlainText().toStdString();
    return draft;
}

TQtRecipientsDialog::TQtRecipientsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("RecipientsDialog");
    setWindowTitle("Address book");
    NameList = new QListWidget(this);
    NameList->setObjectName("NameList");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NameList);
    layout->addWidget(buttons);
}

void TQtRecipientsDialog::SetNames(const std::vector<std::string>& book,
                                   const std::vector<std::string>& chosen)
{
    NameList->clear();
    for (const std::string& name : book) {
        auto* item = new QListWidgetItem(Q(name), NameList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const bool isChosen = std::any_of(chosen.begin(), chosen.end(), [&](const std::string& c) {
            return QString::compare(Q(c), Q(name), Qt::CaseInsensitive) == 0;
        });
        item->setCheckState(isChosen ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<std::string> TQtRecipientsDialog::Checked() const
{
    std::vector<std::string> names;
    for (int i = 0; i < NameList->count(); ++i)
        if (NameList->item(i)->checkState() == Qt::Checked)
            names.push_back(NameList->item(i)->text().toStdString());
    return names;
}

} // namespace vm
