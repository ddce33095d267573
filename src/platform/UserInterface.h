// The one way the logic talks to the screen: message boxes, questions, input boxes, the status
// window, the mail dialogs and "process pending messages". Implemented by the Qt windows, by
// the console for unattended runs without a display, and by a scripted double for tests.
#pragma once

#include <string>
#include <vector>

namespace vm {

// Message box flags and results, as the Windows message box numbers them.
namespace mb {
constexpr unsigned OK = 0x0, OKCancel = 0x1, YesNoCancel = 0x3, YesNo = 0x4;
constexpr unsigned IconError = 0x10, IconQuestion = 0x20, IconWarning = 0x30,
                   IconInformation = 0x40;
constexpr unsigned DefButton2 = 0x100, DefButton3 = 0x200;
constexpr unsigned ButtonMask = 0xF, IconMask = 0xF0, DefMask = 0xF00;
} // namespace mb
enum TDialogResult : int
{
    idNone = 0,
    idOK = 1,
    idCancel = 2,
    idAbort = 3,
    idRetry = 4,
    idIgnore = 5,
    idYes = 6,
    idNo = 7,
    idAll = 8,
    idNoToAll = 9,
    idYesToAll = 10,
    idHelp = 11,
};

// Typed message dialogs.
enum class TMsgDlgType
{
    Warning,
    Error,
    Information,
    Confirmation,
    Custom
};
namespace mbtn {
constexpr unsigned Yes = 0x1, No = 0x2, OK = 0x4, Cancel = 0x8, Abort = 0x10, Retry = 0x20,
                   Ignore = 0x40, All = 0x80, NoToAll = 0x100, YesToAll = 0x200, Help = 0x400;
} // namespace mbtn

// The shared progress window: caption, Heading, Text, Heading2 and a Cancel button whose click
// sets the stop request (and hides the window). Showing the window clears the stop request.
class TStatusWindow
{
public:
    virtual ~TStatusWindow() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetHeading(const std::string& text) = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void SetHeading2(const std::string& text) = 0;
    virtual void SetHeading2Visible(bool visible) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    virtual bool StopRequested() const = 0;
    virtual void ClearStopRequest() = 0;
};

// A message being sent, as the mail component hands it to the send dialog.
struct TMailDraft
{
    std::vector<std::string> To, CC, Bcc;
    std::string Subject;
    std::string Text;
};

class TUserInterface
{
public:
    virtual ~TUserInterface() = default;

    // A plain message box (flags from mb::); returns the button chosen (TDialogResult).
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // A typed message dialog with buttons from mbtn::; defaultButton is one of mbtn:: or 0 for
    // the first. Returns the button chosen (TDialogResult).
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons,
                           int helpContext = 0, unsigned defaultButton = 0) = 0;
    // A message box captioned with the application title and an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // An input box; false when cancelled. value holds the preset text and receives the answer.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) = 0;

    virtual TStatusWindow& Status() = 0;
    // Lets pending window messages run (painting, a click on Cancel).
    virtual void ProcessMessages() = 0;
    // The hourglass cursor on or off.
    virtual void SetBusy(bool busy) = 0;
    // True while a logging, folder or comparison run works: the windows then keep the status
    // window in view whenever messages run (unless a stop request is pending, which showing it
    // again would clear). Set it through TLoggingInProgress.
    virtual void SetLoggingInProgress(bool running) = 0;
    // The warning sound that goes with a refusal (nothing where there is no sound).
    virtual void Beep() {}

    // The mail client's send dialog: the user may change the draft; false when the user cancels.
    virtual bool EditMail(TMailDraft& draft) = 0;
    // The address-book picker: names offered from the book, the recipients so far; false when
    // cancelled.
    virtual bool PickRecipients(const std::vector<std::string>& book, std::vector<std::string>& to,
                                std::vector<std::string>& cc, std::vector<std::string>& bcc) = 0;
    // False for the console and the scripted double: dialogs that need a screen are refused.
    virtual bool HasScreen() const = 0;
};

// Sets the user interface's logging-in-progress state for the lifetime of a run and clears it on
// every way out.
class TLoggingInProgress
{
public:
    explicit TLoggingInProgress(TUserInterface& ui) : ui_(ui) { ui_.SetLoggingInProgress(true); }
    ~TLoggingInProgress() { ui_.SetLoggingInProgress(false); }
    TLoggingInProgress(const TLoggingInProgress&) = delete;
    TLoggingInProgress& operator=(const TLoggingInProgress&) = delete;

private:
    TUserInterface& ui_;
};

// The hourglass from construction until Done() or the end of the scope; nothing when ui is
// null.
class TBusyCursor
{
public:
    explicit TBusyCursor(TUserInterface* ui) : ui_(ui)
    {
        if (ui_)
            ui_->SetBusy(true);
    }
    ~TBusyCursor() { Done(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
    void Done()
    {
        if (ui_)
            ui_->SetBusy(false);
        ui_ = nullptr;
    }

private:
    TUserInterface* ui_;
};

} // namespace vm
