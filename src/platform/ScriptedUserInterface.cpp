#include "platform/ScriptedUserInterface.h"

#include "platform/DialogDefaults.h"

namespace vm {

int TScriptedUserInterface::MessageBox(const std::string& text, const std::string& caption,
                                       unsigned flags)
{
    Shown.push_back({"MessageBox", text, caption, flags});
    if (!Answers.empty()) {
        int a = Answers.front();
        Answers.pop_front();
        return a;
    }
    return DefaultBoxResult(flags);
}

int TScriptedUserInterface::MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons,
                                       int helpContext, unsigned defaultButton)
{
    Shown.push_back({"MessageDlg", text, "", buttons});
    if (!Answers.empty()) {
        int a = Answers.front();
        Answers.pop_front();
        return a;
    }
    return DefaultDialogResult(buttons, defaultButton);
}

void TScriptedUserInterface::ShowMessage(const std::string& text)
{
    Shown.push_back({"ShowMessage", text, "", 0});
}

bool TScriptedUserInterface::InputQuery(const std::string& caption, const std::string& prompt,
                                        std::string& value)
{
    Shown.push_back({"InputQuery", prompt, caption, 0});
    if (Inputs.empty())
        return false;
    value = Inputs.front();
    Inputs.pop_front();
    return true;
}

void TScriptedUserInterface::ProcessMessages()
{
    ++ProcessMessagesCount;
    if (OnProcessMessages)
        OnProcessMessages();
}

bool TScriptedUserInterface::EditMail(TMailDraft& draft)
{
    Shown.push_back({"EditMail", draft.Subject, "", 0});
    EditedMails.push_back(draft);
    return MailAccepted;
}

bool TScriptedUserInterface::PickRecipients(const std::vector<std::string>& book,
                                            std::vector<std::string>& to,
                                            std::vector<std::string>& cc,
                                            std::vector<std::string>& bcc)
{
    Shown.push_back({"PickRecipients", "", "", 0});
    if (Picks.empty())
        return false;
    to = Picks.front();
    Picks.pop_front();
    return true;
}

std::vector<std::string> TScriptedUserInterface::Texts() const
{
    std::vector<std::string> t;
    for (const auto& s : Shown)
        t.push_back(s.Text);
    return t;
}

} // namespace vm
