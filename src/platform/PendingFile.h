// A file that a run writes (a log, a comparison), made under a temporary name in the directory of
// its real name and given that name only once it is complete and on the disk. No stop, error,
// exception or killed process can leave part of a file under a real name: the guard removes the
// temporary on every way out unless the run commits it.
//
// The temporary is named "." + the real name + ".partial-" + the writer's process id: a hidden
// name that no listing of logs or comparisons takes for one. The writer holds an exclusive lock
// (flock) on it while it writes, so the start-up repair (RemoveAbandoned) removes only the
// temporaries of writers that are gone, never one that a running process still writes. A file
// cannot be created locked: a repair that comes in the moment between the two takes it for
// abandoned, so the writer checks, once it has the lock, that its name still leads to its file,
// and makes it anew when it does not.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Stream.h"

#include <memory>
#include <string>

namespace vm {

class TPendingFile
{
public:
    enum class TOnCommit
    {
        Replace,      // a comparison, vmlog's output: an earlier file of that name is replaced
        KeepExisting, // a log: a file of that name is never touched (Commit raises instead)
    };

    // Creates and locks the temporary beside path. Raises EFOpenError when it cannot (a missing
    // directory, a read-only disk), and when path is something other than a regular file (or a
    // symbolic link, which is replaced itself): a device, a pipe or a directory is never renamed
    // over. fs must outlive this object.
    TPendingFile(TFileSystem& fs, std::string path, TOnCommit onCommit);
    // Removes the temporary unless it was committed; never raises.
    ~TPendingFile();
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    // The temporary's stream; valid until Commit or destruction.
    TFileStream& Stream() { return *stream_; }
    // Flushes and syncs the file and gives it its real name (syncing the directory too). Raises
    // EStreamError when it cannot: a full disk, a vanished directory, the name taken (with
    // KeepExisting); the temporary is then removed as on any other way out.
    void Commit();

    const std::string& Path() const { return path_; }
    const std::string& TemporaryPath() const { return temporary_; }

    // True for a name that TPendingFile gives its temporaries.
    static bool IsTemporaryName(const std::string& name);
    // Removes the temporaries in dir whose writers are gone (nobody holds their lock); returns
    // how many it removed.
    static int RemoveAbandoned(TFileSystem& fs, const std::string& dir);

private:
    void Discard() noexcept;
    bool LockedUnderItsName();

    TFileSystem& fs_;
    std::string path_;
    std::string temporary_;
    TOnCommit onCommit_;
    std::unique_ptr<TFileStream> stream_;
    bool committed_ = false;
};

} // namespace vm
