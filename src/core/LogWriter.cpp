#include "core/LogWriter.h"

#include <cstring>

namespace vm {

namespace {
constexpr uint16_t kMaxLevel = 0xFFFF;

// A time of a file as the format keeps it: local seconds for the exact format, Unix seconds
// and nanoseconds for the extended one.
TLogTime StoredTime(const TFileTime& t, TLogFormat format)
{
    if (format == TLogFormat::Extended)
        return {t.UnixSeconds, static_cast<uint32_t>(t.Nanoseconds), false, true};
    const int32_t packed =
        PackSecondsOrZero(t.LocalSeconds + static_cast<int64_t>(kUnixEpochDays) * 86400);
    return {UnpackSeconds(packed), 0, true, packed != 0};
}

// The moment a root record is written, as the format keeps it.
TLogTime StoredTime(TDateTime now, TLogFormat format)
{
    if (format == TLogFormat::Extended)
        return {LocalDateTimeToUnix(now), 0, false, true};
    const int32_t packed = PackTimeOrZero(now);
    return {UnpackSeconds(packed), 0, true, packed != 0};
}

int32_t Packed(const TLogTime& t)
{
    return t.Stored ? PackSecondsOrZero(t.Seconds) : 0;
}

void EncodeExact(const TLogRecord& r, uint8_t out[kRecordFixedSize])
{
    TRecordFixed f;
    f.RecordLength = r.RecordLength;
    f.SelfOffset = static_cast<int32_t>(r.SelfOffset);
    f.Level = r.Level;
    f.ParentOffset = static_cast<int32_t>(r.ParentOffset);
    f.NextOffset = static_cast<int32_t>(r.NextOffset);
    f.Kind = r.Kind;
    f.Attributes = r.Attributes;
    f.Created = Packed(r.CreatedTime);
    f.Accessed = Packed(r.AccessedTime);
    f.Modified = Packed(r.ModifiedTime);
    EncodeReal48(r.Size, f.Size.data());
    EncodeReal48(r.Allocated, f.Allocated.data());
    f.Encode(out);
}
} // namespace

TLogWriter::TLogWriter(TStream& stream, TDateTime logDate, int64_t maxSize)
    : stream_(stream), layout_(LayoutOf(TLogFormat::Exact)), maxSize_(maxSize), clock_(Now),
      header_(TLogHeader::New(logDate))
{
    WriteHeader();
}

TLogWriter::TLogWriter(TStream& stream, TDateTime logDate, TLogFormat format)
    : stream_(stream), layout_(LayoutOf(format)),
      maxSize_(format == TLogFormat::Extended ? INT64_MAX : kMaxLogSize), clock_(Now),
      header_(TLogHeader::New(logDate))
{
    extended_.LogSeconds = LocalDateTimeToUnix(logDate);
    WriteHeader();
}

void TLogWriter::WriteHeader()
{
    uint8_t h[kExtendedLogHeaderSize];
    const bool extended = layout_.Format == TLogFormat::Extended;
    writePos_ = extended ? kExtendedLogHeaderSize : kLogHeaderSize;
    lastDirOffset_ = writePos_;
    if (extended)
        extended_.Encode(h);
    else
        header_.Encode(h);
    stream_.SetSize(0);
    stream_.Seek(0, TSeekOrigin::Begin);
    stream_.Write(h, writePos_);
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

int64_t TLogWriter::StoredValue(int64_t value) const
{
    if (layout_.SpaceWidth == 8)
        return value;
    uint8_t b[6];
    EncodeReal48(value, b);
    return DecodeReal48Rounded(b);
}

int64_t TLogWriter::WriteRecord(TLogRecord& r, const std::string& name)
{
    size_t length = layout_.FixedSize + name.size() + 1;
    if (writePos_ + static_cast<int64_t>(length) > maxSize_)
        throw ELogLimit("The log would pass " + std::to_string(maxSize_) +
                        " bytes, the limit of the offsets a log can hold; it stops after " +
                        std::to_string(records_) + " records. Log fewer or smaller paths.");
    r.RecordLength = static_cast<uint16_t>(length);
    r.SelfOffset = writePos_;
    r.NextOffset = writePos_ + static_cast<int64_t>(length);
    uint8_t buffer[kExtendedMaxRecordLength];
    if (layout_.Format == TLogFormat::Extended)
        EncodeExtendedRecord(r, buffer);
    else
        EncodeExact(r, buffer);
    std::memcpy(buffer + layout_.FixedSize, name.data(), name.size());
    buffer[layout_.FixedSize + name.size()] = 0;
    if (!atEnd_)
        stream_.Seek(writePos_, TSeekOrigin::Begin);
    stream_.Write(buffer, static_cast<int64_t>(length));
    atEnd_ = true;
    writePos_ += static_cast<int64_t>(length);
    lastRecord_ = r.SelfOffset;
    ++records_;
    return r.SelfOffset;
}

void TLogWriter::PatchOffset(int64_t record, int field, int64_t value)
{
    uint8_t b[8];
    layout_.PutLink(b, value);
    stream_.Seek(record + field, TSeekOrigin::Begin);
    stream_.Write(b, layout_.LinkWidth);
    atEnd_ = false;
}

void TLogWriter::LinkSibling(int64_t record, size_t level)
{
    if (levelLast_.size() <= level)
        levelLast_.resize(level + 1, kNoOffset);
    int64_t last = levelLast_[level];
    if (last != kNoOffset && last != record)
        PatchOffset(last, layout_.NextSiblingOffset, record);
    levelLast_[level] = record;
    for (size_t i = level + 1; i < levelsInUse_; ++i)
        levelLast_[i] = kNoOffset;
    levelsInUse_ = level + 1;
}

void TLogWriter::LinkDirectory(int64_t record)
{
    PatchOffset(lastDirOffset_, layout_.NextDirOffset, record);
    lastDirOffset_ = record;
}

void TLogWriter::BeginRoot(const std::string& path, int32_t unit)
{
    if (path.size() > static_cast<size_t>(layout_.MaxNameLength))
        throw EScanError("The path " + path + " is longer than " +
                         std::to_string(layout_.MaxNameLength) + " bytes and does not fit a log");
    if (!open_.empty())
        throw EScanError("A root began inside another root");
    TLogRecord r;
    r.Level = 0;
    r.Kind = kKindDirectory;
    r.Attributes = faDirectory;
    r.CreatedTime = r.AccessedTime = r.ModifiedTime = StoredTime(clock_(), layout_.Format);
    int64_t self = WriteRecord(r, path);
    lastRoot_ = self;
    LinkSibling(self, 0);
    if (roots_++ > 0)
        LinkDirectory(self);
    unit_ = unit > 0 ? unit : 0;
    open_.push_back({self, 0, 0, 0, 0});
}

void TLogWriter::RootFacts(const TFileInfo& self)
{
    // The exact format keeps no owners; an extended root gets those of the directory it names.
    if (layout_.Format != TLogFormat::Extended || lastRoot_ == kNoOffset)
        return;
    uint8_t b[12];
    PutU32(b, self.Owner);
    PutU32(b + 4, self.Group);
    PutU32(b + 8, self.Mode);
    stream_.Seek(lastRoot_ + xrec::Owner, TSeekOrigin::Begin);
    stream_.Write(b, sizeof b);
    atEnd_ = false;
}

void TLogWriter::Entry(const TFileInfo& info, bool repeatLink)
{
    if (open_.empty())
        throw EScanError("An entry came outside every root");
    size_t level = open_.size();
    if (level > kMaxLevel)
        throw EScanError("The tree is deeper than " + std::to_string(kMaxLevel) +
                         " levels, more than a log can hold");
    if (info.Name.size() > static_cast<size_t>(layout_.MaxNameLength))
        throw EScanError("The name " + info.Name + " is longer than " +
                         std::to_string(layout_.MaxNameLength) + " bytes and does not fit a log");
    bool directory = info.IsDirectory();
    int64_t allocated = AllocatedOf(info, repeatLink, unit_);
    int64_t size = directory ? 0 : info.Size;
    TLogRecord r;
    r.Level = static_cast<uint16_t>(level);
    r.ParentOffset = open_.back().Record;
    r.Kind = directory ? kKindDirectory : kKindFile;
    r.Attributes = info.Attributes;
    r.CreatedTime = StoredTime(info.Created, layout_.Format);
    r.AccessedTime = StoredTime(info.Accessed, layout_.Format);
    r.ModifiedTime = StoredTime(info.Modified, layout_.Format);
    r.Size = size;
    r.Allocated = allocated;
    r.Owner = info.Owner;
    r.Group = info.Group;
    r.Mode = info.Mode;
    int64_t self = WriteRecord(r, info.Name);
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
    // Size and Allocated lie side by side in both formats.
    uint8_t totals[16];
    layout_.PutSpace(totals, d.StoredSize + d.Size);
    layout_.PutSpace(totals + layout_.SpaceWidth, d.StoredAllocated + d.Allocated);
    stream_.Seek(d.Record + layout_.Size, TSeekOrigin::Begin);
    stream_.Write(totals, 2 * layout_.SpaceWidth);
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
        PatchOffset(lastRecord_, layout_.NextOffset, kNoOffset);
    header_.TagListOffset = writePos_;
    uint8_t h[kExtendedLogHeaderSize];
    int headerSize = kLogHeaderSize;
    if (layout_.Format == TLogFormat::Extended) {
        extended_.TagListOffset = writePos_;
        extended_.RecordCount = records_;
        extended_.Encode(h);
        headerSize = kExtendedLogHeaderSize;
    } else {
        header_.Encode(h);
    }
    stream_.Seek(0, TSeekOrigin::Begin);
    stream_.Write(h, headerSize);
    stream_.Seek(writePos_, TSeekOrigin::Begin);
    atEnd_ = true;
    stream_.Flush();
}

} // namespace vm
