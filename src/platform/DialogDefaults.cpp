#include "platform/DialogDefaults.h"

#include "platform/UserInterface.h"

namespace vm {

int DefaultBoxResult(unsigned flags)
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
    case mbtn::Yes:
        return idYes;
    case mbtn::No:
        return idNo;
    case mbtn::Cancel:
        return idCancel;
    case mbtn::Abort:
        return idAbort;
    case mbtn::Retry:
        return idRetry;
    case mbtn::Ignore:
        return idIgnore;
    case mbtn::All:
        return idAll;
    case mbtn::NoToAll:
        return idNoToAll;
    case mbtn::YesToAll:
        return idYesToAll;
    case mbtn::Help:
        return idHelp;
    default:
        return idOK;
    }
}

int DefaultDialogResult(unsigned buttons, unsigned defaultButton)
{
    if (defaultButton)
        return ResultOfButton(defaultButton);
    for (unsigned b = 1; b <= mbtn::Help; b <<= 1)
        if (buttons & b)
            return ResultOfButton(b);
    return idOK;
}

const char* DialogTypeCaption(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::Warning:
        return "Warning";
    case TMsgDlgType::Error:
        return "Error";
    case TMsgDlgType::Information:
        return "Information";
    case TMsgDlgType::Confirmation:
        return "Confirm";
    case TMsgDlgType::Custom:
        break;
    }
    return "";
}

} // namespace vm
