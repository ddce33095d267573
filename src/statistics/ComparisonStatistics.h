// The statistics of a comparison (or of one directory's subtree of it) by change, gathered in
// one walk: the files' space then and now by type family and extension, by owner and group
// where the records carry them, the directories that grew and shrank most (core/TopChanges.h)
// and the files that grew most.
#pragma once

#include "compare/CompareWalk.h"
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

class TComparisonStatisticsWalk
{
public:
    // The subtree of the directory record at dir (-1: the whole comparison); count: how many
    // directories and files of largest change to keep. The comparison outlives the walk.
    TComparisonStatisticsWalk(TDirCompare& comparison, int64_t dir, size_t count = 100);
    bool Step(size_t budget);
    bool Done() const { return done_; }
    TComparisonStatistics Take();

private:
    struct TGrew
    {
        bool operator()(const TFileChange& a, const TFileChange& b) const
        {
            return a.Change() != b.Change() ? a.Change() > b.Change() : a.Offset < b.Offset;
        }
    };
    void Add(int64_t offset, TCompareRecord record, std::string_view name);

    TDirCompare& comparison_;
    TCompareViewWalk walk_;
    int baseLevel_ = 0; // the level the walk's records are counted from for the finder
    TTypeTable<TChangeFigures> types_;
    TTopChangesFinder finder_;
    TTopN<TFileChange, TGrew> growing_;
    TComparisonStatistics stats_;
    bool done_ = false;
};

TComparisonStatistics CollectComparisonStatistics(TDirCompare& comparison, int64_t dir = -1,
                                                  size_t count = 100);

} // namespace vm
