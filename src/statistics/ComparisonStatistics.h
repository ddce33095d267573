// The statistics of a comparison (or of one directory's subtree of it) by change, gathered in
// one walk: the files' space then and now by type family and extension, by owner and group
// where the records carry them, the directories that grew and shrank most (core/TopChanges.h)
// and the files that grew most.
#pragma once

#include "core/CompareWalk.h"
#include "core/DirCompare.h"
#include "core/TopChanges.h"
#include "core/TopN.h"
#include "statistics/FileFamily.h"
#include "statistics/LogStatistics.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vm {

struct TChangeFigures
{
    int64_t CountWas = 0, CountNow = 0; // files then and now
    int64_t SizeWas = 0, SizeNow = 0;
    int64_t SpaceWas = 0, SpaceNow = 0;
    int64_t Change() const { return SpaceNow - SpaceWas; }
    void Add(const TCompareRecord& file);
    TChangeFigures& operator+=(const TChangeFigures& o);
    bool operator==(const TChangeFigures&) const = default;
};

struct TFileChange
{
    int64_t Offset = -1;
    int64_t SpaceWas = 0, SpaceNow = 0;
    std::string Path; // filled when the statistics are finished
    int64_t Change() const { return SpaceNow - SpaceWas; }
};

struct TComparisonStatistics
{
    TChangeFigures Files;
    int64_t Directories = 0;
    std::array<TChangeFigures, kFamilyCount> Families{};
    TExtensionMap<TChangeFigures> Extensions; // ExtensionKey; kOtherExtensions
    bool HasOwners = false; // false: the records carry no owners, the two maps are empty
    std::unordered_map<uint32_t, TChangeFigures> Owners, Groups;
    TTopChanges ChangedDirectories;        // grew and shrank most (its Damage unused)
    std::vector<TFileChange> GrowingFiles; // largest growth first
    std::string Damage;
};

// Counts the records of a comparison one at a time, from whatever walk gives them in file order.
class TChangeCollector
{
public:
    // count: how many directories and files of largest change to keep; baseLevel: the level the
    // walk's top record has (0 for the whole comparison); hasOwners: the records carry owners
    // and groups (ComparisonRecordsOwners).
    TChangeCollector(size_t count, int baseLevel, bool hasOwners);
    // The directory a walk of a subtree starts at, with its full path: the top the directories
    // that changed most are found below. It is not counted itself.
    bool AddTop(int64_t offset, const TCompareRecord& record, const std::string& path,
                std::string& why);
    // A record of the walk; false, with the reason, where it does not fit below the ones before.
    bool Add(int64_t offset, const TCompareRecord& record, std::string_view name, std::string& why);
    // The statistics; the paths of the files that grew most come from the comparison.
    TComparisonStatistics Finish(TDirCompare& comparison);

private:
    struct TGrew
    {
        bool operator()(const TFileChange& a, const TFileChange& b) const
        {
            return a.Change() != b.Change() ? a.Change() > b.Change() : a.Offset < b.Offset;
        }
    };

    int baseLevel_;
    TTypeTable<TChangeFigures> types_;
    TTopChangesFinder finder_;
    TTopN<TFileChange, TGrew> growing_;
    TComparisonStatistics stats_;
};

// The statistics of the subtree of the directory record at dir (-1: the whole comparison), in
// steps. The comparison outlives the walk.
class TComparisonStatisticsWalk
{
public:
    TComparisonStatisticsWalk(TDirCompare& comparison, int64_t dir, size_t count = 100);
    bool Step(size_t budget);
    bool Done() const { return done_; }
    TComparisonStatistics Take();

private:
    void Add(int64_t offset, const TCompareRecord& record, std::string_view name);

    TDirCompare& comparison_;
    TCompareViewWalk walk_;
    std::unique_ptr<TChangeCollector> collector_;
    std::string damage_;
    bool done_ = false;
};

// The whole walk at once (vmlog, the mails); the whole comparison in one pass in file order.
TComparisonStatistics CollectComparisonStatistics(TDirCompare& comparison, int64_t dir = -1,
                                                  size_t count = 100);

} // namespace vm
