// A user interface for tests: answers are queued in advance and every message is recorded, so a
// test can assert the exact texts that the logic showed.
#pragma once

#include "platform/UserInterface.h"

#include <deque>
#include <functional>

namespace vm {

class TScriptedStatusWindow : public TStatusWindow
{
public:
    void SetCaption(const std::string& c) override { Caption = c; }
    void SetHeading(const std::string& t) override { Heading = t; }
    void SetText(const std::string& t) override { Text = t; }
    void SetHeading2(const std::string& t) override { Heading2 = t; }
    void SetHeading2Visible(bool v) override { Heading2Visible = v; }
    void Show() override
    {
        Visible = true;
        Stop = false;
        ++ShowCount;
    }
    void Hide() override { Visible = false; }
    bool IsVisible() const override { return Visible; }
    bool StopRequested() const override { return Stop; }
    void ClearStopRequest() override { Stop = false; }

    std::string Caption, Heading, Text, Heading2;
    bool Heading2Visible = false, Visible = false, Stop = false;
    int ShowCount = 0;
};

class TScriptedUserInterface : public TUserInterface
{
public:
    struct TShown
    {
        std::string Kind; // "MessageBox", "MessageDlg", "ShowMessage", "InputQuery", "EditMail",
                          // "PickRecipients"
        std::string Text;
        std::string Caption;
        unsigned Flags = 0;
    };

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons, int helpContext,
                   unsigned defaultButton) override;
    void ShowMessage(const std::string& text) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    TStatusWindow& Status() override { return StatusWindow; }
    void ProcessMessages() override;
    void SetBusy(bool busy) override { Busy = busy; }
    void SetLoggingInProgress(bool running) override { LoggingInProgress = running; }
    void Beep() override { ++Beeps; }
    bool EditMail(TMailDraft& draft) override;
    bool PickRecipients(const std::vector<std::string>& book, std::vector<std::string>& to,
                        std::vector<std::string>& cc, std::vector<std::string>& bcc) override;
    bool HasScreen() const override { return Screen; }

    // Answers for message boxes and dialogs, taken in order; when none is queued the default
    // button (or OK) answers.
    std::deque<int> Answers;
    // Answers for input boxes: text, or nullopt-like empty deque meaning "cancelled".
    std::deque<std::string> Inputs;
    // Picker answers: the names returned for To; an empty deque means "cancelled".
    std::deque<std::vector<std::string>> Picks;
    bool MailAccepted = true;                // the send dialog's answer
    bool Screen = true;                      // whether dialogs that need a screen are possible
    std::function<void()> OnProcessMessages; // lets a test act "while messages run"
    int ProcessMessagesCount = 0;
    bool Busy = false;
    bool LoggingInProgress = false;
    int Beeps = 0;

    std::vector<TShown> Shown;
    TScriptedStatusWindow StatusWindow;
    std::vector<TMailDraft> EditedMails;

    // The texts of every message shown, in order.
    std::vector<std::string> Texts() const;
};

} // namespace vm
