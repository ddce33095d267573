// A real SMTP server on loopback for tests that send mail: tests/support/smtp_server.py run with
// Debian's python3-aiosmtpd. It stores every message it accepts; Messages() lists them with
// their envelope. The server stops with the object (and by itself after its lifetime).
//
//   vmtest::SmtpServer server;                  // plain SMTP, no authentication
//   if (!server.Running()) GTEST_SKIP() << server.Error();
//   dir.WriteFile("mail.ini", server.MailFileText("Test"));
//   ... send through a TEmail with that mail file ...
//   auto mails = server.Messages();             // mails[0].Header("Subject"), .Body()
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "support/TempDir.h"

namespace vmtest {

struct SmtpServerOptions
{
    std::string User, Password;      // AUTH required when User is set
    std::vector<std::string> Refuse; // recipients refused with 550
    bool RefuseMail = false;         // every MAIL FROM refused with 550
    bool HangAfterData = false;      // the final "." of a message (and what follows) never answered
    enum class Tls
    {
        None,
        StartTls,
        Implicit
    } Security = Tls::None;
    int LifetimeSeconds = 60;
};

struct ReceivedMail
{
    std::string MailFrom;                // envelope sender, without angle brackets
    std::vector<std::string> Recipients; // envelope recipients, without angle brackets
    std::string Data;                    // the message as received (CR LF line ends)

    // The first header of that name (letter case ignored), unfolded; empty when missing.
    std::string Header(const std::string& name) const;
    // Every header line as received, each without its CR LF (continuation lines separate).
    std::vector<std::string> HeaderLines() const;
    std::string Body() const;
};

class SmtpServer
{
public:
    explicit SmtpServer(SmtpServerOptions options = {});
    ~SmtpServer();
    SmtpServer(const SmtpServer&) = delete;
    SmtpServer& operator=(const SmtpServer&) = delete;

    // False when the server could not start (no python3-aiosmtpd, no openssl for TLS); Error()
    // says why, so tests can skip.
    bool Running() const { return port_ > 0; }
    const std::string& Error() const { return error_; }
    int Port() const { return port_; }
    // smtp://127.0.0.1:<port>, smtps:// for implicit TLS.
    std::string Url() const;
    // The self-signed certificate for TLS (empty without TLS): the CACert of a profile.
    const std::string& CertificateFile() const { return cert_; }

    // The messages stored so far, in the order received.
    std::vector<ReceivedMail> Messages() const;

    // A mail file whose profile (the default one) sends to this server, From
    // "Volumark <volumark@example.com>", and an address book of "Administrator" and "John Smith"
    // (admin@example.com, john@example.com) plus extraBook lines ("name=address\n").
    std::string MailFileText(const std::string& profile = "Test",
                             const std::string& extraBook = "") const;

private:
    TempDir dir_;
    pid_t pid_ = -1;
    int stdin_ = -1;
    int port_ = 0;
    bool implicitTls_ = false;
    SmtpServerOptions options_;
    std::string cert_;
    std::string error_;
};

} // namespace vmtest
