#include "platform/RootedFileSystem.h"

#include <cerrno>

namespace vm {

std::string RootWithoutSlash(const std::string& path)
{
    std::string root = path;
    while (!root.empty() && root.back() == '/')
        root.pop_back();
    return root;
}

TRootedFileSystem::TRootedFileSystem(TFileSystem& fs, std::string root, std::string base)
    : fs_(fs), root_(std::move(root)), base_(std::move(base)), walker_(fs_, root_)
{
}

std::string TRootedFileSystem::Real(const std::string& path) const
{
    if (base_.empty())
        return path;
    return path == "/" ? base_ : base_ + path;
}

TDirHandle TRootedFileSystem::OpenDirectory(const std::string& path, int& error)
{
    const std::string wanted = RootWithoutSlash(Real(path));
    if (wanted == root_)
        return fs_.OpenDirectory(root_.empty() ? "/" : root_, error);
    std::string name;
    TDirHandle parent = walker_.ParentOf(wanted, name, error);
    if (parent == kNoDir)
        return kNoDir;
    return fs_.OpenDirectoryAt(parent, name, error);
}

int TRootedFileSystem::FindExact(const std::string& path, TFileInfo& first)
{
    int error = 0;
    std::string name;
    TDirHandle parent = walker_.ParentOf(Real(path), name, error);
    if (parent == kNoDir)
        return 0;
    return fs_.StatAt(parent, name, first, error) ? 1 : 0;
}

TDirHandle TRootedFileSystem::OpenDirectoryAt(TDirHandle dir, const std::string& name, int& error)
{
    return fs_.OpenDirectoryAt(dir, name, error);
}

void TRootedFileSystem::CloseDirectory(TDirHandle dir)
{
    fs_.CloseDirectory(dir);
}

bool TRootedFileSystem::StatDirectory(TDirHandle dir, TFileInfo& info, int& error)
{
    return fs_.StatDirectory(dir, info, error);
}

bool TRootedFileSystem::ListDirectory(TDirHandle dir, std::vector<TFileInfo>& entries,
                                      size_t& count, int& error, std::stop_token stop)
{
    return fs_.ListDirectory(dir, entries, count, error, stop);
}

bool TRootedFileSystem::StatAt(TDirHandle dir, const std::string& name, TFileInfo& info, int& error)
{
    return fs_.StatAt(dir, name, info, error);
}

bool TRootedFileSystem::RemoveAt(TDirHandle dir, const std::string& name, bool directory,
                                 int& error)
{
    return fs_.RemoveAt(dir, name, directory, error);
}

bool TRootedFileSystem::SetReadOnlyAt(TDirHandle dir, const std::string& name, bool readOnly,
                                      int& error)
{
    return fs_.SetReadOnlyAt(dir, name, readOnly, error);
}

bool TRootedFileSystem::SetCompressedAt(TDirHandle dir, const std::string& name, bool compressed,
                                        int& error)
{
    return fs_.SetCompressedAt(dir, name, compressed, error);
}

bool TRootedFileSystem::MakeDirectoryAt(TDirHandle dir, const std::string& name, int& error)
{
    return fs_.MakeDirectoryAt(dir, name, error);
}

bool TRootedFileSystem::CopyFileAt(TDirHandle fromDir, const std::string& fromName,
                                   TDirHandle toDir, const std::string& toName, int& error)
{
    return fs_.CopyFileAt(fromDir, fromName, toDir, toName, error);
}

namespace {
bool Refused(int& error)
{
    error = EPERM;
    return false;
}
} // namespace

bool TRootedFileSystem::StatPath(const std::string&, TFileInfo&, int& error)
{
    return Refused(error);
}

bool TRootedFileSystem::MakeDirectory(const std::string&, int& error)
{
    return Refused(error);
}

bool TRootedFileSystem::RemoveFile(const std::string&, int& error)
{
    return Refused(error);
}

bool TRootedFileSystem::RemoveDirectory(const std::string&, int& error)
{
    return Refused(error);
}

bool TRootedFileSystem::RenameFile(const std::string&, const std::string&, bool, int& error)
{
    return Refused(error);
}

std::unique_ptr<TFileStream> TRootedFileSystem::CreateFile(const std::string& path)
{
    throw EFOpenError("Cannot create file " + path + ": " + ErrorText(EPERM));
}

} // namespace vm
