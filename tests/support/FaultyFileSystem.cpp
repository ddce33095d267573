#include "support/FaultyFileSystem.h"

#include "support/FaultyStream.h"

#include <algorithm>
#include <cerrno>

namespace vmtest {

vm::TDirHandle FaultyFileSystem::Opened(vm::TDirHandle h, const std::string& path)
{
    if (h != vm::kNoDir) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++OpenDirectories;
        MostOpenDirectories = std::max(MostOpenDirectories, OpenDirectories);
        paths_[h] = path;
    }
    return h;
}

std::string FaultyFileSystem::PathOf(vm::TDirHandle h)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = paths_.find(h);
    return it == paths_.end() ? std::string() : it->second;
}

bool FaultyFileSystem::Injected(const char* op, const std::string& path, int& error)
{
    int injected = Inject ? Inject(op, path) : 0;
    if (injected != 0)
        error = injected;
    return injected != 0;
}

vm::TDirHandle FaultyFileSystem::OpenDirectory(const std::string& path, int& error)
{
    if (Injected("open", path, error))
        return vm::kNoDir;
    std::string own =
        path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    return Opened(real_.OpenDirectory(path, error), own);
}

vm::TDirHandle FaultyFileSystem::OpenDirectoryAt(vm::TDirHandle dir, const std::string& name,
                                                 int& error)
{
    if (UnopenableDirectories.count(name)) {
        error = EACCES;
        return vm::kNoDir;
    }
    std::string path = PathOf(dir);
    path = (path == "/" ? "" : path) + "/" + name;
    if (Injected("openat", path, error))
        return vm::kNoDir;
    return Opened(real_.OpenDirectoryAt(dir, name, error), path);
}

void FaultyFileSystem::CloseDirectory(vm::TDirHandle dir)
{
    if (dir != vm::kNoDir) {
        std::lock_guard<std::mutex> lock(mutex_);
        --OpenDirectories;
        paths_.erase(dir);
    }
    real_.CloseDirectory(dir);
}

bool FaultyFileSystem::StatDirectory(vm::TDirHandle dir, vm::TFileInfo& info, int& error)
{
    return real_.StatDirectory(dir, info, error);
}

bool FaultyFileSystem::ListDirectory(vm::TDirHandle dir, std::vector<vm::TFileInfo>& entries,
                                     size_t& count, int& error, std::stop_token stop)
{
    int injected = 0;
    bool failing = Injected("list", PathOf(dir), injected);
    bool ok = real_.ListDirectory(dir, entries, count, error, stop);
    if (failing) {
        count /= 2;
        error = injected;
        ok = false;
    }
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i) {
        if (VanishingNames.count(entries[i].Name))
            continue;
        if (OtherDeviceNames.count(entries[i].Name))
            entries[i].Device += 1000;
        std::swap(entries[kept++], entries[i]);
    }
    count = kept;
    return ok;
}

bool FaultyFileSystem::StatAt(vm::TDirHandle dir, const std::string& name, vm::TFileInfo& info,
                              int& error)
{
    return real_.StatAt(dir, name, info, error);
}

int FaultyFileSystem::FindExact(const std::string& path, vm::TFileInfo& first)
{
    int n = real_.FindExact(path, first);
    auto it = MatchCounts.find(path);
    return it == MatchCounts.end() ? n : it->second;
}

bool FaultyFileSystem::RemoveAt(vm::TDirHandle dir, const std::string& name, bool directory,
                                int& error)
{
    auto inDir = NamesInReadOnlyDirectory.find(name);
    if (ReadOnlyNames.count(name) || (inDir != NamesInReadOnlyDirectory.end() &&
                                      std::find(ClearedReadOnly.begin(), ClearedReadOnly.end(),
                                                inDir->second) == ClearedReadOnly.end())) {
        error = EACCES;
        return false;
    }
    if (!real_.RemoveAt(dir, name, directory, error))
        return false;
    Removed.push_back(name);
    return true;
}

bool FaultyFileSystem::SetReadOnlyAt(vm::TDirHandle dir, const std::string& name, bool readOnly,
                                     int& error)
{
    if (!readOnly) {
        ClearedReadOnly.push_back(name);
        ReadOnlyNames.erase(name);
    }
    return real_.SetReadOnlyAt(dir, name, readOnly, error);
}

bool FaultyFileSystem::SetCompressedAt(vm::TDirHandle dir, const std::string& name, bool compressed,
                                       int& error)
{
    if (CompressionError) {
        error = CompressionError;
        return false;
    }
    return real_.SetCompressedAt(dir, name, compressed, error);
}

bool FaultyFileSystem::StatPath(const std::string& path, vm::TFileInfo& info, int& error)
{
    return !Injected("stat", path, error) && real_.StatPath(path, info, error);
}

bool FaultyFileSystem::MakeDirectory(const std::string& path, int& error)
{
    return !Injected("mkdir", path, error) && real_.MakeDirectory(path, error);
}

bool FaultyFileSystem::RemoveFile(const std::string& path, int& error)
{
    return !Injected("remove", path, error) && real_.RemoveFile(path, error);
}

bool FaultyFileSystem::RemoveDirectory(const std::string& path, int& error)
{
    return !Injected("rmdir", path, error) && real_.RemoveDirectory(path, error);
}

bool FaultyFileSystem::RenameFile(const std::string& from, const std::string& to, bool replace,
                                  int& error)
{
    return !Injected("rename", to, error) && real_.RenameFile(from, to, replace, error);
}

std::unique_ptr<vm::TFileStream> FaultyFileSystem::CreateFile(const std::string& path)
{
    int error = 0;
    if (Injected("create", path, error))
        throw vm::EFOpenError("Cannot create file " + path + ": " + vm::ErrorText(error));
    std::unique_ptr<vm::TFileStream> file;
    if (DiskSpace < 0)
        file = real_.CreateFile(path);
    else
        file = std::make_unique<DiskFullFileStream>(path, DiskSpace);
    if (AfterCreate)
        AfterCreate(path);
    return file;
}

bool FaultyFileSystem::MakeDirectoryAt(vm::TDirHandle dir, const std::string& name, int& error)
{
    return real_.MakeDirectoryAt(dir, name, error);
}

bool FaultyFileSystem::CopyFileAt(vm::TDirHandle fromDir, const std::string& fromName,
                                  vm::TDirHandle toDir, const std::string& toName, int& error)
{
    auto failing = FailingCopies.find(fromName);
    if (failing != FailingCopies.end()) {
        error = failing->second;
        return false;
    }
    if (!real_.CopyFileAt(fromDir, fromName, toDir, toName, error))
        return false;
    Copied.push_back(fromName);
    return true;
}

} // namespace vmtest
