#include "treemapview/TreemapSource.h"

#include "output/ListColumns.h"
#include "output/SizeText.h"
#include "statistics/StatisticsTables.h"

namespace vm {

TLogTreemapSource::TLogTreemapSource(TDirStorage& log, std::string rootName,
                                     TTreemapMeasure measure, TLogFileTest counts,
                                     std::shared_ptr<void> keep)
    : TTreemapSource(std::move(keep)), log_(log), rootName_(std::move(rootName)), measure_(measure), counts_(std::move(counts))
{
}

std::unique_ptr<TTreemapWork> TLogTreemapSource::MakeWork(int64_t dir, TCellRect bounds,
                                                          const TFrameMetrics& metrics)
{
    return std::make_unique<TTreemapWork>(
        std::make_unique<TLogTreeBuilder>(log_, dir, measure_, counts_), bounds, metrics);
}

bool TLogTreemapSource::ReadEntry(int64_t offset, TTreemapEntry& entry)
{
    entry = {};
    if (offset < 0) {
        entry.Name = rootName_;
        entry.Directory = true;
        return true;
    }
    TDirNode node;
    if (!log_.ReadNode(offset, node, entry.Name))
        return false;
    entry.Path = log_.GetFullPath(offset);
    entry.Directory = node.Kind == kKindDirectory;
    entry.Size = node.Size;
    entry.Space = node.Allocated;
    return true;
}

std::string TLogTreemapSource::NameOf(int64_t offset)
{
    if (offset < 0)
        return rootName_;
    TDirNode node;
    std::string name;
    log_.ReadNode(offset, node, name);
    return name;
}

TRgb TLogTreemapSource::Colour(uint8_t key) const
{
    return FamilyColour(static_cast<TFileFamily>(key & kKeyValueMask));
}

TComparisonTreemapSource::TComparisonTreemapSource(TDirCompare& comparison, std::string rootName,
                                                   TTreemapMeasure measure,
                                                   TCompareFileTest counts,
                                                   std::shared_ptr<void> keep)
    : TTreemapSource(std::move(keep)), comparison_(comparison), rootName_(std::move(rootName)), measure_(measure),
      counts_(std::move(counts))
{
}

std::unique_ptr<TTreemapWork> TComparisonTreemapSource::MakeWork(int64_t dir, TCellRect bounds,
                                                                 const TFrameMetrics& metrics)
{
    return std::make_unique<TTreemapWork>(
        std::make_unique<TComparisonTreeBuilder>(comparison_, dir, measure_, counts_), bounds,
        metrics);
}

bool TComparisonTreemapSource::ReadEntry(int64_t offset, TTreemapEntry& entry)
{
    entry = {};
    entry.Compared = true;
    if (offset < 0) {
        entry.Name = rootName_;
        entry.Directory = true;
        return true;
    }
    TCompareRecord record;
    if (!comparison_.ReadRecord(offset, record, entry.Name))
        return false;
    entry.Path = comparison_.GetFullPath(offset);
    entry.Directory = record.Kind == kKindDirectory;
    if (entry.Directory && !entry.Path.empty() && entry.Path.back() != '/')
        entry.Path += '/';
    entry.Size = record.SizeNow;
    entry.Space = record.AllocNow;
    entry.SizeWas = record.SizeWas;
    entry.SpaceWas = record.AllocWas;
    return true;
}

std::string TComparisonTreemapSource::NameOf(int64_t offset)
{
    if (offset < 0)
        return rootName_;
    TCompareRecord record;
    std::string name;
    comparison_.ReadRecord(offset, record, name);
    return name;
}

TRgb TComparisonTreemapSource::Colour(uint8_t key) const
{
    return ChangeColour(static_cast<TChangeClass>(key & kKeyValueMask));
}

namespace {

std::string ShareOf(double share, const std::string& parentName, const TLocale& locale)
{
    return ShareText(share, locale) + " of " + OneLine(parentName);
}

// The legend's words for how an entry's space changed.
std::string ChangeWords(const TTreemapEntry& entry)
{
    return ChangeClassName(ChangeClassOf(entry.SpaceWas, entry.Space));
}

} // namespace

std::string TreemapTipText(const TTreemapEntry& entry, double share, const std::string& parentName,
                           const TLocale& locale)
{
    std::string text = OneLine(entry.Path.empty() ? entry.Name : entry.Path);
    if (entry.Compared) {
        text += "\nSpace was " + SizeText(entry.SpaceWas, locale) + ", now " +
                SizeText(entry.Space, locale) + " (" +
                ChangeText(entry.Space - entry.SpaceWas, locale) + "): " + ChangeWords(entry);
        text += "\nSize was " + SizeText(entry.SizeWas, locale) + ", now " +
                SizeText(entry.Size, locale);
    } else if (!entry.Path.empty()) {
        text += "\nSize " + SizeText(entry.Size, locale) + ", space " +
                SizeText(entry.Space, locale);
    }
    if (!parentName.empty())
        text += "\n" + ShareOf(share, parentName, locale);
    return text;
}

std::string TreemapSelectionText(const TTreemapEntry& entry, double share,
                                 const std::string& parentName, const TLocale& locale)
{
    std::string text = OneLine(entry.Name) + (entry.Directory ? ", directory" : ", file");
    if (entry.Compared)
        text += ", space " + SizeText(entry.Space, locale) + ", " +
                ChangeText(entry.Space - entry.SpaceWas, locale) + ", " + ChangeWords(entry);
    else
        text += ", space " + SizeText(entry.Space, locale);
    if (!parentName.empty())
        text += ", " + ShareOf(share, parentName, locale);
    return text;
}

std::string TreemapLegendText(const std::vector<TLegendItem>& legend)
{
    std::string text = "Colours: ";
    for (size_t i = 0; i < legend.size(); ++i)
        text += (i ? ", " : "") + legend[i].Text;
    return text;
}

} // namespace vm
