#include "core/LogScan.h"

#include "core/LogWriter.h"
#include "core/TreeScanner.h"
#include "platform/TextCoding.h"

namespace vm {

TScanOutcome ScanIntoLog(TStream& stream, const std::vector<TScanRoot>& roots, TFileSystem& fs,
                         const TStatusEvent& status, const TMessagePump& pump,
                         const TScanOptions& options)
{
    std::vector<TScanRoot> checked;
    for (const TScanRoot& root : roots) {
        if (root.Path.empty())
            throw EScanError("An empty path cannot be logged");
        std::string path = root.Path.back() == '/' ? root.Path : root.Path + "/";
        if (path.size() > static_cast<size_t>(kMaxNameLength))
            throw EScanError("The path " + path + " is longer than " +
                             std::to_string(kMaxNameLength) + " bytes and does not fit a log");
        checked.push_back({std::move(path), root.Unit < 0 ? 0 : root.Unit});
    }
    TLogWriter writer(stream, Now());
    bool stopped = false;
    {
        TTreeScanner scanner(fs, writer);
        scanner.SetStatusEvent(status);
        scanner.SetMessagePump(pump);
        scanner.SetThreads(options.Threads);
        for (const TScanRoot& root : checked) {
            if (scanner.Stopped())
                break;
            scanner.ScanRoot(root.Path, root.Unit);
        }
        stopped = scanner.Stopped();
    } // the workers end here, before the log is finished
    writer.Finish();
    return {writer.Header(), stopped, writer.UnreadableDirectories()};
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
