#include "support/SmtpServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vmtest {

namespace {

// The Debian interpreter first: it is the one that has python3-aiosmtpd.
std::string Interpreter()
{
    for (const char* p : {"/usr/bin/python3", "/usr/local/bin/python3"})
        if (access(p, X_OK) == 0)
            return p;
    return "python3";
}

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Unbracketed(std::string s)
{
    if (s.size() >= 2 && s.front() == '<' && s.back() == '>')
        s = s.substr(1, s.size() - 2);
    return s;
}

// Reads the server's first lines (PORT, CERT, READY) within a time limit.
std::vector<std::string> ReadStartLines(int fd, std::string& error)
{
    std::vector<std::string> lines;
    std::string buffer;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0)
            continue;
        char c[256];
        ssize_t n = read(fd, c, sizeof c);
        if (n <= 0) {
            error = "the SMTP test server ended before it was ready";
            return lines;
        }
        buffer.append(c, size_t(n));
        for (size_t nl = buffer.find('\n'); nl != std::string::npos; nl = buffer.find('\n')) {
            lines.push_back(buffer.substr(0, nl));
            buffer.erase(0, nl + 1);
            if (lines.back() == "READY")
                return lines;
        }
    }
    error = "the SMTP test server did not become ready";
    return lines;
}

} // namespace

std::vector<std::string> ReceivedMail::HeaderLines() const
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = Data.find("\r\n", start);
        if (end == std::string::npos || end == start)
            return lines;
        lines.push_back(Data.substr(start, end - start));
        start = end + 2;
    }
}

std::string ReceivedMail::Header(const std::string& name) const
{
    std::vector<std::string> lines = HeaderLines();
    for (size_t i = 0; i < lines.size(); ++i) {
        size_t colon = lines[i].find(':');
        if (colon == std::string::npos || !SameText(lines[i].substr(0, colon), name))
            continue;
        std::string value = lines[i].substr(colon + 1);
        for (size_t k = i + 1; k < lines.size() && (lines[k][0] == ' ' || lines[k][0] == '\t'); ++k)
            value += lines[k];
        size_t b = value.find_first_not_of(' ');
        return b == std::string::npos ? std::string() : value.substr(b);
    }
    return std::string();
}

std::string ReceivedMail::Body() const
{
    size_t end = Data.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : Data.substr(end + 4);
}

SmtpServer::SmtpServer(SmtpServerOptions options) : options_(std::move(options))
{
    std::string script = std::string(VOLUMARK_SOURCE_DIR) + "/tests/support/smtp_server.py";
    std::vector<std::string> args = {Interpreter(), script,
                                     "--dir",       dir_.Path(),
                                     "--lifetime",  std::to_string(options_.LifetimeSeconds)};
    if (!options_.User.empty())
        args.insert(args.end(), {"--auth", options_.User + ":" + options_.Password});
    for (const std::string& r : options_.Refuse)
        args.insert(args.end(), {"--refuse", r});
    if (options_.RefuseMail)
        args.push_back("--refuse-mail");
    if (options_.HangAfterData)
        args.push_back("--hang-after-data");
    if (options_.Security == SmtpServerOptions::Tls::StartTls)
        args.push_back("--starttls");
    implicitTls_ = options_.Security == SmtpServerOptions::Tls::Implicit;
    if (implicitTls_)
        args.push_back("--tls");

    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        error_ = std::strerror(errno);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    // Its complaints (a client that gave up on TLS, say) go to a log beside the messages.
    std::string log = dir_ / "server.log";
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int rc = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    stdin_ = in[1];
    if (rc != 0) {
        pid_ = -1;
        close(out[0]);
        error_ = "cannot start " + args[0] + ": " + std::strerror(rc);
        return;
    }
    for (const std::string& line : ReadStartLines(out[0], error_)) {
        if (line.rfind("PORT ", 0) == 0)
            port_ = std::atoi(line.c_str() + 5);
        else if (line.rfind("CERT ", 0) == 0)
            cert_ = line.substr(5);
    }
    close(out[0]);
    if (!error_.empty()) {
        port_ = 0;
        std::string why = dir_.ReadFile("server.log");
        if (!why.empty())
            error_ += ": " + why.substr(why.size() > 600 ? why.size() - 600 : 0);
    }
}

SmtpServer::~SmtpServer()
{
    if (stdin_ >= 0)
        close(stdin_); // the server ends when its input closes
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status;
        waitpid(pid_, &status, 0);
    }
}

std::string SmtpServer::Url() const
{
    return std::string(implicitTls_ ? "smtps" : "smtp") + "://127.0.0.1:" + std::to_string(port_);
}

std::vector<ReceivedMail> SmtpServer::Messages() const
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir_.Path().c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.compare(n.size() - 4, 4, ".eml") == 0)
                names.push_back(n.substr(0, n.size() - 4));
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    std::vector<ReceivedMail> mails;
    for (const std::string& n : names) {
        ReceivedMail m;
        m.Data = dir_.ReadFile(n + ".eml");
        std::string env = dir_.ReadFile(n + ".env");
        size_t start = 0;
        for (size_t nl = env.find('\n'); nl != std::string::npos; nl = env.find('\n', start)) {
            std::string line = env.substr(start, nl - start);
            start = nl + 1;
            if (line.rfind("MAIL FROM:", 0) == 0)
                m.MailFrom = Unbracketed(line.substr(10));
            else if (line.rfind("RCPT TO:", 0) == 0)
                m.Recipients.push_back(Unbracketed(line.substr(8)));
        }
        mails.push_back(std::move(m));
    }
    return mails;
}

std::string SmtpServer::MailFileText(const std::string& profile, const std::string& extraBook) const
{
    std::string security = options_.Security == SmtpServerOptions::Tls::StartTls ? "starttls"
                           : implicitTls_                                        ? "tls"
                                                                                 : "none";
    std::string text = "[Profiles]\nDefaultProfile=" + profile + "\n\n[Profile " + profile +
                       "]\nTransport=smtp\nUrl=" + Url() + "\nSecurity=" + security +
                       "\nFrom=Volumark <volumark@example.com>\nTimeout=20\n";
    if (!options_.User.empty())
        text += "User=" + options_.User + "\nPassword=" + options_.Password + "\n";
    if (!cert_.empty())
        text += "CACert=" + cert_ + "\n";
    return text +
           "\n[Address Book]\nAdministrator=admin@example.com\n"
           "John Smith=john@example.com\n" +
           extraBook;
}

} // namespace vmtest
