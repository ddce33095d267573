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
    kLogDeleted
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
    kCmpChange
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

void SetDate(TExportWriter& writer, TIsoDateTimeText& iso, int field, int32_t packed)
{
    if (packed == 0)
        return; // no date was stored: null
    std::string_view text = iso.FromLocalSeconds(UnpackSeconds(packed));
    if (!text.empty())
        writer.SetText(field, text);
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
    TExportWriter writer(format,
                         {"path", "kind", "size", "allocated", "created", "accessed", "modified",
                          "attributes", "tags", "deleted"},
                         sink);
    const std::array<std::string, 32> tagNames = TagNamesOf(log);
    TIsoDateTimeText iso;
    TPathStack paths;
    TLogFileOrder records(log);
    TRecordFixed r;
    std::string_view name;
    std::vector<std::string_view> tags;
    TExportResult result;
    int32_t previous = kNoOffset;
    while (records.Next(r, name)) {
        std::string why;
        if (!paths.Enter(records.Offset(), r.Level, r.ParentOffset, name, why)) {
            result.Damage = TLogDamage{records.Offset(), previous, why}.Text();
            break;
        }
        previous = records.Offset();
        writer.SetPath(kLogPath, paths.Path());
        writer.SetText(kLogKind, KindText(r.Kind));
        writer.SetNumber(kLogSize, DecodeReal48Rounded(r.Size.data()));
        writer.SetNumber(kLogAllocated, DecodeReal48Rounded(r.Allocated.data()));
        SetDate(writer, iso, kLogCreated, r.Created);
        SetDate(writer, iso, kLogAccessed, r.Accessed);
        SetDate(writer, iso, kLogModified, r.Modified);
        writer.SetNumber(kLogAttributes, r.Attributes);
        tags.clear();
        for (int bit = 0; bit < 31; ++bit)
            if ((r.Tags >> bit & 1) && !tagNames[static_cast<size_t>(bit)].empty())
                tags.push_back(tagNames[static_cast<size_t>(bit)]);
        writer.SetList(kLogTags, tags);
        writer.SetBool(kLogDeleted, (r.Tags & kTagDeleted) != 0);
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
    TExportWriter writer(format,
                         {"path", "kind", "condition", "size_was", "size_now", "allocated_was",
                          "allocated_now", "change"},
                         sink);
    TPathStack paths;
    TExportResult result;
    int32_t previous = kNoOffset;
    TCompareWalkEnd end =
        WalkRecords(comparison, [&](int32_t at, const TCompareRecord& r, const std::string& name) {
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
            writer.EndRecord();
            return true;
        });
    if (result.Damage.empty())
        result.Damage = end.Damage;
    if (comparison.FileSize() < kCompareHeaderSize)
        result.Damage = "the file is shorter than the 14-byte header";
    writer.Finish();
    result.Entries = writer.Records();
    return result;
}

} // namespace vm
