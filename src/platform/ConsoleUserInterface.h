// The user interface of unattended runs without a display: messages and boxes go to stderr
// (caption and text), questions take their default button, input boxes and the mail dialogs are
// refused, and the status window shows its text on stderr only when stderr is a terminal.
// SIGINT and SIGTERM set the status window's stop request, as its Cancel button would; a second
// signal ends the process as usual.
#pragma once

#include "platform/UserInterface.h"

#include <chrono>
#include <csignal>
#include <cstdio>

namespace vm {

class TConsoleStatusWindow : public TStatusWindow
{
public:
    // out: where progress goes; terminal: whether it is shown at all.
    TConsoleStatusWindow(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

    void SetCaption(const std::string& caption) override { caption_ = caption; }
    void SetHeading(const std::string& text) override;
    void SetText(const std::string& text) override;
    void SetHeading2(const std::string& text) override { heading2_ = text; }
    void SetHeading2Visible(bool visible) override { heading2Visible_ = visible; }
    void Show() override;
    void Hide() override;
    bool IsVisible() const override { return visible_; }
    bool StopRequested() const override;
    void ClearStopRequest() override;
    // Clears the progress line so that a message can be printed; the next text draws it again.
    void ClearLine();

private:
    void Draw(bool force);

    std::FILE* out_;
    bool terminal_;
    bool visible_ = false;
    bool drawn_ = false;
    std::string caption_, heading_, text_, heading2_;
    bool heading2Visible_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

class TConsoleUserInterface : public TUserInterface
{
public:
    // Installs the SIGINT and SIGTERM handlers (the previous ones come back on destruction);
    // one console interface at a time. out: where messages go (stderr by default).
    explicit TConsoleUserInterface(std::FILE* out = stderr);
    ~TConsoleUserInterface() override;
    TConsoleUserInterface(const TConsoleUserInterface&) = delete;
    TConsoleUserInterface& operator=(const TConsoleUserInterface&) = delete;

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons, int helpContext,
                   unsigned defaultButton) override;
    void ShowMessage(const std::string& text) override;
    // Nobody can type an answer: the box is cancelled.
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    TStatusWindow& Status() override { return status_; }
    void ProcessMessages() override {}
    void SetBusy(bool) override {}
    // Nothing can hide the console's progress line.
    void SetLoggingInProgress(bool) override {}
    bool EditMail(TMailDraft&) override { return false; }
    bool PickRecipients(const std::vector<std::string>&, std::vector<std::string>&,
                        std::vector<std::string>&, std::vector<std::string>&) override
    {
        return false;
    }
    bool HasScreen() const override { return false; }

private:
    std::FILE* out_;
    TConsoleStatusWindow status_;
    struct sigaction oldInt_
    {
    }, oldTerm_{};
};

} // namespace vm
