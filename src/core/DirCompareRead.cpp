// Reading a comparison file: its format, records, full paths and walks. Writing one (the merge
// of two logs) is in DirCompare.cpp.
#include "core/DirCompare.h"

#include "core/CompareChecks.h"
#include "core/LogChecks.h"

#include <algorithm>
#include <cstring>

namespace vm {
TLogFormat TDirCompare::Format()
{
    if (!format_) {
        uint8_t head[kSignatureLength] = {};
        int64_t got = 0;
        try {
            got = stream_.ReadAt(0, head, kSignatureLength);
        } catch (const EStreamError&) {
            got = 0;
        }
        format_ = IsExtendedCompareSignature(head, got) ? TLogFormat::Extended : TLogFormat::Exact;
    }
    return *format_;
}

int64_t TDirCompare::FirstOffset()
{
    return Format() == TLogFormat::Extended ? kExtendedCompareHeaderSize : kCompareFirstOffset;
}

uint16_t TDirCompare::ReadRecordLength(int64_t offset)
{
    try {
        if (offset < 0 || offset >= stream_.Size())
            return 0;
        uint8_t bytes[2];
        if (stream_.ReadAt(offset, bytes, 2) != 2)
            return 0;
        return GetU16(bytes);
    } catch (const EStreamError&) {
        return 0;
    }
}

bool TDirCompare::ReadRecord(int64_t offset, TCompareRecord& record, std::string& name,
                             std::string* why)
{
    name.clear();
    auto fail = [why](std::string reason) {
        if (why)
            *why = std::move(reason);
        return false;
    };
    try {
        const bool extended = Format() == TLogFormat::Extended;
        const int64_t first = FirstOffset();
        const int fixedSize = extended ? kExtendedCompareFixedSize : kCompareFixedSize;
        const int shortest = fixedSize + 1;
        const int64_t size = stream_.Size();
        const uint16_t length = ReadRecordLength(offset);
        if (offset < first || length < shortest)
            return fail(CompareRecordFault(offset, length, size, first, shortest));
        const bool oldVersion = !extended && GetFileVersion() == kCompareVersionWithoutNewLogOffset;
        recordBuffer_.resize(length);
        // A record cut short still gives its fixed part when the file holds that much.
        const int64_t got = stream_.ReadAt(offset, recordBuffer_.data(), length);
        const std::string cut = CompareRecordFault(offset, length, offset + got, first, shortest);
        if (got < fixedSize)
            return fail(cut);
        record = extended ? DecodeExtendedCompareFixed(recordBuffer_.data(), clock_)
                          : DecodeCompareFixed(recordBuffer_.data());
        if (oldVersion)
            record.NewLogOffset = 0;
        if (!cut.empty())
            return fail(cut);
        const char* text = reinterpret_cast<const char*>(recordBuffer_.data()) + fixedSize;
        const size_t room = length - fixedSize;
        name.assign(text, strnlen(text, room));
        return true;
    } catch (const EStreamError& e) {
        return fail(e.what());
    }
}

std::string TDirCompare::GetFullPath(int64_t offset)
{
    const int64_t first = FirstOffset();
    std::vector<std::string> names; // from the record up to its top-level path
    TCompareRecord r;
    std::string name;
    int64_t at = offset;
    while (ReadRecord(at, r, name)) {
        if (r.Level == 0) {
            if (!name.empty())
                name.pop_back(); // the top-level path's trailing "/"
            names.push_back(std::move(name));
            break;
        }
        names.push_back(std::move(name));
        const int64_t parent = r.ParentOffset == kNoOffset ? first : r.ParentOffset;
        if (parent >= at) // parents come before their entries: anything else is damage
            break;
        at = parent;
    }
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (it != names.rbegin())
            path += '/';
        path += *it;
    }
    if (path.empty() && !names.empty())
        path = "/"; // the top-level path "/" itself
    return path;
}

int TDirCompare::GetFileVersion()
{
    if (version_)
        return *version_;
    int version = 0;
    try {
        if (Format() == TLogFormat::Extended) {
            uint8_t bytes[2] = {};
            version_ = stream_.ReadAt(14, bytes, 2) == 2 ? GetU16(bytes) : 0;
            return *version_;
        }
        uint8_t header[16] = {};
        const int64_t got = stream_.ReadAt(0, header, sizeof header);
        for (int at : kCompareVersionChars) {
            if (got <= at || header[at] < '0' || header[at] > '9') {
                version = 0;
                break;
            }
            version = version * 10 + (header[at] - '0');
        }
    } catch (const EStreamError&) {
        version = 0;
    }
    version_ = version;
    return version;
}

int64_t TDirCompare::ForwardLink(int64_t from, int64_t link)
{
    return CompareLinkFault(from, link, stream_.Size(), FirstOffset()).empty() ? link : kNoOffset;
}

int64_t TDirCompare::FirstEntry(int64_t offset, const TCompareRecord& directory)
{
    const int64_t next = ForwardLink(offset, directory.NextOffset);
    TCompareRecord r;
    std::string name;
    if (next == kNoOffset || !ReadRecord(next, r, name))
        return kNoOffset;
    return (r.Level == directory.Level + 1 && r.ParentOffset == offset) ? next : kNoOffset;
}

TCompareWalkEnd WalkRecords(TDirCompare& file, const TCompareVisitor& visit)
{
    TCompareWalkEnd end;
    const int64_t size = file.FileSize();
    TCompareRecord r;
    std::string name, why;
    const int64_t first = file.FirstOffset();
    int64_t at = first, from = kNoOffset;
    while (at < size) {
        end.Offset = at;
        if (!file.ReadRecord(at, r, name, &why)) {
            end.Damage = TLogDamage{at, from, why}.Text();
            return end;
        }
        if (!visit(at, r, name))
            return end;
        if (r.NextOffset == size)
            return end; // the last record ends the file
        const std::string fault = CompareLinkFault(at, r.NextOffset, size, first);
        if (!fault.empty()) {
            end.Damage = TLogDamage{r.NextOffset, at, "the link " + fault}.Text();
            return end;
        }
        from = at;
        at = r.NextOffset;
    }
    end.Offset = at;
    return end;
}

} // namespace vm
