#include "output/LogExport.h"

#include "core/DirCompare.h"
#include "core/LogFileOrder.h"
#include "core/PathStack.h"
#include "core/TagSettings.h"
#include "platform/IsoDateTime.h"

#include <array>

namespace vm {

namespace {

enum TLogField
{
    kLogPath,
    kLogKind,
    kLogSize,
    kLogAllocated,
    kLogCreated,
    kLogAccessed,
    kLogModified,
    kLogAttributes,
    kLogTags,
    kLogDeleted,
    kLogOwner, // owner, group and mode: extended logs only
    kLogGroup,
    kLogMode
};

enum TCompareField
{
    kCmpPath,
    kCmpKind,
    kCmpCondition,
    kCmpSizeWas,
    kCmpSizeNow,
    kCmpAllocatedWas,
    kCmpAllocatedNow,
    kCmpChange,
    kCmpOwner, // owner, group and mode: extended comparisons only
    kCmpGroup,
    kCmpMode
};

const char* KindText(uint8_t kind)
{
    return kind == kKindDirectory ? "directory" : "file";
}

// The names of the tag bits, by bit: the log's names of its twelve tags (the tag settings'
// items); a log without a tag list gets the names every new log starts with.
std::array<std::string, 32> TagNamesOf(TDirStorage& log)
{
    std::array<std::string, 32> names;
    const std::vector<std::string> defaults = DefaultTagNames();
    for (int item = 0; item < kTagItemCount; ++item) {
        std::string text;
        names[static_cast<size_t>(TagItemData(item))] =
            log.GetTagName(item + 1, text) ? text : defaults[static_cast<size_t>(item)];
    }
    return names;
}

void SetDate(TExportWriter& writer, TIsoDateTimeText& iso, int field, const TLogTime& time)
{
    if (!time.Stored)
        return; // no date was stored: null
    std::string_view text =
        time.Local ? iso.FromLocalSeconds(time.Seconds) : iso.FromUnixSeconds(time.Seconds);
    if (!text.empty())
        writer.SetText(field, text);
}

// The owner and group ids (null where none was recorded) and the permission bits in octal,
// as stat -c %04a shows them ("0644", "4755").
void SetOwners(TExportWriter& writer, int ownerField, uint32_t owner, uint32_t group, uint32_t mode)
{
    if (owner != kNoOwner)
        writer.SetNumber(ownerField, owner);
    if (group != kNoOwner)
        writer.SetNumber(ownerField + 1, group);
    if (mode != 0) {
        const char text[4] = {
            static_cast<char>('0' + (mode >> 9 & 7)), static_cast<char>('0' + (mode >> 6 & 7)),
            static_cast<char>('0' + (mode >> 3 & 7)), static_cast<char>('0' + (mode & 7))};
        writer.SetText(ownerField + 2, std::string_view(text, 4));
    }
}

std::vector<std::string> WithOwners(std::vector<std::string> fields, bool owners)
{
    if (owners)
        fields.insert(fields.end(), {"owner", "group", "mode"});
    return fields;
}

// The compare window's names, tested in its order: the same space in both logs is "unchanged"
// even for an entry that was added or deleted.
const char* ConditionName(const TCompareRecord& r)
{
    if (r.AllocWas == r.AllocNow)
        return "unchanged";
    if (r.Condition == kConditionAdded)
        return "added";
    if (r.Condition == kConditionDeleted)
        return "deleted";
    return r.AllocWas < r.AllocNow ? "grew" : "shrank";
}

} // namespace

TExportResult ExportLog(TDirStorage& log, TExportFormat format, const TExportSink& sink)
{
    const bool owners = log.HasOwners();
    TExportWriter writer(format,
                         WithOwners({"path", "kind", "size", "allocated", "created", "accessed",
                                     "modified", "attributes", "tags", "deleted"},
                                    owners),
                         sink);
    const std::array<std::string, 32> tagNames = TagNamesOf(log);
    TIsoDateTimeText iso;
    TPathStack paths;
    TLogFileOrder records(log, 1 << 20, TLogFileOrder::TFollow::NextOffset,
                          TLogFileOrder::TTimes::StoredOnly);
    TLogRecord r;
    std::string_view name;
    std::vector<std::string_view> tags;
    TExportResult result;
    int64_t previous = kNoOffset;
    while (records.Next(r, name)) {
        std::string why;
        if (!paths.Enter(records.Offset(), r.Level, r.ParentOffset, name, why)) {
            result.Damage = TLogDamage{records.Offset(), previous, why}.Text();
            break;
        }
        previous = records.Offset();
        writer.SetPath(kLogPath, paths.Path());
        writer.SetText(kLogKind, KindText(r.Kind));
        writer.SetNumber(kLogSize, r.Size);
        writer.SetNumber(kLogAllocated, r.Allocated);
        SetDate(writer, iso, kLogCreated, r.CreatedTime);
        SetDate(writer, iso, kLogAccessed, r.AccessedTime);
        SetDate(writer, iso, kLogModified, r.ModifiedTime);
        writer.SetNumber(kLogAttributes, r.Attributes);
        tags.clear();
        for (int bit = 0; bit < 31; ++bit)
            if ((r.Tags >> bit & 1) && !tagNames[static_cast<size_t>(bit)].empty())
                tags.push_back(tagNames[static_cast<size_t>(bit)]);
        writer.SetList(kLogTags, tags);
        writer.SetBool(kLogDeleted, (r.Tags & kTagDeleted) != 0);
        if (owners)
            SetOwners(writer, kLogOwner, r.Owner, r.Group, r.Mode);
        writer.EndRecord();
    }
    if (result.Damage.empty() && records.Damage().Found())
        result.Damage = records.Damage().Text();
    writer.Finish();
    result.Entries = writer.Records();
    return result;
}

TExportResult ExportComparison(TDirCompare& comparison, TExportFormat format,
                               const TExportSink& sink)
{
    const bool owners = comparison.Format() == TLogFormat::Extended;
    TExportWriter writer(format,
                         WithOwners({"path", "kind", "condition", "size_was", "size_now",
                                     "allocated_was", "allocated_now", "change"},
                                    owners),
                         sink);
    TPathStack paths;
    TExportResult result;
    int64_t previous = kNoOffset;
    TCompareWalkEnd end =
        WalkRecords(comparison, [&](int64_t at, const TCompareRecord& r, const std::string& name) {
            std::string why;
            if (!paths.Enter(at, r.Level, r.ParentOffset, name, why)) {
                result.Damage = TLogDamage{at, previous, why}.Text();
                return false;
            }
            previous = at;
            writer.SetPath(kCmpPath, paths.Path());
            writer.SetText(kCmpKind, KindText(r.Kind));
            writer.SetText(kCmpCondition, ConditionName(r));
            writer.SetNumber(kCmpSizeWas, r.SizeWas);
            writer.SetNumber(kCmpSizeNow, r.SizeNow);
            writer.SetNumber(kCmpAllocatedWas, r.AllocWas);
            writer.SetNumber(kCmpAllocatedNow, r.AllocNow);
            writer.SetNumber(kCmpChange, r.AllocNow - r.AllocWas);
            if (owners)
                SetOwners(writer, kCmpOwner, r.Owner, r.Group, r.Mode);
            writer.EndRecord();
            return true;
        });
    if (result.Damage.empty())
        result.Damage = end.Damage;
    if (comparison.FileSize() < comparison.FirstOffset())
        result.Damage = "the file is shorter than the " + std::to_string(comparison.FirstOffset()) +
                        "-byte header";
    writer.Finish();
    result.Entries = writer.Records();
    return result;
}

} // namespace vm
