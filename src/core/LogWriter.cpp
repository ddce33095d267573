#include "core/LogWriter.h"

#include <cstring>

namespace vm {

namespace {
constexpr uint16_t kMaxLevel = 0xFFFF;

int32_t PackFileTime(const TFileTime& t)
{
    return PackSecondsOrZero(t.LocalSeconds + static_cast<int64_t>(kUnixEpochDays) * 86400);
}

void PutFileTime(uint8_t* out, const TFileTime& t)
{
    PutI64(out, t.UnixSeconds);
    PutU32(out + 8, static_cast<uint32_t>(t.Nanoseconds));
}
} // namespace

// What the writer knows of a record before it is written: for an entry, the facts of the file
// system; for a root, the moment it is written.
struct TLogWriter::TNewRecord
{
    uint16_t Level = 0;
    int64_t ParentOffset = kNoOffset;
    uint8_t Kind = kKindDirectory;
    uint32_t Attributes = 0;
    int64_t Size = 0, Allocated = 0;
    const TFileInfo* Info = nullptr; // nullptr for a root
    TDateTime Now = 0;               // a root's times
};

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
    // The moment to the millisecond, as the exact format's date holds it: logs written within
    // one second still sort in the order they were made.
    extended_.LogSeconds = LocalDateTimeToUnix(logDate);
    TDateTimeParts parts;
    if (DecodeDateTime(logDate, parts))
        extended_.LogNanoseconds = static_cast<uint32_t>(parts.MilliSecond) * 1000000u;
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
    if (unit <= 0)
        return size;
    // Units are nearly always powers of two: a mask then does what a division would.
    const int64_t rest = size >= 0 && (unit & (unit - 1)) == 0 ? size & (unit - 1) : size % unit;
    return rest > 0 ? size + unit - rest : size;
}

int64_t TLogWriter::StoredValue(int64_t value) const
{
    if (layout_.SpaceWidth == 8)
        return value;
    uint8_t b[6];
    EncodeReal48(value, b);
    return DecodeReal48Rounded(b);
}

void TLogWriter::EncodeFixed(const TNewRecord& r, int64_t self, uint16_t length, uint8_t* out) const
{
    if (layout_.Format == TLogFormat::Exact) {
        TRecordFixed f;
        f.RecordLength = length;
        f.SelfOffset = static_cast<int32_t>(self);
        f.Level = r.Level;
        f.ParentOffset = static_cast<int32_t>(r.ParentOffset);
        f.NextOffset = static_cast<int32_t>(self + length);
        f.Kind = r.Kind;
        f.Attributes = r.Attributes;
        if (r.Info) {
            f.Created = PackFileTime(r.Info->Created);
            f.Accessed = PackFileTime(r.Info->Accessed);
            f.Modified = PackFileTime(r.Info->Modified);
        } else {
            f.Created = f.Accessed = f.Modified = PackTimeOrZero(r.Now);
        }
        EncodeReal48(r.Size, f.Size.data());
        EncodeReal48(r.Allocated, f.Allocated.data());
        f.Encode(out);
        return;
    }
    PutU16(out + xrec::RecordLength, length);
    PutI64(out + xrec::SelfOffset, self);
    PutU16(out + xrec::Level, r.Level);
    PutI64(out + xrec::ParentOffset, r.ParentOffset);
    PutI64(out + xrec::NextOffset, self + length);
    // Sibling, directory and tagged links: none yet.
    std::memset(out + xrec::NextSiblingOffset, 0xFF, xrec::Kind - xrec::NextSiblingOffset);
    out[xrec::Kind] = r.Kind;
    PutU32(out + xrec::Attributes, r.Attributes);
    PutU32(out + xrec::Tags, 0);
    PutI64(out + xrec::Size, r.Size);
    PutI64(out + xrec::Allocated, r.Allocated);
    if (r.Info) {
        PutFileTime(out + xrec::Created, r.Info->Created);
        PutFileTime(out + xrec::Accessed, r.Info->Accessed);
        PutFileTime(out + xrec::Modified, r.Info->Modified);
        PutU32(out + xrec::Owner, r.Info->Owner);
        PutU32(out + xrec::Group, r.Info->Group);
        PutU32(out + xrec::Mode, r.Info->Mode);
    } else {
        const TLogTime now{LocalDateTimeToUnix(r.Now), 0, false, true};
        for (int at : {xrec::Created, xrec::Accessed, xrec::Modified})
            PutExtendedTime(out + at, now);
        // Known once the root's directory is looked at (RootFacts).
        PutU32(out + xrec::Owner, kNoOwner);
        PutU32(out + xrec::Group, kNoOwner);
        PutU32(out + xrec::Mode, 0);
    }
}

int64_t TLogWriter::WriteRecord(const TNewRecord& r, const std::string& name)
{
    size_t length = layout_.FixedSize + name.size() + 1;
    if (writePos_ + static_cast<int64_t>(length) > maxSize_)
        throw ELogLimit("The log would pass " + std::to_string(maxSize_) +
                        " bytes, the limit of the offsets a log can hold; it stops after " +
                        std::to_string(records_) + " records. Log fewer or smaller paths.");
    const int64_t self = writePos_;
    uint8_t buffer[kExtendedMaxRecordLength];
    EncodeFixed(r, self, static_cast<uint16_t>(length), buffer);
    std::memcpy(buffer + layout_.FixedSize, name.data(), name.size());
    buffer[layout_.FixedSize + name.size()] = 0;
    if (!atEnd_)
        stream_.Seek(writePos_, TSeekOrigin::Begin);
    stream_.Write(buffer, static_cast<int64_t>(length));
    atEnd_ = true;
    writePos_ += static_cast<int64_t>(length);
    lastRecord_ = self;
    ++records_;
    return self;
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
    TNewRecord r;
    r.Level = 0;
    r.Kind = kKindDirectory;
    r.Attributes = faDirectory;
    r.Now = clock_();
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
    TNewRecord r;
    r.Level = static_cast<uint16_t>(level);
    r.ParentOffset = open_.back().Record;
    r.Kind = directory ? kKindDirectory : kKindFile;
    r.Attributes = info.Attributes;
    r.Size = size;
    r.Allocated = allocated;
    r.Info = &info;
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
