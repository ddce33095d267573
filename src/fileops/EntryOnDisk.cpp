#include "fileops/EntryOnDisk.h"

#include "core/LogWalk.h"
#include "platform/RootedFileSystem.h"

#include <cerrno>

namespace vm {

TEntryKind EntryKindOf(uint32_t attributes)
{
    if (attributes & faDirectory)
        return TEntryKind::Directory;
    if (attributes & faReparsePoint)
        return TEntryKind::Link;
    if (attributes & faSystem)
        return TEntryKind::Special;
    return TEntryKind::File;
}

std::string EntryKindText(TEntryKind kind)
{
    switch (kind) {
    case TEntryKind::Directory:
        return "a directory";
    case TEntryKind::Link:
        return "a symbolic link";
    case TEntryKind::Special:
        return "a device, fifo or socket";
    case TEntryKind::File:
        break;
    }
    return "a file";
}

int64_t TopLevelOffsetOf(TDirStorage& log, int64_t offset)
{
    TDirNode node;
    std::string name;
    TLogWalk up = TLogWalk::Ancestors(log, offset);
    int64_t top = kNoOffset;
    while (up.Next(node, name))
        top = node.Level == 0 ? up.Offset() : kNoOffset;
    return top;
}

TEntryLocator::TEntryLocator(TDirStorage& log, TFileSystem& fs) : log_(log), fs_(fs) {}

bool TEntryLocator::Locate(int64_t offset, TEntryOnDisk& where)
{
    where = TEntryOnDisk();
    const int64_t top = TopLevelOffsetOf(log_, offset);
    if (top == kNoOffset)
        return false;
    where.Path = log_.GetFullPath(offset);
    where.TopPath = RootWithoutSlash(log_.GetFullPath(top));
    auto& walker = walkers_[top];
    if (!walker)
        walker = std::make_unique<TRootedWalker>(fs_, where.TopPath);
    last_ = walker.get();
    where.Parent = walker->ParentOf(where.Path, where.Name, where.Error);
    if (where.Parent != kNoDir)
        where.Exists = fs_.StatAt(where.Parent, where.Name, where.Info, where.Error);
    return true;
}

} // namespace vm
