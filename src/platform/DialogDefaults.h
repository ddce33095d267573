// The answers of message boxes and dialogs when nobody chooses: the default button. Shared by
// the user interfaces that cannot ask (the console for unattended runs, the scripted double).
#pragma once

#include "platform/UserInterface.h"

namespace vm {

// The default button of a message box with mb:: flags, as a TDialogResult.
int DefaultBoxResult(unsigned flags);
// The TDialogResult of one mbtn:: button.
int ResultOfButton(unsigned button);
// The default of a typed dialog: defaultButton when given, else its first button.
int DefaultDialogResult(unsigned buttons, unsigned defaultButton);
// The caption of a typed dialog: "Warning", "Error", "Information", "Confirm"; "" for Custom.
const char* DialogTypeCaption(TMsgDlgType type);

} // namespace vm
