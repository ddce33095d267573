#include "core/LogScan.h"

#include "core/LogWriter.h"
#include "core/TreeScanner.h"
#include "platform/TextCoding.h"

namespace vm {

const char* const kPassedExactLimitText =
    "The log passed 2 GiB, the limit of the exact format: it was written in the extended format.";

namespace {
TScanOutcome Scan(TStream& stream, const std::vector<TScanRoot>& roots, TFileSystem& fs,
                  const TStatusEvent& status, const TMessagePump& pump, const TScanOptions& options,
                  TLogFormat format)
{
    TLogWriter writer = format == TLogFormat::Extended
                            ? TLogWriter(stream, Now(), TLogFormat::Extended)
                            : TLogWriter(stream, Now(), options.ExactLimit);
    bool stopped = false;
    {
        TTreeScanner scanner(fs, writer);
        scanner.SetStatusEvent(status);
        scanner.SetMessagePump(pump);
        scanner.SetThreads(options.Threads);
        for (const TScanRoot& root : roots) {
            if (scanner.Stopped())
                break;
            scanner.ScanRoot(root.Path, root.Unit);
        }
        stopped = scanner.Stopped();
    } // the workers end here, before the log is finished
    writer.Finish();
    TScanOutcome outcome;
    outcome.Format = format;
    outcome.Header = writer.Header();
    outcome.Extended = writer.ExtendedHeader();
    outcome.Stopped = stopped;
    outcome.Unreadable = writer.UnreadableDirectories();
    return outcome;
}
} // namespace

TScanOutcome ScanIntoLog(TStream& stream, const std::vector<TScanRoot>& roots, TFileSystem& fs,
                         const TStatusEvent& status, const TMessagePump& pump,
                         const TScanOptions& options)
{
    const TLogLayout& layout = LayoutOf(options.Format);
    std::vector<TScanRoot> checked;
    for (const TScanRoot& root : roots) {
        if (root.Path.empty())
            throw EScanError("An empty path cannot be logged");
        std::string path = root.Path.back() == '/' ? root.Path : root.Path + "/";
        if (path.size() > static_cast<size_t>(layout.MaxNameLength))
            throw EScanError("The path " + path + " is longer than " +
                             std::to_string(layout.MaxNameLength) +
                             " bytes and does not fit a log");
        checked.push_back({std::move(path), root.Unit < 0 ? 0 : root.Unit});
    }
    if (options.Format == TLogFormat::Extended)
        return Scan(stream, checked, fs, status, pump, options, TLogFormat::Extended);
    try {
        return Scan(stream, checked, fs, status, pump, options, TLogFormat::Exact);
    } catch (const ELogLimit&) {
        // The tree is larger than the exact format can hold: the whole scan starts again, so that
        // every entry gets what the extended format keeps (owners, exact sizes and times).
    }
    if (status) {
        bool stop = false;
        status(kPassedExactLimitText, stop);
        if (stop) {
            TScanOutcome stopped =
                Scan(stream, {}, fs, status, pump, options, TLogFormat::Extended);
            stopped.Stopped = stopped.PassedExactLimit = true;
            return stopped;
        }
    }
    TScanOutcome outcome = Scan(stream, checked, fs, status, pump, options, TLogFormat::Extended);
    outcome.PassedExactLimit = true;
    return outcome;
}

std::string UnreadableDirectoriesText(size_t count)
{
    return std::to_string(count) + (count == 1 ? " directory" : " directories") +
           " could not be read";
}

std::string UnreadableDirectoryText(const TUnreadableDirectory& directory)
{
    std::string path = directory.Path;
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return "cannot read " + PrintableName(path) + ": " + ErrorText(directory.Error);
}

} // namespace vm
