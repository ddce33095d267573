// Opening a log, building it, reading records and paths, and the header and single-field writers.
// Tags live in DirStorageTags.cpp, the scan in LogScan.cpp, the operations on the disk in
// LogDiskOperations.cpp.
#include "core/DirStorage.h"

#include "core/ExtendedLogFormat.h"
#include "core/LogChecks.h"
#include "core/LogDiskOperations.h"
#include "core/LogWalk.h"

#include <algorithm>
#include <cstring>

namespace vm {

TDirStorage::TDirStorage(TStream& stream) : stream_(stream)
{
    ReadHeader();
    if (header_.TagListOffset != 0)
        LoadTagNames();
}

void TDirStorage::ReadHeader()
{
    header_ = TLogHeader();
    firstOffset_ = kLogHeaderSize;
    tagMaskAt_ = deletedTotalAt_ = 0;
    hasOwners_ = false;
    extendedVersion_ = 0;
    recordCount_ = 0;
    logTime_ = TLogTime();
    layout_ = &LayoutOf(DetectLogFormat(stream_));
    try {
        if (layout_->Format == TLogFormat::Extended) {
            uint8_t h[kExtendedLogHeaderSize] = {};
            stream_.ReadAt(0, h, kExtendedLogHeaderSize);
            const TExtendedLogHeader x = TExtendedLogHeader::Decode(h);
            extendedVersion_ = x.Version;
            // Another version, or a header that does not hold our fields, is not read: the log
            // then has no records.
            if (x.Version != kExtendedLogVersion || x.HeaderLength < kExtendedLogHeaderSize) {
                std::memcpy(header_.Signature.data(), h, kSignatureLength);
                firstOffset_ = std::max<int64_t>(stream_.Size(), kExtendedLogHeaderSize);
                return;
            }
            AdoptExtendedHeader(x);
            return;
        }
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
    // The tag mask and the deleted total are written only where the extension holds them; with
    // a shorter extension those bytes belong to the first record.
    if (header_.ExtensionLength >= hdr::TagMask + 4 - kLogHeaderBase)
        tagMaskAt_ = hdr::TagMask;
    if (header_.ExtensionLength >= kLogExtensionLength)
        deletedTotalAt_ = hdr::DeletedTotal;
}

void TDirStorage::AdoptExtendedHeader(const TExtendedLogHeader& x)
{
    layout_ = &LayoutOf(TLogFormat::Extended);
    header_ = TLogHeader();
    std::memcpy(header_.Signature.data(), kExtendedLogSignature, kSignatureLength - 1);
    header_.Signature[kSignatureLength - 1] = 0x1A;
    extendedVersion_ = x.Version;
    firstOffset_ = x.HeaderLength;
    logTime_ = {x.LogSeconds, x.LogNanoseconds, false, x.LogNanoseconds < 1000000000u};
    header_.LogDate = LocalDateTimeOf(logTime_, clock_);
    header_.TagListOffset = x.TagListOffset;
    header_.TagMask = x.TagMask;
    header_.DeletedTotal = x.DeletedTotal;
    tagMaskAt_ = xhdr::TagMask;
    deletedTotalAt_ = xhdr::DeletedTotal;
    hasOwners_ = (x.Flags & kOwnersRecorded) != 0;
    recordCount_ = x.RecordCount;
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

TDeleteResult TDirStorage::DeleteTree(int64_t offset, const TDeleteOptions& options)
{
    return DeleteTreeOnDisk(*this, Disk(), offset, options, onStatus_);
}

void TDirStorage::VerifyTree(int64_t offset, const TStatusEvent& handler)
{
    VerifyTreeOnDisk(*this, Disk(), offset, handler);
}

void TDirStorage::BuildLog(const std::vector<TScanRoot>& roots)
{
    TScanOutcome outcome = ScanIntoLog(stream_, roots, Disk(), onStatus_, pump_, scanOptions_);
    // What was written is known without reading it back (the stream may not be readable).
    tagNames_.clear();
    tagMaskAt_ = deletedTotalAt_ = 0;
    if (outcome.Format == TLogFormat::Extended) {
        AdoptExtendedHeader(outcome.Extended);
    } else {
        layout_ = &LayoutOf(TLogFormat::Exact);
        firstOffset_ = kLogHeaderSize;
        header_ = outcome.Header;
        hasOwners_ = false;
        extendedVersion_ = 0;
        recordCount_ = 0;
        logTime_ = TLogTime();
        tagMaskAt_ = hdr::TagMask;
        deletedTotalAt_ = hdr::DeletedTotal;
    }
    stopped_ = outcome.Stopped;
    passedExactLimit_ = outcome.PassedExactLimit;
    unreadable_ = std::move(outcome.Unreadable);
}

// ---- Reading ----------------------------------------------------------------------------------

bool TDirStorage::ReadRecord(int64_t offset, TLogRecord& record, std::string& name,
                             std::string* why)
{
    std::string reason;
    bool ok = ReadCheckedRecord(stream_, *layout_, &clock_, firstOffset_, stream_.Size(), offset,
                                record, name, reason);
    if (why)
        *why = std::move(reason);
    return ok;
}

bool TDirStorage::ReadFixedAt(int64_t offset, TLogRecord& record)
{
    std::string name;
    return ReadRecord(offset, record, name);
}

bool TDirStorage::ReadNode(int64_t offset, TDirNode& node, std::string& name)
{
    TLogRecord r;
    if (!ReadRecord(offset, r, name))
        return false;
    node = NodeOf(r);
    return true;
}

bool TDirStorage::ReadNodeUndated(int64_t offset, TDirNode& node, std::string& name)
{
    TLogRecord r;
    std::string why;
    if (!ReadCheckedRecord(stream_, *layout_, nullptr, firstOffset_, stream_.Size(), offset, r,
                           name, why))
        return false;
    node = NodeOf(r);
    return true;
}

std::string TDirStorage::GetFullPath(int64_t offset)
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

int64_t TDirStorage::FindPath(const std::string& path)
{
    int64_t match = kNoOffset;
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
    int64_t current = match;
    for (size_t at = matchLength; at <= path.size();) {
        size_t slash = path.find('/', at);
        std::string part =
            path.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
        int64_t found = kNoOffset;
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
    // The mask is written only where the header holds it.
    if (!HasTagList() || tagMaskAt_ == 0)
        return;
    uint8_t b[4];
    PutU32(b, mask);
    WriteField(tagMaskAt_, b, 4);
    header_.TagMask = mask;
}

int64_t TDirStorage::GetDeletedTotal() const
{
    return deletedTotalAt_ != 0 ? header_.DeletedTotal : 0;
}

void TDirStorage::AddDeletedTotal(int64_t amount)
{
    if (deletedTotalAt_ == 0)
        return;
    uint8_t b[8];
    PutI64(b, header_.DeletedTotal + amount);
    WriteField(deletedTotalAt_, b, 8);
    header_.DeletedTotal += amount;
}

bool TDirStorage::WriteRecordField(int64_t offset, int field, const void* bytes, int64_t n)
{
    TLogRecord r;
    if (!ReadFixedAt(offset, r))
        return false;
    WriteField(offset + field, bytes, n);
    return true;
}

void TDirStorage::WriteAttributes(int64_t offset, uint32_t attributes)
{
    uint8_t b[4];
    PutU32(b, attributes);
    WriteRecordField(offset, layout_->Attributes, b, 4);
}

void TDirStorage::WriteAllocated(int64_t offset, int64_t value)
{
    uint8_t b[8];
    layout_->PutSpace(b, value);
    WriteRecordField(offset, layout_->Allocated, b, layout_->SpaceWidth);
}

} // namespace vm
