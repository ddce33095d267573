#include "output/Email.h"

#include "platform/ScriptedUserInterface.h"
#include "support/SmtpServer.h"
#include "support/TempDir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <regex>

namespace vm {
namespace {

using vmtest::SmtpServer;
using vmtest::SmtpServerOptions;

SmtpServerOptions WithAuth(SmtpServerOptions o = {})
{
    o.User = "volumark";
    o.Password = "secret";
    return o;
}

// A mail file that points at a real SMTP server on loopback, and a console-like or screen UI.
class EmailTest : public ::testing::Test
{
protected:
    void Start(SmtpServerOptions options = {}, const std::string& extraBook = "")
    {
        server = std::make_unique<SmtpServer>(options);
        if (!server->Running())
            GTEST_SKIP() << "no SMTP test server: " << server->Error();
        dir.WriteFile("mail.ini", server->MailFileText("Test", extraBook));
    }
    std::unique_ptr<TEmail> NewMail(bool screen = false)
    {
        ui.Screen = screen;
        auto mail = std::make_unique<TEmail>(ui, dir / "mail.ini");
        mail->Subject = "Volumark review of disk usage";
        mail->Text = "List of files and sizes to be reviewed -\r\n\r\n/srv/a  1 KB\r\n";
        return mail;
    }

    vmtest::TempDir dir;
    TScriptedUserInterface ui;
    std::unique_ptr<SmtpServer> server;
};

TEST_F(EmailTest, MessageArrivesWithItsHeadersAndBody)
{
    Start();
    auto mail = NewMail();
    mail->Recipient = SplitRecipients("administrator; John Smith");
    ASSERT_EQ(mail->Recipient, (std::vector<std::string>{"administrator", " John Smith"}));
    mail->Bcc = {"hidden@example.org"};
    ASSERT_EQ(mail->SendMail(), SUCCESS_SUCCESS) << mail->LastError();
    // Entries are replaced by the names they resolved to.
    EXPECT_EQ(mail->Recipient, (std::vector<std::string>{"Administrator", "John Smith"}));
    EXPECT_EQ(mail->Session(), 0u); // logged on and off around the send

    auto got = server->Messages();
    ASSERT_EQ(got.size(), 1u);
    const auto& m = got[0];
    EXPECT_EQ(m.MailFrom, "volumark@example.com");
    EXPECT_EQ(m.Recipients, (std::vector<std::string>{"admin@example.com", "john@example.com",
                                                      "hidden@example.org"}));
    EXPECT_EQ(m.Header("From"), "Volumark <volumark@example.com>");
    EXPECT_EQ(m.Header("To"), "Administrator <admin@example.com>, John Smith <john@example.com>");
    EXPECT_EQ(m.Header("Bcc"), "");
    EXPECT_EQ(m.Header("Subject"), "Volumark review of disk usage");
    EXPECT_EQ(m.Header("MIME-Version"), "1.0");
    EXPECT_EQ(m.Header("Content-Type"), "text/plain; charset=UTF-8");
    EXPECT_EQ(m.Header("Content-Transfer-Encoding"), "8bit");
    EXPECT_TRUE(std::regex_match(m.Header("Message-ID"), std::regex(R"(<[^@ ]+@example\.com>)")));
    EXPECT_TRUE(std::regex_match(
        m.Header("Date"), std::regex(R"(\w{3}, \d\d \w{3} \d{4} \d\d:\d\d:\d\d [+-]\d{4})")));
    EXPECT_EQ(m.Body(), "List of files and sizes to be reviewed -\r\n\r\n/srv/a  1 KB\r\n");
}

TEST_F(EmailTest, DotLinesAndNonAsciiSurviveTheTrip)
{
    Start();
    auto mail = NewMail();
    mail->Recipient = {"Administrator"};
    mail->Subject = "Größe von /home";
    mail->Text = "first\n.\n..\nÄrger.txt ... 2 KB";
    ASSERT_EQ(mail->SendMail(), SUCCESS_SUCCESS) << mail->LastError();
    auto m = server->Messages().at(0);
    EXPECT_EQ(m.Header("Subject"), "=?UTF-8?B?R3LDtsOfZSB2b24gL2hvbWU=?=");
    EXPECT_EQ(m.Body(), "first\r\n.\r\n..\r\nÄrger.txt ... 2 KB\r\n");
}

TEST_F(EmailTest, BracketsTypedAroundAnAddressAreRemoved)
{
    Start({}, "Night [shift]=night@example.com\n");
    auto mail = NewMail();
    mail->Recipient = {"[SMTP:ops@example.org]", " [dev@example.org]", "night [shift]"};
    ASSERT_EQ(mail->SendMail(), SUCCESS_SUCCESS) << mail->LastError();
    // The typed text without its brackets, unless the resolved name has brackets itself.
    EXPECT_EQ(mail->Recipient, (std::vector<std::string>{"SMTP:ops@example.org", " dev@example.org",
                                                         "Night [shift]"}));
    auto m = server->Messages().at(0);
    EXPECT_EQ(m.Recipients, (std::vector<std::string>{"ops@example.org", "dev@example.org",
                                                      "night@example.com"}));
    EXPECT_EQ(m.Header("To"), "\"SMTP:ops@example.org\" <ops@example.org>, dev@example.org, "
                              "\"Night [shift]\" <night@example.com>");
}

TEST_F(EmailTest, UnknownRecipientsAreLeftOut)
{
    Start();
    auto mail = NewMail();
    mail->Recipient = {"Nobody", "", "Administrator"};
    ASSERT_EQ(mail->SendMail(), SUCCESS_SUCCESS);
    EXPECT_NE(mail->LastError().find("\"Nobody\""), std::string::npos);
    EXPECT_EQ(server->Messages().at(0).Recipients, std::vector<std::string>{"admin@example.com"});
    // When nobody is left and there is no screen for the send dialog, the reason is the
    // resolution's, not a user who is not there.
    mail->Recipient = {"Nobody"};
    EXPECT_EQ(mail->SendMail(), MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_EQ(server->Messages().size(), 1u);
}

TEST_F(EmailTest, DialogsWithoutAScreenAbortAndSendNothing)
{
    Start();
    auto mail = NewMail();
    EXPECT_EQ(mail->SendMail(), MAPI_USER_ABORT); // no recipient: the dialog would be needed
    mail->Recipient = {"Administrator"};
    mail->ShowDialog = true;
    EXPECT_EQ(mail->SendMail(), MAPI_USER_ABORT);
    EXPECT_EQ(mail->Address(), MAPI_USER_ABORT);
    EXPECT_TRUE(server->Messages().empty());
    EXPECT_TRUE(ui.Shown.empty());
}

// The send dialog of a screen, answered by the test: it may change the draft.
class EditingUserInterface : public TScriptedUserInterface
{
public:
    std::function<void(TMailDraft&)> Edit;
    bool EditMail(TMailDraft& draft) override
    {
        bool ok = TScriptedUserInterface::EditMail(draft);
        if (ok && Edit)
            Edit(draft);
        return ok;
    }
};

TEST_F(EmailTest, TheSendDialogOpensWithoutRecipientsAndItsEditsAreSent)
{
    Start();
    EditingUserInterface screen;
    screen.Edit = [](TMailDraft& d) {
        d.To = {"John Smith"};
        d.Subject += " (edited)";
    };
    TEmail mail(screen, dir / "mail.ini");
    mail.Subject = "Listing";
    mail.Text = "x";
    ASSERT_EQ(mail.SendMail(), SUCCESS_SUCCESS) << mail.LastError();
    ASSERT_EQ(screen.EditedMails.size(), 1u);
    EXPECT_TRUE(screen.EditedMails[0].To.empty());
    auto m = server->Messages().at(0);
    EXPECT_EQ(m.Header("Subject"), "Listing (edited)");
    EXPECT_EQ(m.Recipients, std::vector<std::string>{"john@example.com"});

    screen.MailAccepted = false; // cancelled
    mail.ShowDialog = true;
    EXPECT_EQ(mail.SendMail(), MAPI_USER_ABORT);
    screen.MailAccepted = true;
    screen.Edit = [](TMailDraft& d) { d.To.clear(); };
    EXPECT_EQ(mail.SendMail(), MAPI_E_INVALID_RECIPS);
    EXPECT_EQ(server->Messages().size(), 1u);
}

TEST_F(EmailTest, LineBreaksInHeadersRefuseTheMessage)
{
    Start();
    auto mail = NewMail();
    mail->Recipient = {"Administrator"};
    mail->Subject = "Report\r\nBcc: victim@example.org";
    EXPECT_EQ(mail->SendMail(), MAPI_E_FAILURE);
    EXPECT_NE(mail->LastError().find("line break"), std::string::npos);
    mail->Subject = "Report";
    mail->Recipient = {"Administrator\nBcc: victim@example.org"};
    EXPECT_EQ(mail->SendMail(), MAPI_E_FAILURE);
    EXPECT_TRUE(server->Messages().empty());
}

TEST_F(EmailTest, LongSubjectsAreCutAt255Characters)
{
    Start();
    auto mail = NewMail();
    mail->Recipient = {"Administrator"};
    mail->Subject = std::string(300, 's');
    ASSERT_EQ(mail->SendMail(), SUCCESS_SUCCESS);
    EXPECT_EQ(server->Messages().at(0).Header("Subject"), std::string(255, 's'));
}

TEST_F(EmailTest, AuthenticationIsUsedAndARefusalIsALogonFailure)
{
    Start(WithAuth());
    auto mail = NewMail();
    mail->Recipient = {"Administrator"};
    ASSERT_EQ(mail->SendMail(), SUCCESS_SUCCESS) << mail->LastError();
    mail->Password = "wrong"; // overrides the profile's
    EXPECT_EQ(mail->SendMail(), MAPI_E_LOGIN_FAILURE) << mail->LastError();
    EXPECT_EQ(server->Messages().size(), 1u);
}

TEST_F(EmailTest, ServerRefusalsGiveTheirCodes)
{
    SmtpServerOptions refusing;
    refusing.Refuse = {"john@example.com"};
    Start(refusing);
    auto mail = NewMail();
    mail->Recipient = {"Administrator", "John Smith"};
    EXPECT_EQ(mail->SendMail(), MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_NE(mail->LastError().find("550"), std::string::npos) << mail->LastError();
    EXPECT_TRUE(server->Messages().empty()); // nobody gets a part of the recipients' mail

    SmtpServerOptions refuseAll;
    refuseAll.RefuseMail = true;
    Start(refuseAll);
    mail = NewMail();
    mail->Recipient = {"Administrator"};
    EXPECT_EQ(mail->SendMail(), MAPI_E_FAILURE);
}

// A server that never answers the final "." (nor the QUIT after it): the whole send, goodbye
// included, ends within the profile's timeout instead of waiting two minutes more for the QUIT.
TEST_F(EmailTest, AServerThatStopsAnsweringCostsNoMoreThanTheTimeout)
{
    SmtpServerOptions silent;
    silent.HangAfterData = true;
    Start(silent);
    std::string text = dir.ReadFile("mail.ini");
    text.replace(text.find("Timeout=20"), 10, "Timeout=3");
    dir.WriteFile("mail.ini", text);
    auto mail = NewMail();
    mail->Recipient = {"Administrator"};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(mail->SendMail(), MAPI_E_NETWORK_FAILURE);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_NE(mail->LastError().find("imeout"), std::string::npos) << mail->LastError();
}

TEST_F(EmailTest, NoServerIsANetworkFailure)
{
    Start();
    server.reset(); // the port is closed now
    auto mail = NewMail();
    mail->Recipient = {"Administrator"};
    EXPECT_EQ(mail->SendMail(), MAPI_E_NETWORK_FAILURE);
    EXPECT_NE(mail->LastError().find("127.0.0.1"), std::string::npos) << mail->LastError();
}

TEST_F(EmailTest, StartTlsAndTlsWithTheServersCertificate)
{
    for (auto tls : {SmtpServerOptions::Tls::StartTls, SmtpServerOptions::Tls::Implicit}) {
        SmtpServerOptions options = WithAuth();
        options.Security = tls;
        Start(options);
        auto mail = NewMail();
        mail->Recipient = {"Administrator"};
        ASSERT_EQ(mail->SendMail(), SUCCESS_SUCCESS) << mail->LastError();
        EXPECT_EQ(server->Messages().size(), 1u);
        // Without the certificate to trust, the connection is refused.
        std::string text = server->MailFileText();
        text.erase(text.find("CACert="),
                   text.find('\n', text.find("CACert=")) + 1 - text.find("CACert="));
        dir.WriteFile("mail.ini", text);
        EXPECT_EQ(mail->SendMail(), MAPI_E_NETWORK_FAILURE);
    }
}

class EmailProfileTest : public ::testing::Test
{
protected:
    vmtest::TempDir dir;
    TScriptedUserInterface ui;
};

TEST_F(EmailProfileTest, NoUsableProfileMeansMailIsUnavailable)
{
    TEmail none(ui, dir / "missing.ini");
    EXPECT_FALSE(none.GetMAPIavail());
    try {
        none.SendMail();
        FAIL() << "sent without a mail system";
    } catch (const EMAPIunavailable& e) {
        EXPECT_EQ(std::string(e.what()), "Mail is not set up: the mail file " +
                                             (dir / "missing.ini") +
                                             " has no profile that can send");
    }
    EXPECT_THROW(none.Logon(), EMAPIunavailable);
    EXPECT_THROW(none.Address(), EMAPIunavailable);
    dir.WriteFile("odd.ini", "[Profile A]\nTransport=pigeon\n[Profile B]\nUrl=http://x\n"
                             "[Profile C]\nTransport=sendmail\n");
    EXPECT_FALSE(TEmail(ui, dir / "odd.ini").GetMAPIavail());
}

TEST_F(EmailProfileTest, LogonChoosesTheProfileAndFallsBackToTheDefault)
{
    dir.WriteFile("mail.ini", "[Profiles]\nDefaultProfile=Office\n"
                              "[Profile Office]\nUrl=smtp://127.0.0.1:1\n"
                              "[Profile Home]\nTransport=sendmail\nCommand=/bin/true\n"
                              "[Profile Broken]\nTransport=smtp\n");
    TEmail mail(ui, dir / "mail.ini");
    ASSERT_TRUE(mail.GetMAPIavail());
    mail.Profile = "home";
    ASSERT_EQ(mail.Logon(), SUCCESS_SUCCESS);
    EXPECT_EQ(mail.SessionProfile().Name, "home");
    EXPECT_NE(mail.Session(), 0u);
    EXPECT_EQ(mail.Logon(), SUCCESS_SUCCESS); // already logged on
    mail.Logoff();
    EXPECT_EQ(mail.Session(), 0u);

    mail.Profile = "Broken"; // cannot send: the second try takes the default
    ASSERT_EQ(mail.Logon(), SUCCESS_SUCCESS);
    EXPECT_EQ(mail.SessionProfile().Name, "Office");
    mail.Logoff();
    mail.Profile = "Home";
    mail.UseDefProfile = true; // the mail file's default wins over Profile
    ASSERT_EQ(mail.Logon(), SUCCESS_SUCCESS);
    EXPECT_EQ(mail.SessionProfile().Name, "Office");
    mail.Logoff();

    dir.WriteFile("mail.ini",
                  "[Profiles]\nDefaultProfile=Gone\n[Profile Home]\nTransport=sendmail\n"
                  "Command=/bin/true\n");
    TEmail other(ui, dir / "mail.ini");
    other.Profile = "Missing";
    EXPECT_EQ(other.Logon(), MAPI_E_LOGIN_FAILURE);
    EXPECT_NE(other.LastError().find("\"Missing\""), std::string::npos) << other.LastError();
}

TEST_F(EmailProfileTest, AddressBookPickerReplacesTheLists)
{
    dir.WriteFile("mail.ini", "[Profile Home]\nTransport=sendmail\nCommand=/bin/true\n"
                              "[Address Book]\nAdministrator=admin@example.com\n");
    TEmail mail(ui, dir / "mail.ini");
    mail.Recipient = {"old"};
    ui.Picks.push_back({"Administrator", "John Smith"});
    ASSERT_EQ(mail.Address(), SUCCESS_SUCCESS);
    EXPECT_EQ(mail.Recipient, (std::vector<std::string>{"Administrator", "John Smith"}));
    EXPECT_EQ(mail.Address(), MAPI_USER_ABORT); // no more answers: cancelled
    EXPECT_EQ(mail.Recipient.size(), 2u);
    mail.Recipient.assign(kMaxRecipients + 1, "x");
    EXPECT_EQ(mail.Address(), MAPI_E_TOO_MANY_RECIPIENTS);
    EXPECT_EQ(mail.SendMail(), MAPI_E_TOO_MANY_RECIPIENTS);
}

} // namespace
} // namespace vm
