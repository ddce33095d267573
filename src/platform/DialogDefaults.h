// The answers of message boxes and dialogs when nobody chooses: the default button. Shared by
// the user interfaces that cannot ask (the console for unattended runs, the scripted double).
#pragma once

namespace vm {

// The default button of a message box with mb:: flags, as a TDialogResult.
int DefaultBoxResult(unsigned flags);
// The TDialogResult of one mbtn:: button.
int ResultOfButton(unsigned button);
// The default of a typed dialog: defaultButton when given, else its first button.
int DefaultDialogResult(unsigned buttons, unsigned defaultButton);

} // namespace vm
