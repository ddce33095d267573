// The statistics of a log or of one directory's subtree, gathered in one walk: the files' count,
// size and space by type family and extension, by the age of their last change and of their
// last access, by owner and group where the log records them, and the largest files and
// directories. Files marked deleted from the disk are left out (and counted apart).
//
// Memory does not grow with the number of entries: the tables hold one row per family, age,
// extension, owner and group (at most kMaxExtensions and kMaxIds rows, the rest in
// one row), and the largest lists their N entries.
#pragma once

#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "core/TopN.h"
#include "output/ListTexts.h"
#include "platform/AsciiCase.h"
#include "statistics/AgeBuckets.h"
#include "statistics/EntryFacts.h"
#include "statistics/FileFamily.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vm {

struct TSpaceFigures
{
    int64_t Count = 0, Size = 0, Space = 0;
    void Add(int64_t size, int64_t space)
    {
        ++Count;
        Size += size;
        Space += space;
    }
    TSpaceFigures& operator+=(const TSpaceFigures& o)
    {
        Count += o.Count;
        Size += o.Size;
        Space += o.Space;
        return *this;
    }
    bool operator==(const TSpaceFigures&) const = default;
};

// How many extensions, owners or groups get a row of their own; the rest share one.
// A file server's users run into thousands; its distinct extensions beyond a thousand are names
// that only look like extensions (dates, versions, random parts), and a table of them stays small
// enough for the walk's look-ups to stay in the processor's cache.
constexpr size_t kMaxExtensions = 1000;
constexpr size_t kMaxIds = 10000;
// The row the rest share: an extension no name can have, an id no account has.
inline const std::string kOtherExtensions = "(others)";
constexpr uint32_t kOtherIds = 0xFFFFFFFEu;

// The row of key in a table that gives at most kMaxIds keys a row of their own; once it is
// full, a new key counts in the row of other.
template <class Map, class Key>
typename Map::mapped_type& TableRow(Map& map, const Key& key, const Key& other)
{
    auto found = map.find(key);
    if (found != map.end())
        return found->second;
    return map[map.size() < kMaxIds ? key : other];
}

// Tables keyed by extension, looked up by a view of the text (no string is made per file).
struct TTextHash
{
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};
template <class Figures>
using TExtensionMap = std::unordered_map<std::string, Figures, TTextHash, std::equal_to<>>;

// The extension a file's type is counted under: its extension in lower case with the dot
// (".jpg"), "" for none.
std::string ExtensionKey(std::string_view name);

// Figures by extension and by type family. A file's family is its extension's, so the families
// are summed from the extensions' rows once the walk is over: a walk looks up one row per file.
template <class Figures> class TTypeTable
{
public:
    // Counts a file: change(figures) on the row of its extension (the shared row once the table
    // is full, and then on its family's too).
    template <class Change> void Add(std::string_view name, Change&& change)
    {
        const std::string_view extension = TypeExtensionOf(name);
        char lower[64];
        std::string_view key;
        if (extension.size() <= sizeof lower) {
            for (size_t i = 0; i < extension.size(); ++i)
                lower[i] = AsciiLower(extension[i]);
            key = std::string_view(lower, extension.size());
        } else {
            long_.assign(extension);
            for (char& c : long_)
                c = AsciiLower(c);
            key = long_;
        }
        // Files of one directory come in name order and often share their extension.
        if (last_ && key == lastKey_) {
            change(*last_);
            return;
        }
        auto found = rows_.find(key);
        if (found == rows_.end() && rows_.size() < kMaxExtensions)
            found = rows_.emplace(std::string(key), Figures()).first;
        if (found != rows_.end()) {
            last_ = &found->second;
            lastKey_.assign(key);
            change(*last_);
            return;
        }
        // Past the limit the shared row, kept at hand, counts the file, and its family apart.
        if (!others_)
            others_ = &rows_[kOtherExtensions];
        change(*others_);
        change(pastFamilies_[static_cast<size_t>(FileFamilyOfExtension(key))]);
    }

    // Hands the rows over and sums them by family; the table is spent.
    void Finish(TExtensionMap<Figures>& extensions, std::array<Figures, kFamilyCount>& families)
    {
        families = pastFamilies_;
        for (const auto& [extension, figures] : rows_)
            if (extension != kOtherExtensions || !others_)
                families[static_cast<size_t>(FileFamilyOfExtension(extension))] += figures;
        extensions = std::move(rows_);
    }

private:
    TExtensionMap<Figures> rows_;
    std::array<Figures, kFamilyCount> pastFamilies_{};
    Figures* others_ = nullptr; // the shared row, once the table is full
    Figures* last_ = nullptr;   // the row of the extension counted last
    std::string lastKey_;
    std::string long_; // scratch: an extension too long for the stack
};

struct TLargestEntry
{
    int64_t Offset = -1;
    int64_t Size = 0, Space = 0;
    std::string Path; // the full path (filled when the statistics are finished)
};

struct TLogStatistics
{
    TSpaceFigures Files; // every file counted
    int64_t Directories = 0;
    int64_t DeletedFiles = 0; // marked deleted from the disk: not counted
    std::array<TSpaceFigures, kFamilyCount> Families{};
    TExtensionMap<TSpaceFigures> Extensions;
    TDateTime AgeReference = 0; // the moment ages count back from
    std::array<TSpaceFigures, kAgeBucketCount> Modified{}, Accessed{};
    bool HasOwners = false; // false: the log records no owners, the two maps are empty
    std::unordered_map<uint32_t, TSpaceFigures> Owners, Groups;
    std::vector<TLargestEntry> LargestFiles, LargestDirectories; // largest space first
    std::string Damage; // where a damaged log ended the walk; what came before counts
};

struct TStatisticsOptions
{
    size_t Largest = 100;       // how many of the largest files and directories to keep
    TDateTime AgeReference = 0; // 0: the log's date
};

// Counts entries one at a time, from whatever walk gives them.
class TStatisticsCollector
{
public:
    TStatisticsCollector(size_t largest, TDateTime ageReference, bool hasOwners);
    // A file or directory of the subtree (not the directory the walk starts at).
    void Add(const TEntryFacts& entry);
    // The statistics; the paths of the largest entries come from path(offset).
    template <class PathOf> TLogStatistics Finish(PathOf&& path)
    {
        types_.Finish(stats_.Extensions, stats_.Families);
        TakeLargest();
        for (TLargestEntry& e : stats_.LargestFiles)
            e.Path = path(e.Offset);
        for (TLargestEntry& e : stats_.LargestDirectories)
            e.Path = path(e.Offset);
        return std::move(stats_);
    }

private:
    struct TLarger
    {
        bool operator()(const TLargestEntry& a, const TLargestEntry& b) const
        {
            return a.Space != b.Space ? a.Space > b.Space : a.Offset < b.Offset;
        }
    };
    void TakeLargest();

    TLogStatistics stats_;
    TTypeTable<TSpaceFigures> types_;
    TAgeScale ages_;
    TTopN<TLargestEntry, TLarger> files_, directories_;
};

// The statistics of the subtree of the directory at dir (-1: the whole log), in steps.
class TLogStatisticsWalk
{
public:
    // The log outlives the walk.
    TLogStatisticsWalk(TDirStorage& log, int64_t dir, const TStatisticsOptions& options = {});
    // Reads at most budget records; true while more remain.
    bool Step(size_t budget);
    bool Done() const { return done_; }
    // Once done: the statistics (the walk is spent).
    TLogStatistics Take();

private:
    TDirStorage& log_;
    TLogWalk walk_;
    TStatisticsCollector collector_;
    bool done_ = false;
    std::string damage_;
};

// The whole walk at once (vmlog, the results mail).
TLogStatistics CollectLogStatistics(TDirStorage& log, int64_t dir = -1,
                                    const TStatisticsOptions& options = {});

} // namespace vm
