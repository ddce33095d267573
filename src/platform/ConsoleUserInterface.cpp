#include "platform/ConsoleUserInterface.h"

#include "platform/DialogDefaults.h"

#include <unistd.h>

namespace vm {

namespace {
// A signal handler can reach nothing but a flag of this kind; it is the one piece of state the
// console interface cannot pass around.
volatile std::sig_atomic_t gSignalled = 0;

extern "C" void OnStopSignal(int)
{
    gSignalled = 1;
}

constexpr size_t kProgressWidth = 100;
} // namespace

// ---- TConsoleStatusWindow ---------------------------------------------------------------------

void TConsoleStatusWindow::SetHeading(const std::string& text)
{
    heading_ = text;
    Draw(false);
}

void TConsoleStatusWindow::SetText(const std::string& text)
{
    // A scan sets the text for every entry; where nothing is ever drawn, keeping it costs.
    if (!terminal_)
        return;
    text_ = text;
    Draw(false);
}

void TConsoleStatusWindow::Show()
{
    visible_ = true;
    ClearStopRequest();
    Draw(true);
}

void TConsoleStatusWindow::Hide()
{
    ClearLine();
    visible_ = false;
}

void TConsoleStatusWindow::ClearLine()
{
    if (drawn_)
        std::fputs("\r\033[K", out_);
    drawn_ = false;
}

bool TConsoleStatusWindow::StopRequested() const
{
    return gSignalled != 0;
}
void TConsoleStatusWindow::ClearStopRequest()
{
    gSignalled = 0;
}

void TConsoleStatusWindow::Draw(bool force)
{
    if (!visible_ || !terminal_)
        return;
    // A scan changes the text for every entry; ten lines a second are all anyone can read.
    auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100))
        return;
    lastDraw_ = now;
    std::string line =
        caption_.empty() ? heading_ : caption_ + (heading_.empty() ? "" : ": " + heading_);
    if (!text_.empty())
        line += (line.empty() ? "" : " ") + text_;
    if (line.size() > kProgressWidth)
        line = "..." + line.substr(line.size() - (kProgressWidth - 3));
    std::fprintf(out_, "\r\033[K%s", line.c_str());
    std::fflush(out_);
    drawn_ = true;
}

// ---- TConsoleUserInterface --------------------------------------------------------------------

TConsoleUserInterface::TConsoleUserInterface(std::FILE* out)
    : out_(out), status_(out, isatty(fileno(out)) != 0)
{
    struct sigaction sa = {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    // The first signal asks the operation to stop; a second one ends the process at once.
    sa.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &sa, &oldInt_);
    sigaction(SIGTERM, &sa, &oldTerm_);
    gSignalled = 0;
}

TConsoleUserInterface::~TConsoleUserInterface()
{
    status_.Hide();
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

int TConsoleUserInterface::MessageBox(const std::string& text, const std::string& caption,
                                      unsigned flags)
{
    status_.ClearLine();
    std::fprintf(out_, "%s: %s\n", caption.c_str(), text.c_str());
    return DefaultBoxResult(flags);
}

int TConsoleUserInterface::MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons,
                                      int, unsigned defaultButton)
{
    status_.ClearLine();
    const char* caption = DialogTypeCaption(type);
    std::fprintf(out_, "%s: %s\n", *caption ? caption : "Volumark", text.c_str());
    return DefaultDialogResult(buttons, defaultButton);
}

void TConsoleUserInterface::ShowMessage(const std::string& text)
{
    status_.ClearLine();
    std::fprintf(out_, "%s\n", text.c_str());
}

bool TConsoleUserInterface::InputQuery(const std::string& caption, const std::string& prompt,
                                       std::string&)
{
    status_.ClearLine();
    std::fprintf(out_, "%s: %s (no answer without a display)\n", caption.c_str(), prompt.c_str());
    return false;
}

} // namespace vm
