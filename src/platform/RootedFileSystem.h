// A file system confined to one tree: every path it is given is reached from the tree's root one
// name at a time, never through a symbolic link below the root (TRootedWalker), and a path
// outside the tree is refused (EINVAL). Scans, checks and deletions that take paths (a log's
// full paths) run over it, so that a link planted in the tree since it was logged can never
// lead them outside. Calls on open directories pass through to the file system it wraps; the
// calls on whole files by path (those of the reference store and the runs) are refused (EPERM):
// nothing done inside a logged tree uses them.
#pragma once

#include "platform/FileSystem.h"

namespace vm {

class TRootedFileSystem : public TFileSystem
{
public:
    // root: the tree's top-level directory as the user chose it, without a trailing "/"
    // ("" stands for "/"). fs outlives this object. With a base (a directory below or at the
    // root, without a trailing "/"), the paths given are taken below it: "/" is the base and
    // "/a/b" is base + "/a/b", so that a deep directory can be scanned into a log whose root is
    // short.
    TRootedFileSystem(TFileSystem& fs, std::string root, std::string base = {});

    const std::string& Root() const { return root_; }

    // The root itself is opened by its path; anything below it through the walker.
    TDirHandle OpenDirectory(const std::string& path, int& error) override;
    // Counts what stands at exactly path, reached through the walker (a final link is not
    // followed, and neither is one on the way).
    int FindExact(const std::string& path, TFileInfo& first) override;

    TDirHandle OpenDirectoryAt(TDirHandle dir, const std::string& name, int& error) override;
    void CloseDirectory(TDirHandle dir) override;
    bool StatDirectory(TDirHandle dir, TFileInfo& info, int& error) override;
    bool ListDirectory(TDirHandle dir, std::vector<TFileInfo>& entries, size_t& count, int& error,
                       std::stop_token stop) override;
    bool StatAt(TDirHandle dir, const std::string& name, TFileInfo& info, int& error) override;
    bool RemoveAt(TDirHandle dir, const std::string& name, bool directory, int& error) override;
    bool SetReadOnlyAt(TDirHandle dir, const std::string& name, bool readOnly, int& error) override;
    bool SetCompressedAt(TDirHandle dir, const std::string& name, bool compressed,
                         int& error) override;
    bool MakeDirectoryAt(TDirHandle dir, const std::string& name, int& error) override;
    bool CopyFileAt(TDirHandle fromDir, const std::string& fromName, TDirHandle toDir,
                    const std::string& toName, int& error) override;

    bool StatPath(const std::string& path, TFileInfo& info, int& error) override;
    bool MakeDirectory(const std::string& path, int& error) override;
    bool RemoveFile(const std::string& path, int& error) override;
    bool RemoveDirectory(const std::string& path, int& error) override;
    bool RenameFile(const std::string& from, const std::string& to, bool replace,
                    int& error) override;
    std::unique_ptr<TFileStream> CreateFile(const std::string& path) override;

private:
    std::string Real(const std::string& path) const;

    TFileSystem& fs_;
    std::string root_, base_;
    TRootedWalker walker_;
};

// The path without its trailing "/" as TRootedWalker and TRootedFileSystem take a root: "/data/"
// gives "/data", "/" gives "".
std::string RootWithoutSlash(const std::string& path);

} // namespace vm
