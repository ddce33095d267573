#include "core/LogWriter.h"

#include <cstring>

namespace vm {

namespace {
constexpr uint16_t kMaxLevel = 0xFFFF;

int64_t StoredValue(int64_t v)
{
    uint8_t b[6];
    EncodeReal48(v, b);
    return DecodeReal48Rounded(b);
}

int32_t PackFileTime(const TFileTime& t)
{
    return PackSecondsOrZero(t.LocalSeconds + static_cast<int64_t>(kUnixEpochDays) * 86400);
}
} // namespace

TLogWriter::TLogWriter(TStream& stream, TDateTime logDate, int64_t maxSize)
    : stream_(stream), maxSize_(maxSize), clock_(Now), header_(TLogHeader::New(logDate))
{
    uint8_t h[kLogHeaderSize];
    header_.Encode(h);
    stream_.SetSize(0);
    stream_.Seek(0, TSeekOrigin::Begin);
    stream_.Write(h, kLogHeaderSize);
}

int64_t TLogWriter::AllocatedOf(const TFileInfo& info, bool repeatLink, int32_t unit)
{
    if (info.IsDirectory())
        return unit; // a directory's own bytes are not counted; it takes one unit
    if (repeatLink)
        return 0;
    // Sparse and compressed files, and links, take what the disk says; nothing rounds it.
    if (info.Attributes & (faSparse | faCompressed | faReparsePoint))
        return info.OnDisk;
    int64_t size = info.Size;
    if (unit > 0 && size % unit > 0)
        return size + unit - size % unit;
    return size;
}

int32_t TLogWriter::WriteRecord(TRecordFixed& fixed, const std::string& name)
{
    size_t length = kRecordFixedSize + name.size() + 1;
    if (writePos_ + static_cast<int64_t>(length) > maxSize_)
        throw EScanError("The log would pass " + std::to_string(maxSize_) +
                         " bytes, the limit of the offsets a log can hold; it stops after " +
                         std::to_string(records_) + " records. Log fewer or smaller paths.");
    fixed.RecordLength = static_cast<uint16_t>(length);
    fixed.SelfOffset = static_cast<int32_t>(writePos_);
    fixed.NextOffset = static_cast<int32_t>(writePos_ + static_cast<int64_t>(length));
    uint8_t buffer[kMaxRecordLength];
    fixed.Encode(buffer);
    std::memcpy(buffer + kRecordFixedSize, name.data(), name.size());
    buffer[kRecordFixedSize + name.size()] = 0;
    if (!atEnd_)
        stream_.Seek(writePos_, TSeekOrigin::Begin);
    stream_.Write(buffer, static_cast<int64_t>(length));
    atEnd_ = true;
    writePos_ += static_cast<int64_t>(length);
    lastRecord_ = fixed.SelfOffset;
    ++records_;
    return fixed.SelfOffset;
}

void TLogWriter::PatchOffset(int32_t record, int field, int32_t value)
{
    uint8_t b[4];
    PutI32(b, value);
    stream_.Seek(record + field, TSeekOrigin::Begin);
    stream_.Write(b, 4);
    atEnd_ = false;
}

void TLogWriter::LinkSibling(int32_t record, size_t level)
{
    if (levelLast_.size() <= level)
        levelLast_.resize(level + 1, kNoOffset);
    int32_t last = levelLast_[level];
    if (last != kNoOffset && last != record)
        PatchOffset(last, rec::NextSiblingOffset, record);
    levelLast_[level] = record;
    for (size_t i = level + 1; i < levelsInUse_; ++i)
        levelLast_[i] = kNoOffset;
    levelsInUse_ = level + 1;
}

void TLogWriter::LinkDirectory(int32_t record)
{
    PatchOffset(lastDirOffset_, rec::NextDirOffset, record);
    lastDirOffset_ = record;
}

void TLogWriter::BeginRoot(const std::string& path, int32_t unit)
{
    if (path.size() > static_cast<size_t>(kMaxNameLength))
        throw EScanError("The path " + path + " is longer than " + std::to_string(kMaxNameLength) +
                         " bytes and does not fit a log");
    if (!open_.empty())
        throw EScanError("A root began inside another root");
    TRecordFixed fixed;
    fixed.Level = 0;
    fixed.Kind = kKindDirectory;
    fixed.Attributes = faDirectory;
    fixed.Created = fixed.Accessed = fixed.Modified = PackTimeOrZero(clock_());
    int32_t self = WriteRecord(fixed, path);
    LinkSibling(self, 0);
    if (roots_++ > 0)
        LinkDirectory(self);
    unit_ = unit > 0 ? unit : 0;
    open_.push_back({self, 0, 0, 0, 0});
}

void TLogWriter::Entry(const TFileInfo& info, bool repeatLink)
{
    if (open_.empty())
        throw EScanError("An entry came outside every root");
    size_t level = open_.size();
    if (level > kMaxLevel)
        throw EScanError("The tree is deeper than " + std::to_string(kMaxLevel) +
                         " levels, more than a log can hold");
    if (info.Name.size() > static_cast<size_t>(kMaxNameLength))
        throw EScanError("The name " + info.Name + " is longer than " +
                         std::to_string(kMaxNameLength) + " bytes and does not fit a log");
    bool directory = info.IsDirectory();
    int64_t allocated = AllocatedOf(info, repeatLink, unit_);
    TRecordFixed fixed;
    fixed.Level = static_cast<uint16_t>(level);
    fixed.ParentOffset = open_.back().Record;
    fixed.Kind = directory ? kKindDirectory : kKindFile;
    fixed.Attributes = info.Attributes;
    fixed.Created = PackFileTime(info.Created);
    fixed.Accessed = PackFileTime(info.Accessed);
    fixed.Modified = PackFileTime(info.Modified);
    int64_t size = directory ? 0 : info.Size;
    EncodeReal48(size, fixed.Size.data());
    EncodeReal48(allocated, fixed.Allocated.data());
    int32_t self = WriteRecord(fixed, info.Name);
    LinkSibling(self, level);
    if (directory) {
        LinkDirectory(self);
        open_.push_back({self, 0, StoredValue(allocated), 0, unit_});
    } else {
        open_.back().Size += size;
        open_.back().Allocated += allocated;
    }
}

void TLogWriter::EndDirectory()
{
    if (open_.empty())
        throw EScanError("A directory was closed that was never opened");
    TOpenDir d = open_.back();
    open_.pop_back();
    uint8_t totals[12];
    EncodeReal48(d.StoredSize + d.Size, totals);
    EncodeReal48(d.StoredAllocated + d.Allocated, totals + 6);
    stream_.Seek(d.Record + rec::Size, TSeekOrigin::Begin);
    stream_.Write(totals, sizeof totals);
    atEnd_ = false;
    if (!open_.empty()) {
        open_.back().Size += d.StartSize + d.Size;
        open_.back().Allocated += d.StartAllocated + d.Allocated;
    }
}

void TLogWriter::Finish()
{
    while (!open_.empty())
        EndDirectory();
    if (lastRecord_ != kNoOffset)
        PatchOffset(lastRecord_, rec::NextOffset, kNoOffset);
    header_.TagListOffset = static_cast<int32_t>(writePos_);
    uint8_t h[kLogHeaderSize];
    header_.Encode(h);
    stream_.Seek(0, TSeekOrigin::Begin);
    stream_.Write(h, kLogHeaderSize);
    stream_.Seek(writePos_, TSeekOrigin::Begin);
    atEnd_ = true;
    stream_.Flush();
}

} // namespace vm
