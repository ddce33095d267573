// The file filter of the explore and compare windows, without the dialog: what the dialog's
// controls hold (TFilterFields), which controls are enabled, the reset state, the parse of the
// fields into a test (TFilterTest) and the test of one file (FileMatchesFilter).
// fileops/FilterIni.h stores the fields in VMFilter.ini.
#pragma once

#include "core/DirStorage.h"
#include "platform/Locale.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

constexpr int kTagLineCount = 12; // "Tag 1" to "Tag 11", then the rubbish bin
constexpr int kRubbishBinLine = 11;
constexpr int kExploreFilterMode = 1; // the dialog's tag in an explore window
constexpr int kCompareFilterMode = 2; // in a compare window
// What the filter dialog says where its window's log records no owners to filter on.
inline const char* const kOwnersNotRecordedText =
    "This log records no owners: it was written in the exact format. Logs of the extended "
    "format record them (the reference's log format).";

// What the controls hold, as texts and states (combo boxes by their texts).
struct TFilterFields
{
    std::vector<std::string> FileNames; // the name patterns of the list
    std::string FileNameEdit;           // typed but not yet added
    bool DateOn = false;
    std::string DateRange = "Modified"; // "Accessed", "Created" or "Modified"
    int DateRadio = 0;                  // 0 "between", 1 "during the previous"
    std::string DateLow, DateHigh;      // dates in the locale's short format
    int DateDays = 1;                   // 1 to 365
    bool SizeOn = false;
    std::string SizeSelect = "Greater than"; // or "Less than"
    int SizeValue = 10;                      // 1 to 999999
    std::string SizeUnit = "MB";             // "KB", "MB" or "GB"
    bool Duplicates = false, MatchSize = false, MatchDate = false, IgnoreExtension = false;
    bool TagsOn = false;
    int TagRadio = 0; // 0 "Show all tagged files", 1 "Show files with selected tags "
    std::array<bool, kTagLineCount> TagLines{};
    bool CompareOn = false;
    std::vector<bool> CompareLines; // the compare page's conditions (the compare window's)
    bool OwnerOn = false, GroupOn = false;
    std::string Owner, Group; // an account or group name, or an id in decimal
    bool SaveAsDefault = false;
    bool TurnOn = true;
};

// The reset state: no names, date and size off with their initial choices (the dates a week
// ago and today), duplicates off, no tag or compare selection. "Ignore extension", the tag
// choices and "Turn filter on" keep what they held.
void ResetFilter(TFilterFields& fields, TDateTime today, const TLocale& locale);

// Which controls are enabled for the fields as they stand.
struct TFilterEnabling
{
    bool DateRange = false, DateRadio = false, DateEdits = false, DateDays = false;
    bool Size = false;
    bool DuplicateOptions = false;
    bool Tags = false;
    bool Owner = false, Group = false; // their edits
    bool AddName = false;              // ">>": the name edit holds text
};
TFilterEnabling FilterEnabling(const TFilterFields& fields);

// Adds the edit's text to the name list (unless the list holds exactly that text already) and
// clears the edit. False, changing nothing, for a text with a "," (it could not be stored) or
// for an empty one.
bool AddFileName(TFilterFields& fields);

// The test the fields give, as the list fill applies it.
struct TFilterTest
{
    int Mode = kExploreFilterMode;
    bool TagsAvailable = false;        // compare mode: the new log's tags can be read
    std::vector<std::string> Patterns; // upper-cased; empty: every name passes
    bool DateOn = false;
    int DateField = 0; // 0 modified, 1 created, 2 accessed
    TDateTime Low = 0, High = 0;
    bool SizeOn = false;
    int64_t Threshold = 0;
    bool Less = false;
    bool TagsOn = false;
    bool SelectedTags = false; // "Show files with selected tags "
    uint32_t Mask = 0;
    bool Duplicates = false, MatchSize = false, MatchDate = false, IgnoreExtension = false;
    bool CompareOn = false;
    std::vector<bool> CompareLines;        // compare mode: the checked lines of the compare page
    bool OwnerOn = false, GroupOn = false; // only where the log records owners
    uint32_t Owner = 0, Group = 0;
};

// The result of parsing the fields: the test, or the message to show and the control to focus.
struct TFilterParse
{
    std::optional<TFilterTest> Test;
    std::string Message;
    std::string FocusControl; // "DateLow", "DateHigh", "Owner" or "Group"
};
// ParseFilterFields: first adds a typed name when the list is empty; now is the moment the
// previous-days range counts back from. In compare mode the test carries tagsAvailable. The
// owner and group tests are made only where the log records owners (ownersRecorded): a log
// without them would otherwise list nothing at all; their names must be accounts or groups
// known here, or ids.
TFilterParse ParseFilterFields(TFilterFields& fields, int mode, bool tagsAvailable, TDateTime now,
                               const TLocale& locale, bool ownersRecorded = false);

// The tag mask of the tag lines: line i is bit i, the rubbish-bin line bit 30; "Show all
// tagged files" gives every line's bit.
uint32_t TagMaskOf(const TFilterFields& fields);
// The tag test of a tag set: tagged, not deleted, and for selected tags sharing a bit.
bool TagSetPasses(const TFilterTest& test, uint32_t tags);
// True when the whole name matches the pattern: "*" any run of characters (also none), "?"
// exactly one character (a UTF-8 sequence counts as one). Both are compared as given.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Whether a file of the explore window passes the active tests, in order: names (the full
// name, upper-cased, against each pattern), date, size, tags, owner, group. Compare mode adds its
// own tag lookup and conditions in the compare window.
bool FileMatchesFilter(const TFilterTest& test, std::string_view name, const TDirNode& entry);

} // namespace vm
