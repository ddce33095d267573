// How vmadmin talks to the logic below the windows: as the console does for unattended runs
// (progress on a terminal, Ctrl-C or SIGTERM stop a run), with every message on stderr after
// "vmadmin: ", and every question answered without asking anyone: Yes (or OK) where the command
// line says so (--yes) or where the command itself is the confirmation (deleting what it names),
// otherwise No (or Cancel), saying which question went unanswered.
#pragma once

#include "platform/ConsoleUserInterface.h"

#include <cstdio>
#include <string>

namespace vm::vmadmin {

class TAdminUserInterface : public TConsoleUserInterface
{
public:
    explicit TAdminUserInterface(std::FILE* out = stderr);

    // Questions get Yes or OK while this is set.
    bool AssumeYes = false;
    // True once a message or an unanswered question has been shown.
    bool Said() const { return said_; }

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons, int helpContext,
                   unsigned defaultButton) override;
    void ShowMessage(const std::string& text) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;

private:
    void Say(const std::string& text);
    // The answer to a question offering yes (Yes or OK) and no (No or Cancel).
    int Answer(const std::string& text, int yes, int no, const char* yesName);

    std::FILE* out_;
    bool said_ = false;
};

} // namespace vm::vmadmin
