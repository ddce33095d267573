// The texts and signs of the compare window that come from plain state: its caption, what a row's
// change is called and which arrow it gets, the "Changed by" text, and the compare page of the
// file filter with its test.
#pragma once

#include "core/CompareFormat.h"
#include "core/FileFilter.h"
#include "output/ListTexts.h"
#include "platform/Locale.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

// "Comparing log 3 with log 4".
std::string CompareCaption(int oldLog, int newLog);
// The tree's root: "Log 3 with log 4".
std::string CompareRootText(int oldLog, int newLog);
inline const char* const kCantShowTagsHint = "Can't show tags - log has been deleted";

// How an entry changed between the logs, in the order the condition text tests them: the same
// space in both (even when it was added or deleted), only in the new log, only in the old log,
// more space, less space. The values are the state images the list shows for them.
enum class TChange : uint8_t
{
    Unchanged = 1,
    Smaller = 2,
    Bigger = 3,
    Deleted = 4,
    Added = 5
};
TChange ChangeOf(int64_t allocWas, int64_t allocNow, uint8_t condition);

// The condition column: "Path ", "Dir " or "File " (by the row kind of explore/FileListStore.h)
// followed by "unchanged", "added", "deleted", "bigger" or "smaller".
std::string ConditionText(uint8_t rowKind, TChange change);
// "" unchanged, "+" added or bigger, "-" deleted or smaller.
const char* ChangeSign(TChange change);
// The "Changed by" column: the sign and the size of the difference ("+12 KB", "0 KB").
std::string ChangedByText(int64_t allocWas, int64_t allocNow, TChange change,
                          const TLocale& locale);
// The arrow of a list row: none (0) for a path row, else the change.
int RowStateImage(uint8_t rowKind, TChange change);

// The arrow of a directory in the tree, from its space then and now: the same 1; more 3, or 5
// when it held no data before; less 2, or 4 when it holds none now. A directory takes an
// allocation unit of its own on Linux, so "no data" is read from its byte size (the files
// below it), not from its space, which is never 0 while it exists.
int TreeStateImage(const TCompareRecord& record);

// The lines of the filter's compare page, in their order.
std::vector<std::string> CompareFilterLines();
// The compare page's test of a file: with "Show only selected files", a file passes when any
// checked line fits it (not changed; bigger; smaller; new, that is bigger and only in the new
// log; deleted, that is smaller and only in the old log); otherwise every file passes.
bool CompareConditionsPass(const TFilterTest& test, const TCompareRecord& record);

} // namespace vm
