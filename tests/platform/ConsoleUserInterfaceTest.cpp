// The console user interface of unattended runs: what it prints, what it answers, and the
// signals that stand for the status window's Cancel.
#include "platform/ConsoleUserInterface.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

using namespace vm;

namespace {

class ConsoleUserInterfaceTest : public ::testing::Test
{
protected:
    ConsoleUserInterfaceTest() : out_(open_memstream(&text_, &size_)) {}
    ~ConsoleUserInterfaceTest() override
    {
        std::fclose(out_);
        std::free(text_);
    }
    std::string Printed()
    {
        std::fflush(out_);
        return std::string(text_, size_);
    }

    char* text_ = nullptr;
    size_t size_ = 0;
    std::FILE* out_;
};

TEST_F(ConsoleUserInterfaceTest, MessagesGoOutWithTheirCaptionAndQuestionsTakeTheDefault)
{
    TConsoleUserInterface ui(out_);
    EXPECT_EQ(ui.MessageBox("Delete it?", "Confirm Delete", mb::YesNo | mb::DefButton2), idNo);
    EXPECT_EQ(ui.MessageBox("Go on?", "Volumark ", mb::YesNoCancel | mb::DefButton3), idCancel);
    EXPECT_EQ(ui.MessageBox("Done", "Volumark ", mb::OK | mb::IconInformation), idOK);
    EXPECT_EQ(
        ui.MessageDlg("Really?", TMsgDlgType::Confirmation, mbtn::Yes | mbtn::No, 0, mbtn::No),
        idNo);
    EXPECT_EQ(ui.MessageDlg("Failed", TMsgDlgType::Error, mbtn::OK, 0, 0), idOK);
    ui.ShowMessage("Plain");
    std::string value = "preset";
    EXPECT_FALSE(ui.InputQuery("Rename", "New name:", value));
    EXPECT_EQ(value, "preset");
    EXPECT_EQ(Printed(), "Confirm Delete: Delete it?\nVolumark : Go on?\nVolumark : Done\n"
                         "Confirm: Really?\nError: Failed\nPlain\n"
                         "Rename: New name: (no answer without a display)\n");
    TMailDraft draft;
    std::vector<std::string> to, cc, bcc;
    EXPECT_FALSE(ui.EditMail(draft));
    EXPECT_FALSE(ui.PickRecipients({"a"}, to, cc, bcc));
    EXPECT_FALSE(ui.HasScreen());
}

TEST_F(ConsoleUserInterfaceTest, ProgressStaysOffWhenTheOutputIsNoTerminal)
{
    TConsoleUserInterface ui(out_);
    ui.Status().SetCaption("Logging");
    ui.Status().Show();
    ui.Status().SetText("/data/");
    ui.Status().Hide();
    EXPECT_EQ(Printed(), "");
}

TEST_F(ConsoleUserInterfaceTest, InterruptAndTerminateAskTheRunningOperationToStop)
{
    for (int signal : {SIGINT, SIGTERM}) {
        TConsoleUserInterface ui(out_);
        ui.Status().Show();
        EXPECT_FALSE(ui.Status().StopRequested());
        std::raise(signal);
        EXPECT_TRUE(ui.Status().StopRequested()) << signal;
        ui.Status().Show(); // a new operation starts clear
        EXPECT_FALSE(ui.Status().StopRequested());
    }
}

} // namespace
