// What the compare window deletes, without Qt: which listed rows reach the disk through the
// newer log, what the question counts, and the entries the deletion procedures of the file
// operations (fileops/DeleteFiles.h) get. A row stands for its entry in the newer log
// (NewLogOffset); rows of entries only the old log has, entries already deleted from the disk
// and the reference's top-level paths are never deleted, whatever else is selected. The entries
// in the newer log and the space now are read through the list's table.
#pragma once

#include "compare/CompareList.h"
#include "compare/NewLogLink.h"
#include "fileops/DeleteFiles.h"

#include <cstdint>
#include <vector>

namespace vm {

struct TCompareDeletion
{
    std::vector<int> Positions;         // the rows, in list order
    std::vector<TDeleteRow> Rows;       // their entries in the newer log, in the same order
    std::vector<TNewLogTarget> Targets; // the same, to check against the comparison first
    int64_t Directories = 0, Files = 0; // what the question counts
    int64_t Space = 0;                  // their space now
};

// The selected rows ("Delete selected", "&Delete selected files"): folders and files that
// reach the newer log.
TCompareDeletion PlanSelectedDeletion(const TCompareListTable& table,
                                      const std::vector<int>& selected);
// "Delete files": the rows that show the rubbish-bin tag, which they show only while the tags
// are shown.
TCompareDeletion PlanRubbishBinDeletion(const TCompareListTable& table, bool tagsShown);

// The rows whose entries lie inside trees a deletion removed, to be shown as the newer log now
// has them.
std::vector<int> RowsInsideTrees(const TCompareListTable& table, const TDeletedTrees& trees);

} // namespace vm
