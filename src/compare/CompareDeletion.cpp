#include "compare/CompareDeletion.h"

#include "compare/CompareRules.h"
#include "display/DisplayHelpers.h"

namespace vm {

namespace {
void Take(TCompareDeletion& plan, const TCompareRow& row, int position)
{
    const bool directory = row.Kind == kRowFolder;
    ++(directory ? plan.Directories : plan.Files);
    plan.Space += row.AllocNow;
    plan.Positions.push_back(position);
    plan.Rows.push_back({row.NewLogOffset, directory, row.TopLevel()});
    plan.Targets.push_back({row.Offset, row.NewLogOffset});
}
} // namespace

TCompareDeletion PlanSelectedDeletion(const TCompareRowStore& store,
                                      const std::vector<int>& selected)
{
    TCompareDeletion plan;
    for (int p : selected) {
        const TCompareRow& row = store.Row(p);
        if (!row.TopLevel() && ReachesNewLog(row))
            Take(plan, row, p);
    }
    return plan;
}

TCompareDeletion PlanRubbishBinDeletion(const TCompareRowStore& store, bool tagsShown)
{
    TCompareDeletion plan;
    if (!tagsShown)
        return plan;
    for (int p = 0; p < store.Count(); ++p) {
        const TCompareRow& row = store.Row(p);
        if (!row.TopLevel() && ReachesNewLog(row) &&
            RowStateOf(row, true, true).Image == kRubbishBinImage)
            Take(plan, row, p);
    }
    return plan;
}

std::vector<int> RowsInsideTrees(const TCompareRowStore& store, const TDeletedTrees& trees)
{
    std::vector<int> rows;
    for (int p = 0; p < store.Count() && !trees.Empty(); ++p) {
        const TCompareRow& row = store.Row(p);
        if (ReachesNewLog(row) && trees.Contains(row.NewLogOffset))
            rows.push_back(p);
    }
    return rows;
}

} // namespace vm
