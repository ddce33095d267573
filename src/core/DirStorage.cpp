// Opening a log, building it, reading records and paths, and the header and single-field writers.
// Tags live in DirStorageTags.cpp, the scan in LogScan.cpp, the operations on the disk in
// LogDiskOperations.cpp.
#include "core/DirStorage.h"

#include "core/LogChecks.h"
#include "core/LogDiskOperations.h"
#include "core/LogWalk.h"

namespace vm {

TDirStorage::TDirStorage(TStream& stream) : stream_(stream)
{
    try {
        if (stream_.Size() > 15) {
            uint8_t h[kLogHeaderSize] = {};
            stream_.ReadAt(0, h, kLogHeaderBase);
            uint16_t extension = GetU16(h + hdr::ExtensionLength);
            // A longer extension than ours is skipped: its first 24 bytes are our fields.
            int want = extension < kLogExtensionLength ? extension : kLogExtensionLength;
            stream_.ReadAt(kLogHeaderBase, h + kLogHeaderBase, want);
            header_ = TLogHeader::Decode(h);
            firstOffset_ = kLogHeaderBase + extension;
        }
    } catch (const EStreamError&) {
        header_ = TLogHeader();
        firstOffset_ = kLogHeaderSize;
    }
    // The deleted total is written only where the extension holds all of it; with a shorter
    // extension those bytes belong to the first record.
    extendedHeader_ = header_.ExtensionLength >= kLogExtensionLength;
    if (header_.TagListOffset != 0)
        LoadTagNames();
}

TDirStorage::~TDirStorage() = default;

void TDirStorage::SetStatusEvent(TStatusEvent handler)
{
    onStatus_ = std::move(handler);
}
void TDirStorage::SetMessagePump(TMessagePump pump)
{
    pump_ = std::move(pump);
}

TFileSystem& TDirStorage::Disk()
{
    if (!fs_) {
        ownFs_ = std::make_unique<TPosixFileSystem>();
        fs_ = ownFs_.get();
    }
    return *fs_;
}

// ---- Building, and the disk the log describes -------------------------------------------------

TDeleteResult TDirStorage::DeleteTree(int32_t offset, const TDeleteOptions& options)
{
    return DeleteTreeOnDisk(*this, Disk(), offset, options, onStatus_);
}

void TDirStorage::VerifyTree(int32_t offset, const TStatusEvent& handler)
{
    VerifyTreeOnDisk(*this, Disk(), offset, handler);
}

void TDirStorage::BuildLog(const std::vector<TScanRoot>& roots)
{
    TScanOutcome outcome = ScanIntoLog(stream_, roots, Disk(), onStatus_, pump_, scanOptions_);
    firstOffset_ = kLogHeaderSize;
    header_ = outcome.Header;
    extendedHeader_ = true;
    tagNames_.clear();
    stopped_ = outcome.Stopped;
    unreadable_ = std::move(outcome.Unreadable);
}

// ---- Reading ----------------------------------------------------------------------------------

bool TDirStorage::ReadRecord(int32_t offset, TRecordFixed& fixed, std::string& name,
                             std::string* why)
{
    std::string reason;
    bool ok = ReadCheckedRecord(stream_, firstOffset_, stream_.Size(), offset, fixed, name, reason);
    if (why)
        *why = std::move(reason);
    return ok;
}

bool TDirStorage::ReadFixedAt(int32_t offset, TRecordFixed& fixed)
{
    std::string name;
    return ReadRecord(offset, fixed, name);
}

TDirNode NodeOf(const TRecordFixed& r)
{
    TDirNode node;
    node.Kind = r.Kind;
    node.Level = r.Level;
    node.Attributes = r.Attributes;
    node.Created = UnpackTime(r.Created);
    node.Accessed = UnpackTime(r.Accessed);
    node.Modified = UnpackTime(r.Modified);
    node.Size = DecodeReal48Rounded(r.Size.data());
    node.Allocated = DecodeReal48Rounded(r.Allocated.data());
    node.ParentOffset = r.ParentOffset;
    node.NextOffset = r.NextOffset;
    node.NextSiblingOffset = r.NextSiblingOffset;
    node.NextDirOffset = r.NextDirOffset;
    node.NextTaggedOffset = r.NextTaggedOffset;
    node.PrevTaggedOffset = r.PrevTaggedOffset;
    node.Tags = r.Tags;
    return node;
}

bool TDirStorage::ReadNode(int32_t offset, TDirNode& node, std::string& name)
{
    TRecordFixed r;
    if (!ReadRecord(offset, r, name))
        return false;
    node = NodeOf(r);
    return true;
}

std::string TDirStorage::GetFullPath(int32_t offset)
{
    std::string path;
    TDirNode node;
    std::string name;
    for (TLogWalk up = TLogWalk::Ancestors(*this, offset); up.Next(node, name);) {
        if (node.Level == 0) {
            // The root's name ends with its "/": "/data/" stands in front as "/data", "/" as "".
            if (!name.empty() && name.back() == '/')
                name.pop_back();
            path = path.empty() ? (name.empty() ? std::string("/") : name) : name + "/" + path;
            break;
        }
        path = path.empty() ? name : name + "/" + path;
    }
    return path;
}

int32_t TDirStorage::FindPath(const std::string& path)
{
    int32_t match = kNoOffset;
    size_t matchLength = 0;
    TDirNode node;
    std::string name;
    for (TLogWalk roots = TLogWalk::Roots(*this); roots.Next(node, name);) {
        if (!name.empty() && path.compare(0, name.size(), name) == 0) {
            match = roots.Offset();
            matchLength = name.size();
        }
    }
    if (match == kNoOffset || matchLength >= path.size())
        return kNoOffset;
    int32_t current = match;
    for (size_t at = matchLength; at <= path.size();) {
        size_t slash = path.find('/', at);
        std::string part =
            path.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
        int32_t found = kNoOffset;
        for (TLogWalk children = TLogWalk::Children(*this, current); children.Next(node, name);) {
            if (name == part) {
                found = children.Offset();
                break;
            }
        }
        if (found == kNoOffset)
            return kNoOffset;
        current = found;
        if (slash == std::string::npos)
            break;
        at = slash + 1;
    }
    return GetFullPath(current) == path ? current : kNoOffset;
}

// ---- Header and single fields -----------------------------------------------------------------

void TDirStorage::WriteField(int64_t at, const void* bytes, int64_t n)
{
    stream_.Seek(at, TSeekOrigin::Begin);
    stream_.Write(bytes, n);
}

uint32_t TDirStorage::GetTagMask() const
{
    return HasTagList() ? header_.TagMask : 0;
}

void TDirStorage::SetTagMask(uint32_t mask)
{
    // The mask is written only where the header's extension holds it.
    if (!HasTagList() || header_.ExtensionLength < hdr::TagMask + 4 - kLogHeaderBase)
        return;
    uint8_t b[4];
    PutU32(b, mask);
    WriteField(hdr::TagMask, b, 4);
    header_.TagMask = mask;
}

int64_t TDirStorage::GetDeletedTotal() const
{
    return extendedHeader_ ? header_.DeletedTotal : 0;
}

void TDirStorage::AddDeletedTotal(int64_t amount)
{
    if (!extendedHeader_)
        return;
    uint8_t b[8];
    PutI64(b, header_.DeletedTotal + amount);
    WriteField(hdr::DeletedTotal, b, 8);
    header_.DeletedTotal += amount;
}

bool TDirStorage::WriteRecordField(int32_t offset, int field, const void* bytes, int64_t n)
{
    TRecordFixed r;
    if (!ReadFixedAt(offset, r))
        return false;
    WriteField(offset + field, bytes, n);
    return true;
}

void TDirStorage::WriteAttributes(int32_t offset, uint32_t attributes)
{
    uint8_t b[4];
    PutU32(b, attributes);
    WriteRecordField(offset, rec::Attributes, b, 4);
}

void TDirStorage::WriteAllocated(int32_t offset, int64_t value)
{
    uint8_t b[6];
    EncodeReal48(value, b);
    WriteRecordField(offset, rec::Allocated, b, 6);
}

} // namespace vm
