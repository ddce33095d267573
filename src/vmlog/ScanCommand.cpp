// vmlog scan: writes a log of the paths given, as a logging run would.
#include "core/DirStorage.h"
#include "core/ScanSink.h"
#include "platform/ConsoleUserInterface.h"
#include "platform/PendingFile.h"
#include "vmlog/AllocationUnit.h"
#include "vmlog/Commands.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace vm::vmlog {

namespace {
struct TScanRequest
{
    std::vector<TScanRoot> Roots;
    std::string Output;
    TScanOptions Options;
};

// More threads than this only wait on one another.
constexpr int64_t kMostScanThreads = 1024;
constexpr const char* kScanUsage = "vmlog scan [--format exact|extended] [--threads N] [--unit N] "
                                   "PATH [[--unit N] PATH ...] -o FILE";

// A whole number from 0 to max written as digits only.
std::optional<int64_t> WholeNumber(const std::string& text, int64_t max)
{
    int64_t n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 0 || n > max)
        return std::nullopt;
    return n;
}

// Parses the arguments; an empty optional after printing the reason.
std::optional<TScanRequest> ParseScan(const TArgs& args, int& status)
{
    TScanRequest r;
    std::optional<int32_t> unit;
    status = kExitUsage;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--unit" || a == "-o" || a == "--threads" || a == "--format") {
            if (i + 1 >= args.size()) {
                Fail(a + " needs a value", kExitUsage);
                return std::nullopt;
            }
            const std::string& v = args[++i];
            if (a == "-o") {
                r.Output = v;
                continue;
            }
            if (a == "--format") {
                std::optional<TLogFormat> format = LogFormatOfName(v);
                if (!format) {
                    Fail("--format wants exact or extended, not \"" + v + "\"", kExitUsage);
                    return std::nullopt;
                }
                r.Options.Format = *format;
                continue;
            }
            if (a == "--threads") {
                std::optional<int64_t> n = WholeNumber(v, kMostScanThreads);
                if (!n || *n == 0) {
                    Fail("--threads wants a whole number from 1 to " +
                             std::to_string(kMostScanThreads) + ", not \"" + v + "\"",
                         kExitUsage);
                    return std::nullopt;
                }
                r.Options.Threads = static_cast<unsigned>(*n);
                continue;
            }
            std::optional<int64_t> n = WholeNumber(v, INT32_MAX);
            if (!n) {
                Fail("--unit wants a whole number of bytes, not \"" + v + "\"", kExitUsage);
                return std::nullopt;
            }
            unit = static_cast<int32_t>(*n);
        } else if (a.size() > 1 && a[0] == '-') {
            Fail("unknown option " + a + " (a path that begins with \"-\" can be given as ./" + a +
                     ")",
                 kExitUsage);
            return std::nullopt;
        } else if (a.empty()) {
            // An empty path names no directory (it must not become "/").
            Fail("an empty path names nothing to scan", kExitUsage);
            return std::nullopt;
        } else {
            r.Roots.push_back(
                {a.back() == '/' ? a : a + "/", unit ? *unit : DefaultAllocationUnit(a)});
        }
    }
    if (r.Roots.empty()) {
        Fail(std::string("no path to scan; usage: ") + kScanUsage, kExitUsage);
        return std::nullopt;
    }
    if (r.Output.empty()) {
        Fail("no log file given (-o FILE)", kExitUsage);
        return std::nullopt;
    }
    status = kExitFailed;
    for (const TScanRoot& root : r.Roots) {
        struct stat st = {};
        if (::stat(root.Path.c_str(), &st) != 0) {
            Fail(root.Path + ": " + ErrorText(errno));
            return std::nullopt;
        }
        if (!S_ISDIR(st.st_mode)) {
            Fail(root.Path + ": not a directory");
            return std::nullopt;
        }
    }
    status = kExitOk;
    return r;
}

// Scans into the stream and writes the default tag names; false when stopped. unreadable gets the
// directories that could not be read; passedLimit is set when an exact log grew past 2 GiB and
// was written in the extended format.
bool WriteLog(TStream& stream, const TScanRequest& request,
              std::vector<TUnreadableDirectory>& unreadable, bool& passedLimit)
{
    TConsoleUserInterface ui;
    TStatusWindow& status = ui.Status();
    status.SetCaption("Logging");
    status.Show();
    TDirStorage log(stream);
    log.SetScanOptions(request.Options);
    log.SetStatusEvent([&status](const std::string& directory, bool& stop) {
        status.SetText(directory);
        stop = status.StopRequested();
    });
    log.BuildLog(request.Roots);
    status.Hide();
    unreadable = log.UnreadableDirectories();
    passedLimit = log.PassedExactLimit();
    if (log.WasStopped())
        return false;
    std::vector<std::string> names = DefaultTagNames();
    for (size_t i = 0; i < names.size(); ++i)
        log.SetTagName(static_cast<int>(i + 1), names[i]);
    return true;
}
} // namespace

int ScanCommand(const TArgs& args)
{
    int status = 0;
    std::optional<TScanRequest> request = ParseScan(args, status);
    if (!request)
        return status;
    // The log is written beside its place under a name of its own and put in place only when
    // it is complete, so that a failed or stopped scan never leaves a partial log or destroys an
    // old one.
    TPosixFileSystem fs;
    TPendingFile log(fs, request->Output, TPendingFile::TOnCommit::Replace);
    std::vector<TUnreadableDirectory> unreadable;
    bool passedLimit = false;
    if (!WriteLog(log.Stream(), *request, unreadable, passedLimit))
        return Fail("stopped; no log was written");
    log.Commit();
    if (passedLimit)
        std::fprintf(stderr, "vmlog: %s\n", kPassedExactLimitText);
    // As du does: the log is written, and what it could not read makes the status 1.
    for (const TUnreadableDirectory& d : unreadable)
        Fail(UnreadableDirectoryText(d));
    if (!unreadable.empty())
        return Fail(UnreadableDirectoriesText(unreadable.size()));
    return kExitOk;
}

} // namespace vm::vmlog
