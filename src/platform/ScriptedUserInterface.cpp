#include "platform/ScriptedUserInterface.h"

namespace vm {

namespace {
int DefaultForBox(unsigned flags)
{
    unsigned buttons = flags & mb::ButtonMask;
    unsigned def = flags & mb::DefMask;
    if (buttons == mb::YesNo)
        return def == mb::DefButton2 ? idNo : idYes;
    if (buttons == mb::YesNoCancel)
        return def == mb::DefButton2 ? idNo : def == mb::DefButton3 ? idCancel : idYes;
    if (buttons == mb::OKCancel)
        return def == mb::DefButton2 ? idCancel : idOK;
    return idOK;
}

int ResultOfButton(unsigned button)
{
    switch (button) {
    case mbtn::Yes: return idYes;
    case mbtn::No: return idNo;
    case mbtn::Cancel: return idCancel;
    case mbtn::Abort: return idAbort;
    case mbtn::Retry: return idRetry;
    case mbtn::Ignore: return idIgnore;
    case mbtn::All: return idAll;
    case mbtn::NoToAll: return idNoToAll;
    case mbtn::YesToAll: return idYesToAll;
    case mbtn::Help: return idHelp;
    default: return idOK;
    }
}
} // namespace

int TScriptedUserInterface::MessageBox(const std::string& text, const std::string& caption,
                                       unsigned flags)
{
    Shown.push_back({"MessageBox", text, caption, flags});
    if (!Answers.empty()) {
        int a = Answers.front();
        Answers.pop_front();
        return a;
    }
    return DefaultForBox(flags);
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
    if (defaultButton)
        return ResultOfButton(defaultButton);
    for (unsigned b = 1; b <= mbtn::Help; b <<= 1)
        if (buttons & b)
            return ResultOfButton(b);
    return idOK;
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
