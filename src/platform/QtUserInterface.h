// The user interface of the windows: Qt message boxes, input boxes, the mail dialogs, the busy
// cursor and event processing, with the status window the program created.
#pragma once

#include "platform/UserInterface.h"

#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace vm {

class TQtUserInterface : public TUserInterface
{
public:
    // status: the status window, and applicationTitle: the caption of ShowMessage, both outlive
    // this object.
    TQtUserInterface(TStatusWindow& status, const std::string& applicationTitle);
    ~TQtUserInterface() override;

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons, int helpContext = 0,
                   unsigned defaultButton = 0) override;
    void ShowMessage(const std::string& text) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    TStatusWindow& Status() override { return status_; }
    void ProcessMessages() override;
    void SetBusy(bool busy) override;
    // While a run works, every ProcessMessages shows the status window again when something hid
    // it without asking the run to stop.
    void SetLoggingInProgress(bool running) override { logging_ = running; }
    void Beep() override;
    bool EditMail(TMailDraft& draft) override;
    bool PickRecipients(const std::vector<std::string>& book, std::vector<std::string>& to,
                        std::vector<std::string>& cc, std::vector<std::string>& bcc) override;
    bool HasScreen() const override { return true; }

    // Opens help for a context (the Help button of typed message dialogs). Without a handler
    // the Help button is still offered but does nothing.
    void SetHelpHandler(std::function<void(int)> handler) { help_ = std::move(handler); }

    // The dialogs as they would be shown, for the window tests: the caller owns them.
    static std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& text,
                                                       const std::string& caption, unsigned flags);
    static std::unique_ptr<QMessageBox> MakeMessageDlg(const std::string& text, TMsgDlgType type,
                                                       unsigned buttons, unsigned defaultButton);
    // The TDialogResult of a finished box made by one of the two above.
    static int ResultOf(const QMessageBox& box);

private:
    TStatusWindow& status_;
    const std::string& title_;
    std::function<void(int)> help_;
    bool busy_ = false;
    bool logging_ = false;
};

} // namespace vm
