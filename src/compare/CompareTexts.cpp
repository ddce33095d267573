#include "compare/CompareTexts.h"

#include "display/ListRows.h"
#include "output/SizeText.h"

#include <cstdlib>

namespace vm {

std::string CompareCaption(int oldLog, int newLog)
{
    return "Comparing log " + std::to_string(oldLog) + " with log " + std::to_string(newLog);
}

std::string CompareRootText(int oldLog, int newLog)
{
    return "Log " + std::to_string(oldLog) + " with log " + std::to_string(newLog);
}

TChange ChangeOf(int64_t allocWas, int64_t allocNow, uint8_t condition)
{
    if (allocWas == allocNow)
        return TChange::Unchanged;
    if (condition == kConditionAdded)
        return TChange::Added;
    if (condition == kConditionDeleted)
        return TChange::Deleted;
    return allocWas < allocNow ? TChange::Bigger : TChange::Smaller;
}

std::string ConditionText(uint8_t rowKind, TChange change)
{
    const char* prefix = rowKind == kRowPath ? "Path " : rowKind == kRowFolder ? "Dir " : "File ";
    const char* word = "unchanged";
    switch (change) {
    case TChange::Added:
        word = "added";
        break;
    case TChange::Deleted:
        word = "deleted";
        break;
    case TChange::Bigger:
        word = "bigger";
        break;
    case TChange::Smaller:
        word = "smaller";
        break;
    case TChange::Unchanged:
        break;
    }
    return std::string(prefix) + word;
}

const char* ChangeSign(TChange change)
{
    switch (change) {
    case TChange::Added:
    case TChange::Bigger:
        return "+";
    case TChange::Deleted:
    case TChange::Smaller:
        return "-";
    case TChange::Unchanged:
        break;
    }
    return "";
}

std::string ChangedByText(int64_t allocWas, int64_t allocNow, TChange change, const TLocale& locale)
{
    // The difference of two sizes that each fit 63 bits, without overflow.
    const uint64_t difference = allocWas > allocNow ? uint64_t(allocWas) - uint64_t(allocNow)
                                                    : uint64_t(allocNow) - uint64_t(allocWas);
    const int64_t shown = difference > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(difference);
    return ChangeSign(change) + SizeText(shown, locale);
}

int RowStateImage(uint8_t rowKind, TChange change)
{
    return rowKind == kRowPath ? 0 : int(change);
}

int TreeStateImage(const TCompareRecord& r)
{
    if (r.AllocWas == r.AllocNow)
        return int(TChange::Unchanged);
    if (r.AllocWas < r.AllocNow)
        return r.AllocWas == 0 || r.SizeWas == 0 ? int(TChange::Added) : int(TChange::Bigger);
    return r.AllocNow == 0 || r.SizeNow == 0 ? int(TChange::Deleted) : int(TChange::Smaller);
}

std::vector<std::string> CompareFilterLines()
{
    return {"Files that have not changed", "Show files that are bigger",
            "Show files that are smaller", "Show files that are new", "Show deleted files"};
}

bool CompareConditionsPass(const TFilterTest& t, const TCompareRecord& r)
{
    if (!t.CompareOn)
        return true;
    auto line = [&t](size_t i) { return i < t.CompareLines.size() && t.CompareLines[i]; };
    const bool bigger = r.AllocWas<r.AllocNow, smaller = r.AllocWas> r.AllocNow;
    return (line(0) && r.AllocWas == r.AllocNow) || (line(1) && bigger) || (line(2) && smaller) ||
           (line(3) && bigger && r.Condition == kConditionAdded) ||
           (line(4) && smaller && r.Condition == kConditionDeleted);
}

} // namespace vm
