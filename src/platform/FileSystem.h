// The file system as the program sees it: directory listings with each entry's facts in the terms
// logs keep (Win32 attributes, size, on-disk size, three local times), existence tests, and
// removal and attribute changes relative to open directories. TFileSystem is an interface so that
// tests can make a listing fail, an entry vanish or a removal be refused; TPosixFileSystem is the
// real one.
//
// Attributes of a Linux entry: directory 0x10; read-only 0x1 when the owner has no write
// permission; hidden 0x2 for names that begin with "."; system 0x4 for devices, fifos and
// sockets; sparse 0x200 for a regular file with fewer bytes on disk than its size; reparse point
// 0x400 for a symbolic link (never followed); compressed 0x800 when the file system says so;
// normal 0x80 for a regular file with none of the other bits.
#pragma once

#include "platform/DateTime.h"
#include "platform/FileAttributes.h"
#include "platform/Stream.h"

#include <array>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

namespace vm {

class TLocalClock;

// A moment as the local clock showed it: seconds since 1970-01-01 00:00 local time, so that the
// whole seconds can be packed without going through a floating-point date-time.
struct TFileTime
{
    int64_t LocalSeconds = 0;
    int32_t Nanoseconds = 0;
    int64_t UnixSeconds = 0; // the same moment as seconds since 1970-01-01 00:00 UTC

    TDateTime ToDateTime() const
    {
        return kUnixEpochDays +
               (static_cast<double>(LocalSeconds) + Nanoseconds / 1e9) / kSecondsPerDay;
    }
};

// One entry of a directory with the facts a log keeps, plus what the scan needs to count hard
// links once and to stay on one file system.
struct TFileInfo
{
    std::string Name;
    uint32_t Attributes = 0;
    int64_t Size = 0;   // st_size
    int64_t OnDisk = 0; // st_blocks * 512
    TFileTime Created;  // birth time, or the modification time where the file system has none
    TFileTime Accessed;
    TFileTime Modified;
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t MountId = 0; // 0 when the kernel does not tell
    uint32_t Links = 1;
    uint32_t Owner = 0; // the owner's user id
    uint32_t Group = 0; // the group id
    uint32_t Mode = 0;  // st_mode: the kind of entry and its permission bits

    bool IsDirectory() const { return (Attributes & faDirectory) != 0; }
};

// The attribute bits of an entry from its mode (st_mode), name, sizes and compression flag.
uint32_t AttributesOf(const std::string& name, unsigned mode, int64_t size, int64_t onDisk,
                      bool compressed);

// An open directory; -1 is none. Handles belong to the file system that gave them and are
// given back with CloseDirectory.
using TDirHandle = int;
constexpr TDirHandle kNoDir = -1;

// Every call that can fail returns false (or kNoDir) and puts the errno value in error.
//
// The calls a scan lists directories with (OpenDirectoryAt, ListDirectory, StatDirectory and
// CloseDirectory) may be made from several threads at once, each on handles of its own or on a
// directory handle that another thread only reads through.
class TFileSystem
{
public:
    virtual ~TFileSystem() = default;

    // Opens a directory by its path. Links inside the path are followed: this is where a walk
    // starts, at a path the user chose.
    virtual TDirHandle OpenDirectory(const std::string& path, int& error) = 0;
    // Opens the directory name inside dir; a symbolic link is never followed (fails).
    virtual TDirHandle OpenDirectoryAt(TDirHandle dir, const std::string& name, int& error) = 0;
    virtual void CloseDirectory(TDirHandle dir) = 0;
    // The facts of an open directory itself (Name stays empty).
    virtual bool StatDirectory(TDirHandle dir, TFileInfo& info, int& error) = 0;
    // Lists dir: every entry except "." and "..", in the order the file system gives them, with
    // its facts. A handle is listed once (a second listing of the same handle finds nothing).
    // Entries [0, count) of entries are filled; the vector grows as needed and keeps its elements
    // between calls so that their names' storage is reused. An entry that vanishes between listing
    // and reading is left out. False when the listing fails; the entries read before the failure
    // stay. An entry that is there but cannot be looked at (EACCES in a directory that can be
    // read but not searched) is left out too, and the listing goes on to its end and then fails
    // with that reason. A stop requested through stop ends the listing between two entries
    // (ECANCELED).
    virtual bool ListDirectory(TDirHandle dir, std::vector<TFileInfo>& entries, size_t& count,
                               int& error, std::stop_token stop) = 0;
    // The facts of name inside dir, not following a final symbolic link.
    virtual bool StatAt(TDirHandle dir, const std::string& name, TFileInfo& info, int& error) = 0;
    // How many entries answer to exactly this path (0 or 1 on Linux, where names are exact), and
    // the facts of the first. A final symbolic link is not followed.
    virtual int FindExact(const std::string& path, TFileInfo& first) = 0;
    // Removes name inside dir: a directory (which must be empty) or any other entry. A symbolic
    // link is removed itself, never what it points to.
    virtual bool RemoveAt(TDirHandle dir, const std::string& name, bool directory, int& error) = 0;
    // Sets or clears the read-only attribute of name inside dir: takes away or gives back the
    // owner's write permission. A symbolic link is refused (ELOOP), never followed.
    virtual bool SetReadOnlyAt(TDirHandle dir, const std::string& name, bool readOnly,
                               int& error) = 0;
    // Asks the file system to store name inside dir compressed or not (the FS_COMPR_FL flag);
    // false with EOPNOTSUPP (or ENOTTY) where the file system cannot. Links are refused.
    virtual bool SetCompressedAt(TDirHandle dir, const std::string& name, bool compressed,
                                 int& error) = 0;
    // Creates the directory name inside dir (owner, group and others may read and enter it, as
    // the umask allows).
    virtual bool MakeDirectoryAt(TDirHandle dir, const std::string& name, int& error) = 0;
    // Copies the regular file fromName inside fromDir to toName inside toDir, content and
    // permission bits (platform/FileCopy.h): an existing toName is replaced only once the copy
    // is complete. Anything but a regular file is refused (EINVAL), a link is never followed.
    virtual bool CopyFileAt(TDirHandle fromDir, const std::string& fromName, TDirHandle toDir,
                            const std::string& toName, int& error) = 0;

    // Whole files and directories by path: what the reference store and the runs that write
    // logs and comparisons create, list, rename and remove.

    // The facts of path, following a final symbolic link (a reference directory may be one).
    virtual bool StatPath(const std::string& path, TFileInfo& info, int& error) = 0;
    virtual bool MakeDirectory(const std::string& path, int& error) = 0;
    // Removes a file or symbolic link (never what it points to).
    virtual bool RemoveFile(const std::string& path, int& error) = 0;
    // Removes a directory, which must be empty.
    virtual bool RemoveDirectory(const std::string& path, int& error) = 0;
    // Gives the file from the name to, in the same directory, at once. Without replace an
    // existing to is never touched: the call fails with EEXIST.
    virtual bool RenameFile(const std::string& from, const std::string& to, bool replace,
                            int& error) = 0;
    // Creates a new file, which must not exist yet, for reading and writing. Raises EFOpenError.
    virtual std::unique_ptr<TFileStream> CreateFile(const std::string& path) = 0;

    bool ClearReadOnlyAt(TDirHandle dir, const std::string& name, int& error)
    {
        return SetReadOnlyAt(dir, name, false, error);
    }
    // Lists the directory at path (ListDirectory's rules: every entry but "." and "..", with its
    // facts). False when it cannot be opened or read; entries then holds what was read.
    bool ListPath(const std::string& path, std::vector<TFileInfo>& entries, int& error);
    bool IsDirectoryPath(const std::string& path)
    {
        TFileInfo info;
        int error = 0;
        return StatPath(path, info, error) && info.IsDirectory();
    }
};

// The real file system: getdents64 and statx relative to directory descriptors.
class TPosixFileSystem : public TFileSystem
{
public:
    TPosixFileSystem();
    ~TPosixFileSystem() override;

    TDirHandle OpenDirectory(const std::string& path, int& error) override;
    TDirHandle OpenDirectoryAt(TDirHandle dir, const std::string& name, int& error) override;
    void CloseDirectory(TDirHandle dir) override;
    bool StatDirectory(TDirHandle dir, TFileInfo& info, int& error) override;
    bool ListDirectory(TDirHandle dir, std::vector<TFileInfo>& entries, size_t& count, int& error,
                       std::stop_token stop) override;
    bool StatAt(TDirHandle dir, const std::string& name, TFileInfo& info, int& error) override;
    int FindExact(const std::string& path, TFileInfo& first) override;
    bool RemoveAt(TDirHandle dir, const std::string& name, bool directory, int& error) override;
    bool SetReadOnlyAt(TDirHandle dir, const std::string& name, bool readOnly, int& error) override;
    bool SetCompressedAt(TDirHandle dir, const std::string& name, bool compressed,
                         int& error) override;
    bool StatPath(const std::string& path, TFileInfo& info, int& error) override;
    bool MakeDirectory(const std::string& path, int& error) override;
    bool RemoveFile(const std::string& path, int& error) override;
    bool RemoveDirectory(const std::string& path, int& error) override;
    bool RenameFile(const std::string& from, const std::string& to, bool replace,
                    int& error) override;
    std::unique_ptr<TFileStream> CreateFile(const std::string& path) override;
    bool MakeDirectoryAt(TDirHandle dir, const std::string& name, int& error) override;
    bool CopyFileAt(TDirHandle fromDir, const std::string& fromName, TDirHandle toDir,
                    const std::string& toName, int& error) override;

private:
    bool StatRelative(int dirFd, const char* name, TFileInfo& info, int& error);
    std::unique_ptr<TLocalClock> clock_;
};

// Opens the directories along paths below one root one component at a time, never following a
// symbolic link below the root, so that whatever is planted in the tree after it was logged, an
// operation on "root/a/b/name" can only reach an entry inside the root. Keeps the chain of the
// last path open, so that walking many paths of one tree costs one open per new directory.
// The handles belong to this object and stay valid until the next call or its destruction.
class TRootedWalker
{
public:
    // root: the directory path the paths lie below, without a trailing "/" ("" stands for "/").
    TRootedWalker(TFileSystem& fs, std::string root);
    ~TRootedWalker();
    TRootedWalker(const TRootedWalker&) = delete;
    TRootedWalker& operator=(const TRootedWalker&) = delete;

    // The open directory that holds path and the path's last name. For the root itself the
    // root's parent is opened by its path (the root was chosen by the user). kNoDir when a
    // directory on the way is missing, is a link or cannot be opened, or when path does not lie
    // below the root. With create, missing directories on the way are made.
    TDirHandle ParentOf(const std::string& path, std::string& name, int& error,
                        bool create = false);

private:
    void CloseFrom(size_t depth);

    TFileSystem& fs_;
    std::string root_;
    TDirHandle rootParent_ = kNoDir;
    std::vector<std::string> names_;  // the open chain below the root: names_[i] ...
    std::vector<TDirHandle> handles_; // ... and its handle; handles_[0] is the root itself
};

// The message of an errno value.
std::string ErrorText(int error);

} // namespace vm
