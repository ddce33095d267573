#include "vmadmin/AdminUserInterface.h"

namespace vm::vmadmin {

TAdminUserInterface::TAdminUserInterface(std::FILE* out) : TConsoleUserInterface(out), out_(out) {}

void TAdminUserInterface::Say(const std::string& text)
{
    static_cast<TConsoleStatusWindow&>(Status()).ClearLine();
    std::fprintf(out_, "vmadmin: %s\n", text.c_str());
    std::fflush(out_);
    said_ = true;
}

int TAdminUserInterface::Answer(const std::string& text, int yes, int no, const char* yesName)
{
    if (AssumeYes)
        return yes;
    Say(text + " (answered " + (no == idCancel ? "Cancel" : "No") + "; --yes answers " + yesName +
        ")");
    return no;
}

int TAdminUserInterface::MessageBox(const std::string& text, const std::string&, unsigned flags)
{
    switch (flags & mb::ButtonMask) {
    case mb::OKCancel:
        return Answer(text, idOK, idCancel, "OK");
    case mb::YesNo:
    case mb::YesNoCancel:
        return Answer(text, idYes, (flags & mb::ButtonMask) == mb::YesNo ? idNo : idCancel, "Yes");
    default:
        Say(text);
        return idOK;
    }
}

int TAdminUserInterface::MessageDlg(const std::string& text, TMsgDlgType, unsigned buttons, int,
                                    unsigned)
{
    if (buttons & mbtn::Yes)
        return Answer(text, idYes, (buttons & mbtn::No) ? idNo : idCancel, "Yes");
    if ((buttons & mbtn::OK) && (buttons & mbtn::Cancel))
        return Answer(text, idOK, idCancel, "OK");
    Say(text);
    return (buttons & mbtn::OK) || buttons == 0 ? idOK : idCancel;
}

void TAdminUserInterface::ShowMessage(const std::string& text)
{
    Say(text);
}

bool TAdminUserInterface::InputQuery(const std::string& caption, const std::string& prompt,
                                     std::string&)
{
    Say(caption + ": " + prompt + " (nobody can answer; give the value on the command line)");
    return false;
}

} // namespace vm::vmadmin
