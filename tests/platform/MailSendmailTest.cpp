#include "platform/MailCodes.h"
#include "platform/MailSender.h"

#include "support/TempDir.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace vm {
namespace {

// A stand-in sendmail: records its arguments and its input, then exits with a chosen status.
class SendmailTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteScript("fake-sendmail", "printf '%s\\n' \"$@\" > \"$0.args\"\ncat > \"$0.in\"\n"
                                     "exit ${FAKE_STATUS:-0}\n");
        mail.From = {"Volumark", "volumark@example.com"};
        mail.To = {{"Administrator", "admin@example.com"}};
        mail.Bcc = {{"", "hidden@example.com"}};
        mail.Subject = "Report";
        mail.Text = "Total log size : 1 KB\n.\nend\n";
        profile.Name = "Local";
        profile.Transport = TMailTransport::Sendmail;
        profile.TimeoutSeconds = 10;
    }
    void WriteScript(const std::string& name, const std::string& body)
    {
        dir.WriteFile(name, "#!/bin/sh\n" + body);
        chmod((dir / name).c_str(), 0755);
    }
    std::string Args() { return dir.ReadFile("fake-sendmail.args"); }
    // True when the process has ended (it may stay a zombie where nobody reaps it), waiting for
    // that a moment.
    static bool Gone(pid_t pid)
    {
        for (int i = 0; i < 100; ++i) {
            std::string stat = vmtest::ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
            const size_t close = stat.rfind(')');
            if (stat.empty() || (close != std::string::npos && stat.compare(close, 3, ") Z") == 0))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    std::string Input() { return dir.ReadFile("fake-sendmail.in"); }

    vmtest::TempDir dir;
    TOutgoingMail mail;
    TMailProfile profile;
};

TEST_F(SendmailTest, WithoutDashTRecipientsAreArgumentsAndBccStaysOutOfTheHeaders)
{
    profile.Command = "'" + (dir / "fake-sendmail") + "' -oi -f '$HOME x'";
    TMailSendResult r = SendOverTransport(profile, mail);
    ASSERT_EQ(r.Code, SUCCESS_SUCCESS) << r.Reason;
    EXPECT_EQ(Args(), "-oi\n-f\n$HOME x\nadmin@example.com\nhidden@example.com\n");
    std::string in = Input();
    EXPECT_EQ(in.find("Bcc:"), std::string::npos);
    EXPECT_NE(in.find("\r\nTo: Administrator <admin@example.com>\r\n"), std::string::npos);
    EXPECT_NE(in.find("\r\n\r\nTotal log size : 1 KB\r\n.\r\nend\r\n"), std::string::npos);
}

TEST_F(SendmailTest, WithDashTTheHeadersCarryEveryRecipient)
{
    profile.Command = (dir / "fake-sendmail") + " -t -oi";
    ASSERT_EQ(SendOverTransport(profile, mail).Code, SUCCESS_SUCCESS);
    EXPECT_EQ(Args(), "-t\n-oi\n");
    EXPECT_NE(Input().find("\r\nBcc: hidden@example.com\r\n"), std::string::npos);
}

TEST_F(SendmailTest, ExitStatusesGiveCodesAndReasons)
{
    WriteScript("no-user", "cat >/dev/null\necho 'admin: user unknown' >&2\nexit 67\n");
    WriteScript("broken", "exit 75\n");    // does not read its input at all
    mail.Text = std::string(1 << 20, 'x'); // more than a pipe holds
    profile.Command = dir / "no-user";
    TMailSendResult r = SendOverTransport(profile, mail);
    EXPECT_EQ(r.Code, MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_NE(r.Reason.find("status 67: admin: user unknown"), std::string::npos) << r.Reason;
    profile.Command = dir / "broken";
    r = SendOverTransport(profile, mail);
    EXPECT_EQ(r.Code, MAPI_E_FAILURE);
    EXPECT_NE(r.Reason.find("status 75"), std::string::npos) << r.Reason;
    profile.Command = dir / "missing-program";
    r = SendOverTransport(profile, mail);
    EXPECT_EQ(r.Code, MAPI_E_FAILURE);
    EXPECT_NE(r.Reason.find("Cannot run"), std::string::npos) << r.Reason;
}

// A command that hangs is ended at the timeout together with what it started (a shell's child
// would live on); one that ends while something it left running holds its output open is done
// when it ends.
TEST_F(SendmailTest, AHangingCommandIsKilledAtTheTimeoutWithItsChildren)
{
    WriteScript("hang", "sleep 1000 &\necho $! > \"$0.child\"\nexec sleep 30\n");
    profile.Command = dir / "hang";
    profile.TimeoutSeconds = 1;
    auto start = std::chrono::steady_clock::now();
    TMailSendResult r = SendOverTransport(profile, mail);
    EXPECT_EQ(r.Code, MAPI_E_FAILURE);
    EXPECT_NE(r.Reason.find("did not finish within 1 seconds"), std::string::npos) << r.Reason;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    const pid_t child = std::stoi(dir.ReadFile("hang.child"));
    EXPECT_TRUE(Gone(child)) << "the command's child " << child << " still runs";

    WriteScript("leaves", "cat > /dev/null\nsleep 1000 &\necho $! > \"$0.child\"\nexit 0\n");
    profile.Command = dir / "leaves";
    profile.TimeoutSeconds = 20;
    start = std::chrono::steady_clock::now();
    r = SendOverTransport(profile, mail);
    EXPECT_EQ(r.Code, SUCCESS_SUCCESS) << r.Reason;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ::kill(std::stoi(dir.ReadFile("leaves.child")), SIGKILL);
}

TEST_F(SendmailTest, AHeaderWithALineBreakIsRefusedBeforeAnythingRuns)
{
    profile.Command = dir / "fake-sendmail";
    mail.Subject = "Report\nBcc: victim@example.com";
    TMailSendResult r = SendOverTransport(profile, mail);
    EXPECT_EQ(r.Code, MAPI_E_FAILURE);
    EXPECT_NE(r.Reason.find("line break"), std::string::npos);
    EXPECT_EQ(Args(), ""); // never started
}

} // namespace
} // namespace vm
