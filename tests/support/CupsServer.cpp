#include "support/CupsServer.h"

#include "platform/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace vmtest {

namespace {
const char* const kCupsd = "/usr/sbin/cupsd";
const char* const kBackend = "/usr/lib/cups/backend/cups-pdf";
const char* const kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd";

// The folder cups-pdf writes anonymous jobs into: its AnonDirName, or the default.
std::string AnonymousFolder()
{
    std::ifstream conf("/etc/cups/cups-pdf.conf");
    std::string line, folder = "/var/spool/cups-pdf/ANONYMOUS";
    while (std::getline(conf, line))
        if (line.rfind("AnonDirName", 0) == 0) {
            size_t value = line.find_first_not_of(" \t", 11);
            if (value != std::string::npos)
                folder = line.substr(value);
        }
    return folder;
}

bool Connectable(const std::string& path)
{
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

long long NowSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}
} // namespace

CupsServer::CupsServer(std::string queue) : queue_(std::move(queue))
{
    if (geteuid() != 0)
        error_ = "cupsd runs its backends as root, and the tests do not run as root";
    else if (access(kCupsd, X_OK) != 0)
        error_ = std::string("no CUPS server (") + kCupsd + "; Debian package cups)";
    else if (access(kBackend, F_OK) != 0 || access(kPpd, R_OK) != 0)
        error_ = "no cups-pdf backend (Debian package printer-driver-cups-pdf)";
    else if (!Start())
        Stop();
}

CupsServer::~CupsServer()
{
    Stop();
    for (const std::string& file : written_) {
        std::error_code ec;
        fs::remove(file, ec);
    }
}

bool CupsServer::Start()
{
    const std::string root = dir_.Path();
    socket_ = dir_ / "cups.sock";
    output_ = AnonymousFolder();
    for (const char* sub : {"spool", "cache", "state", "log", "ppd"})
        dir_.MakeDir(sub);
    dir_.WriteFile("cups-files.conf", "ServerRoot " + root + "\nRequestRoot " + root +
                                          "/spool\nCacheDir " + root + "/cache\nStateDir " + root +
                                          "/state\nTempDir " + root + "/spool\nErrorLog " + root +
                                          "/log/error_log\nAccessLog " + root +
                                          "/log/access_log\nPageLog " + root +
                                          "/log/page_log\nPrintcap " + root + "/printcap\n");
    dir_.WriteFile("cupsd.conf", "Listen " + socket_ +
                                     "\nBrowsing Off\nWebInterface No\nLogLevel info\n<Location "
                                     "/>\nOrder allow,deny\nAllow all\n"
                                     "</Location>\n<Location /admin>\nOrder allow,deny\nAllow "
                                     "all\n</Location>\n<Policy default>\n<Limit All>\nOrder "
                                     "deny,allow\n</Limit>\n</Policy>\n");

    const std::string conf = dir_ / "cupsd.conf", files = dir_ / "cups-files.conf";
    const std::string out = dir_ / "log/cupsd.out";
    std::vector<std::string> args = {kCupsd, "-f", "-c", conf, "-s", files};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, kCupsd, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        error_ = std::string("cupsd could not be started: ") + std::strerror(rc);
        return false;
    }
    pid_ = pid;
    started_ = NowSeconds() - 1;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!Connectable(socket_)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "cupsd ended at once: " + Log();
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            error_ = "cupsd did not open its socket: " + Log();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    vm::TChildResult added =
        vm::RunChild({"lpadmin", "-h", socket_, "-p", queue_, "-E", "-v", "cups-pdf:/", "-P", kPpd,
                      "-o", "pdftops-renderer-default=pdftocairo"});
    if (added.SpawnError != 0 || added.ExitStatus != 0) {
        error_ = "the cups-pdf queue could not be added: " + added.Err;
        return false;
    }
    return true;
}

void CupsServer::Stop()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    pid_ = -1;
}

std::string CupsServer::Log() const
{
    return ReadWholeFile(dir_ / "log/cupsd.out") + ReadWholeFile(dir_ / "log/error_log");
}

std::vector<std::string> CupsServer::WaitForOutput(const std::string& marker)
{
    std::vector<std::string> found;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (found.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(output_, ec)) {
            if (e.path().extension() != ".pdf")
                continue;
            struct stat st
            {
            };
            if (stat(e.path().c_str(), &st) != 0 || st.st_mtime < started_)
                continue;
            vm::TChildResult text = vm::RunChild({"pdftotext", e.path().string(), "-"});
            if (text.Succeeded() && text.Out.find(marker) != std::string::npos) {
                found.push_back(e.path().string());
                written_.push_back(e.path().string());
            }
        }
    }
    return found;
}

} // namespace vmtest
