// A file system double over the real one (the error-injecting Env of LevelDB's tests): it passes
// every call through unless a test told it to fail that call for a name or path, to count more
// entries than Linux can, to report another device, or to fill the disk.
//
// Scans list directories from several threads at once: the listing calls keep their own counts
// under a lock, and Inject may be called from any thread (it must be safe to call so). The sets
// and maps are set up before a scan and only read while it runs.
#pragma once

#include "platform/FileSystem.h"

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace vmtest {

class FaultyFileSystem : public vm::TFileSystem
{
public:
    // Names (last path components) whose removal fails with EACCES until their read-only
    // attribute is cleared through ClearReadOnlyAt.
    std::set<std::string> ReadOnlyNames;
    // Names whose removal fails with EACCES until the directory holding them has been made
    // writable (ClearReadOnlyAt on that directory's name).
    std::map<std::string, std::string> NamesInReadOnlyDirectory; // name -> its directory's name
    // Names of directories that cannot be opened (EACCES).
    std::set<std::string> UnopenableDirectories;
    // Names of entries that vanish between the listing and the look at them.
    std::set<std::string> VanishingNames;
    // Names of directories reported as lying on another device (mount points).
    std::set<std::string> OtherDeviceNames;
    // Paths for which FindExact reports this many matches.
    std::map<std::string, int> MatchCounts;
    // Decides whether an operation on a whole path fails: the errno to fail it with, or 0 to pass
    // it through. op is "open" (OpenDirectory, and so ListPath), "stat", "mkdir", "remove",
    // "rmdir", "rename" (path: the new name) or "create". For the directories a scan goes
    // through it is also "openat" (OpenDirectoryAt: the directory's path, without a final "/")
    // and "list" (ListDirectory, before the real listing: a listing given an errno keeps the
    // first half of its entries and fails, as one that breaks off part way).
    std::function<int(const std::string& op, const std::string& path)> Inject;
    // Runs right after CreateFile made its file (what another process may do in that moment).
    std::function<void(const std::string& path)> AfterCreate;
    // Files made by CreateFile hold at most this many bytes; writes past it fail as on a full
    // disk (-1: no limit).
    int64_t DiskSpace = -1;
    // Names whose copy (by source name) fails with this errno, as a full disk fails it.
    std::map<std::string, int> FailingCopies;
    // The errno of every compression request, as a file system without compression answers;
    // 0 passes them through.
    int CompressionError = 0;

    std::vector<std::string> Removed;         // names removed, in order
    std::vector<std::string> ClearedReadOnly; // names whose read-only attribute was cleared
    std::vector<std::string> Copied;          // source names copied, in order
    int OpenDirectories = 0;                  // open now
    int MostOpenDirectories = 0;              // at the most

    vm::TDirHandle OpenDirectory(const std::string& path, int& error) override;
    vm::TDirHandle OpenDirectoryAt(vm::TDirHandle dir, const std::string& name,
                                   int& error) override;
    void CloseDirectory(vm::TDirHandle dir) override;
    bool StatDirectory(vm::TDirHandle dir, vm::TFileInfo& info, int& error) override;
    bool ListDirectory(vm::TDirHandle dir, std::vector<vm::TFileInfo>& entries, size_t& count,
                       int& error, std::stop_token stop) override;
    bool StatAt(vm::TDirHandle dir, const std::string& name, vm::TFileInfo& info,
                int& error) override;
    int FindExact(const std::string& path, vm::TFileInfo& first) override;
    bool RemoveAt(vm::TDirHandle dir, const std::string& name, bool directory, int& error) override;
    bool SetReadOnlyAt(vm::TDirHandle dir, const std::string& name, bool readOnly,
                       int& error) override;
    bool SetCompressedAt(vm::TDirHandle dir, const std::string& name, bool compressed,
                         int& error) override;
    bool StatPath(const std::string& path, vm::TFileInfo& info, int& error) override;
    bool MakeDirectory(const std::string& path, int& error) override;
    bool RemoveFile(const std::string& path, int& error) override;
    bool RemoveDirectory(const std::string& path, int& error) override;
    bool RenameFile(const std::string& from, const std::string& to, bool replace,
                    int& error) override;
    std::unique_ptr<vm::TFileStream> CreateFile(const std::string& path) override;
    bool MakeDirectoryAt(vm::TDirHandle dir, const std::string& name, int& error) override;
    bool CopyFileAt(vm::TDirHandle fromDir, const std::string& fromName, vm::TDirHandle toDir,
                    const std::string& toName, int& error) override;

private:
    vm::TDirHandle Opened(vm::TDirHandle h, const std::string& path);
    std::string PathOf(vm::TDirHandle h);
    bool Injected(const char* op, const std::string& path, int& error);
    vm::TPosixFileSystem real_;
    std::mutex mutex_;                            // guards the counts and paths_
    std::map<vm::TDirHandle, std::string> paths_; // the path of each open directory
};

} // namespace vmtest
