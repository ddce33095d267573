#include "compare/CompareDeletion.h"

#include "compare/CompareRules.h"
#include "display/DisplayHelpers.h"

namespace vm {

namespace {
void Take(TCompareDeletion& plan, const TCompareListTable& table, int position)
{
    const TCompareRow& row = table.Store().Row(position);
    const TCompareEntry entry = table.Entry(position);
    if (!entry.Read || entry.NewLogOffset < 0)
        return; // nothing of it can be checked or reached
    const bool directory = row.Kind == kRowFolder;
    ++(directory ? plan.Directories : plan.Files);
    plan.Space += entry.AllocNow;
    plan.Positions.push_back(position);
    plan.Rows.push_back({entry.NewLogOffset, directory, row.TopLevel()});
    plan.Targets.push_back({row.Offset, entry.NewLogOffset});
}
} // namespace

TCompareDeletion PlanSelectedDeletion(const TCompareListTable& table,
                                      const std::vector<int>& selected)
{
    TCompareDeletion plan;
    for (int p : selected) {
        const TCompareRow& row = table.Store().Row(p);
        if (!row.TopLevel() && ReachesNewLog(row))
            Take(plan, table, p);
    }
    return plan;
}

TCompareDeletion PlanRubbishBinDeletion(const TCompareListTable& table, bool tagsShown)
{
    TCompareDeletion plan;
    if (!tagsShown)
        return plan;
    const TCompareRowStore& store = table.Store();
    for (int p = 0; p < store.Count(); ++p) {
        const TCompareRow& row = store.Row(p);
        if (!row.TopLevel() && ReachesNewLog(row) &&
            RowStateOf(row, true, true).Image == kRubbishBinImage)
            Take(plan, table, p);
    }
    return plan;
}

std::vector<int> RowsInsideTrees(const TCompareListTable& table, const TDeletedTrees& trees)
{
    std::vector<int> rows;
    const TCompareRowStore& store = table.Store();
    for (int p = 0; p < store.Count() && !trees.Empty(); ++p)
        if (ReachesNewLog(store.Row(p)) && trees.Contains(table.Entry(p).NewLogOffset))
            rows.push_back(p);
    return rows;
}

} // namespace vm
