// The Qt user interface: message boxes built with the icons, buttons and default buttons the
// flags ask for, answers mapped back, and the dialogs answered while they are open.
#include "platform/QtUserInterface.h"

#include "platform/QtMailDialogs.h"
#include "platform/ScriptedUserInterface.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace vm {
namespace {

QStringList ButtonTexts(const QMessageBox& box)
{
    QStringList texts;
    for (QAbstractButton* b : box.buttons())
        texts << b->text().remove('&');
    texts.sort();
    return texts;
}

// Runs `answer` on the modal window as soon as it is open.
void WhenModalOpens(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal)
            answer(modal);
        else
            WhenModalOpens(answer);
    });
}

void Click(QWidget* modal, QMessageBox::StandardButton which)
{
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    box->button(which)->click();
}

TEST(QtUserInterface, MessageBoxFlagsChooseIconButtonsAndDefault)
{
    auto box = TQtUserInterface::MakeMessageBox("Delete it?", "Confirm Delete",
                                                mb::YesNo | mb::IconQuestion | mb::DefButton2);
    EXPECT_EQ(box->windowTitle(), "Confirm Delete");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(ButtonTexts(*box), (QStringList{"No", "Yes"}));
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));

    box = TQtUserInterface::MakeMessageBox("x", "c",
                                           mb::YesNoCancel | mb::IconWarning | mb::DefButton3);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Cancel));

    box = TQtUserInterface::MakeMessageBox("x", "c", mb::OK | mb::IconInformation | mb::DefButton3);
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok)); // no third button: the first
}

TEST(QtUserInterface, TextIsShownAsItIsWithLineBreaks)
{
    auto box =
        TQtUserInterface::MakeMessageBox("Can not log this Ref\rAllocation unit <b>", "c", 0);
    EXPECT_EQ(box->text(), "Can not log this Ref\nAllocation unit <b>");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST(QtUserInterface, TypedDialogsCaptionsButtonsAndDefault)
{
    auto box = TQtUserInterface::MakeMessageDlg("Cannot delete x", TMsgDlgType::Error,
                                                mbtn::Yes | mbtn::No | mbtn::All, mbtn::No);
    EXPECT_EQ(box->windowTitle(), "Error");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(ButtonTexts(*box), (QStringList{"All", "No", "Yes"}));
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
    box = TQtUserInterface::MakeMessageDlg("x", TMsgDlgType::Confirmation, mbtn::OK, 0);
    EXPECT_EQ(box->windowTitle(), "Confirm");
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
}

class QtUserInterfaceRun : public testing::Test
{
protected:
    TScriptedStatusWindow status_;
    std::string title_ = "Volumark";
    TQtUserInterface ui_{status_, title_};
};

TEST_F(QtUserInterfaceRun, AnswersComeBackAsDialogResults)
{
    WhenModalOpens([](QWidget* m) { Click(m, QMessageBox::No); });
    EXPECT_EQ(ui_.MessageBox("Sure?", "Volumark ", mb::YesNo), idNo);
    WhenModalOpens([](QWidget* m) {
        auto* box = qobject_cast<QMessageBox*>(m);
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "&All")
                b->click();
    });
    EXPECT_EQ(ui_.MessageDlg("x", TMsgDlgType::Error, mbtn::Yes | mbtn::No | mbtn::All), idAll);
}

TEST_F(QtUserInterfaceRun, HelpOpensTheTopicAndLeavesTheQuestionOpen)
{
    int helped = 0;
    ui_.SetHelpHandler([&](int context) { helped = context; });
    WhenModalOpens([](QWidget* m) {
        Click(m, QMessageBox::Help);
        WhenModalOpens([](QWidget* again) { Click(again, QMessageBox::Yes); });
    });
    EXPECT_EQ(ui_.MessageDlg("Cluster size?", TMsgDlgType::Warning,
                             mbtn::Yes | mbtn::No | mbtn::Help, 38),
              idYes);
    EXPECT_EQ(helped, 38);
}

TEST_F(QtUserInterfaceRun, ShowMessageIsCaptionedWithTheApplicationTitle)
{
    QString caption;
    WhenModalOpens([&](QWidget* m) {
        caption = m->windowTitle();
        Click(m, QMessageBox::Ok);
    });
    title_ = "Volumark Log 3";
    ui_.ShowMessage("done");
    EXPECT_EQ(caption, "Volumark Log 3");
}

TEST_F(QtUserInterfaceRun, InputQueryReturnsTheTextOrCancel)
{
    WhenModalOpens([](QWidget* m) {
        m->findChild<QLineEdit*>()->setText("Server 2");
        qobject_cast<QDialog*>(m)->accept();
    });
    std::string value = "Server";
    EXPECT_TRUE(ui_.InputQuery("Add server", "Name:", value));
    EXPECT_EQ(value, "Server 2");
    WhenModalOpens([](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); });
    EXPECT_FALSE(ui_.InputQuery("Add server", "Name:", value));
    EXPECT_EQ(value, "Server 2");
}

TEST_F(QtUserInterfaceRun, MailDialogsEditTheDraftAndPickNames)
{
    WhenModalOpens([](QWidget* m) {
        auto* dialog = qobject_cast<TQtMailComposeDialog*>(m);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->ToEdit->text(), "Administrator; john@example.com");
        dialog->SubjectEdit->setText("Changed");
        dialog->ToEdit->setText(" a@example.com ;; b ");
        dialog->accept();
    });
    TMailDraft draft{{"Administrator", "john@example.com"}, {"cc"}, {}, "Subject", "Body"};
    ASSERT_TRUE(ui_.EditMail(draft));
    EXPECT_EQ(draft.Subject, "Changed");
    EXPECT_EQ(draft.To, (std::vector<std::string>{"a@example.com", "b"}));
    EXPECT_EQ(draft.CC, (std::vector<std::string>{"cc"}));
    EXPECT_EQ(draft.Text, "Body");

    WhenModalOpens([](QWidget* m) {
        auto* dialog = qobject_cast<TQtRecipientsDialog*>(m);
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(dialog->NameList->count(), 3);
        EXPECT_EQ(dialog->NameList->item(1)->checkState(), Qt::Checked); // already chosen
        dialog->NameList->item(2)->setCheckState(Qt::Checked);
        dialog->accept();
    });
    std::vector<std::string> to{"john smith"}, cc, bcc;
    ASSERT_TRUE(ui_.PickRecipients({"Administrator", "John Smith", "Operators"}, to, cc, bcc));
    EXPECT_EQ(to, (std::vector<std::string>{"John Smith", "Operators"}));
}

TEST_F(QtUserInterfaceRun, BusyCursorIsSetOnceAndRestored)
{
    ui_.SetBusy(true);
    ui_.SetBusy(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui_.SetBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(ui_.HasScreen());
    EXPECT_EQ(&ui_.Status(), &status_);
}

TEST_F(QtUserInterfaceRun, StatusWindowStaysInViewWhileARunWorks)
{
    ui_.ProcessMessages();
    EXPECT_EQ(status_.ShowCount, 0); // no run: the window is left alone
    {
        TLoggingInProgress running(ui_);
        ui_.ProcessMessages();
        EXPECT_EQ(status_.ShowCount, 1);
        EXPECT_TRUE(status_.Visible);
        // Cancel hid it and asked the run to stop: showing it again would throw the request away.
        status_.Visible = false;
        status_.Stop = true;
        ui_.ProcessMessages();
        EXPECT_EQ(status_.ShowCount, 1);
        EXPECT_TRUE(status_.StopRequested());
        status_.Stop = false;
    }
    ui_.ProcessMessages(); // the run is over, also on the way out by an exception
    EXPECT_EQ(status_.ShowCount, 1);
}

} // namespace
} // namespace vm
