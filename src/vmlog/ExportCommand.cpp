// vmlog export: a log or a comparison (told apart by content, as dump does) as CSV, one JSON
// array or JSON Lines, on stdout or into a file that takes its name only once it is complete.
// A damaged file exports what reads and ends with status 1 and the reason.
#include "core/DirCompare.h"
#include "output/LogExport.h"
#include "platform/PendingFile.h"
#include "platform/TextCoding.h"
#include "vmlog/Commands.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vm::vmlog {

namespace {

const char kExportUsage[] = "usage: vmlog export FILE [--format csv|json|jsonl] [-o OUT]";

struct TExportRequest
{
    std::string Input;
    std::string Output; // empty: stdout
    TExportFormat Format = TExportFormat::Csv;
};

std::optional<TExportRequest> ParseExport(const TArgs& args, int& status)
{
    TExportRequest request;
    auto refuse = [&status](const std::string& why) {
        status = Fail(why + "; " + kExportUsage, kExitUsage);
        return std::nullopt;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string value;
        const bool format = a == "--format" || a.rfind("--format=", 0) == 0;
        const bool output = a == "-o" || a.rfind("--output=", 0) == 0;
        if ((a == "--format" || a == "-o")) {
            if (i + 1 == args.size())
                return refuse(a + " needs a value");
            value = args[++i];
        } else if (format || output) {
            value = a.substr(a.find('=') + 1);
        }
        if (format) {
            std::optional<TExportFormat> f = ExportFormatOfName(value);
            if (!f)
                return refuse("unknown format \"" + value + "\"");
            request.Format = *f;
        } else if (output) {
            request.Output = value;
        } else if (a.size() > 1 && a[0] == '-') {
            return refuse("unknown option " + a);
        } else if (request.Input.empty()) {
            request.Input = a;
        } else {
            return refuse("one file at a time");
        }
    }
    if (request.Input.empty())
        return refuse("no file given");
    return request;
}

TExportResult Export(const TExportRequest& request, TFileStream& input, const TExportSink& sink)
{
    if (IsComparisonFile(request.Input)) {
        TDirCompare comparison(input);
        return ExportComparison(comparison, request.Format, sink);
    }
    if (!IsLogFile(input))
        throw std::runtime_error(request.Input +
                                 " is neither a log nor a comparison (it does not begin with "
                                 "the signature)");
    TDirStorage log(input);
    return ExportLog(log, request.Format, sink);
}

} // namespace

int ExportCommand(const TArgs& args)
{
    int status = 0;
    std::optional<TExportRequest> request = ParseExport(args, status);
    if (!request)
        return status;
    TExportResult result;
    TFileStream input(request->Input, TFileMode::OpenRead);
    // The export would take the place of the log or comparison it reads.
    if (!request->Output.empty() && input.IsNamedBy(request->Output))
        return Fail("the output " + PrintableName(request->Output) + " is the file " +
                        PrintableName(request->Input) + " itself; nothing was written",
                    kExitUsage);
    struct stat target = {};
    const bool stream = !request->Output.empty() && ::stat(request->Output.c_str(), &target) == 0 &&
                        (S_ISCHR(target.st_mode) || S_ISFIFO(target.st_mode));
    if (request->Output.empty()) {
        result =
            Export(*request, input, [](std::string_view text) { WriteAll(STDOUT_FILENO, text); });
    } else if (stream) {
        // A device or a pipe (-o /dev/null, a named pipe) is written into as it is, like
        // standard output; only files get a temporary name first.
        const int fd = ::open(request->Output.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            return Fail(PrintableName(request->Output) + ": " + ErrorText(errno));
        try {
            result = Export(*request, input, [fd](std::string_view text) { WriteAll(fd, text); });
        } catch (...) {
            ::close(fd);
            throw;
        }
        ::close(fd);
    } else {
        TPosixFileSystem fs;
        TPendingFile out(fs, request->Output, TPendingFile::TOnCommit::Replace);
        TFileStream& stream = out.Stream();
        result = Export(*request, input, [&stream](std::string_view text) {
            stream.Write(text.data(), static_cast<int64_t>(text.size()));
        });
        // What could be read is kept, also from a damaged file: it is what there is.
        out.Commit();
    }
    if (!result.Damage.empty())
        return Fail(request->Input + " is damaged: " + result.Damage + "; " +
                    std::to_string(result.Entries) + " entries before it were exported");
    return kExitOk;
}

} // namespace vm::vmlog
