// What the compare window's file actions (the base's) need of it. Each row stands for its entry
// in the newer log (NewLogOffset), which is checked against the comparison before anything is
// read or written there; a mismatch turns the window read only. Which rows a deletion takes and
// what it asks are CompareDeletion.h's.
#include "compare/CompChildForm.h"

#include "compare/CompareDeletion.h"
#include "compare/CompareRules.h"
#include "compare/QtCompareListModel.h"
#include "fileops/DeletionTexts.h"
#include "listwindow/ChildFrame.h"
#include "platform/UserInterface.h"

namespace vm {

namespace {

// The newer log opened for one file action.
struct TNewLogAccess : TActionLog
{
    std::unique_ptr<TLogFile> File;
    TDirStorage& Log() override { return File->Log(); }
};

TRowDeletion RowDeletion(const TCompareDeletion& plan)
{
    TRowDeletion rows;
    rows.Positions = plan.Positions;
    rows.Rows = plan.Rows;
    rows.Space = plan.Space;
    return rows;
}

} // namespace

std::unique_ptr<TActionLog> TCompMDIChild::OpenActionLog(const std::vector<int>& positions,
                                                         bool writing)
{
    if (!TagsAvailable)
        return nullptr;
    std::vector<TNewLogTarget> targets;
    for (int p : positions)
        targets.push_back({store_.Row(p).Offset, table_.Entry(p).NewLogOffset});
    std::string mismatch;
    auto access = std::make_unique<TNewLogAccess>();
    try {
        access->File =
            OpenCheckedNewLog(ComparisonFileName, NewLogFileName, targets, writing, mismatch);
    } catch (const std::exception& e) {
        frame_.UI().ShowMessage(e.what());
        return nullptr;
    }
    if (!access->File) {
        TurnReadOnly(mismatch);
        return nullptr;
    }
    return access;
}

std::optional<TRowDeletion> TCompMDIChild::PlanSelectedDeletion()
{
    const std::vector<int> selected = SelectedPositions();
    if (selected.empty())
        return std::nullopt;
    if (selected.size() == 1 && store_.Row(selected.front()).TopLevel()) {
        frame_.UI().ShowMessage(kCannotDeletePath);
        return std::nullopt;
    }
    // Paths are never deleted, whatever else is selected; nor entries only the old log has.
    const TCompareDeletion plan = vm::PlanSelectedDeletion(table_, selected);
    TRowDeletion rows = RowDeletion(plan);
    rows.NothingText = kDirectoryAlreadyDeleted;
    const std::string place = DeletionPlace(CurrentDirectoryPath.empty(), CurrentDirectoryPath);
    rows.Question = CompareDeleteQuestion(plan.Directories, plan.Files, plan.Space, place, locale_);
    return rows;
}

TRowDeletion TCompMDIChild::PlanRubbishBinDeletion() const
{
    return RowDeletion(vm::PlanRubbishBinDeletion(table_, TagsShown));
}

bool TCompMDIChild::CopiesRow(int position) const
{
    // The files are reached through their entries in the newer log: a file only the old log has
    // is gone from the disk.
    const TCompareRow& row = store_.Row(position);
    return row.Kind == kRowFile && ReachesNewLog(row);
}

bool TCompMDIChild::HasProperties(int position) const
{
    return ReachesNewLog(store_.Row(position));
}

QIcon TCompMDIChild::PropertiesIcon(int position) const
{
    return ListModel->data(ListModel->index(position, kCmpName), Qt::DecorationRole).value<QIcon>();
}

bool TCompMDIChild::RefreshedAfterTreeDeletion(int position) const
{
    return ReachesNewLog(store_.Row(position));
}

} // namespace vm
