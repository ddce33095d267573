// A log or a comparison as CSV or JSON (output/ExportWriter.h), one record per entry in file
// order, read in one pass with a stack of open directories for the paths: no tree is built, so
// memory stays flat however many entries the file holds. docs/export_format.md describes the
// fields.
//
// A damaged file exports the entries that read, up to the damage, and says where it is damaged.
#pragma once

#include "output/ExportWriter.h"

#include <cstdint>
#include <string>

namespace vm {

class TDirStorage;
class TDirCompare;

struct TExportResult
{
    int64_t Entries = 0;
    std::string Damage; // empty when every entry was exported; else where and why it stopped
};

// Per entry of a log: path, kind, size, allocated, the three dates (ISO 8601 with the local
// offset; null when none was stored), attributes, tags (the log's names of the tags set) and
// deleted.
TExportResult ExportLog(TDirStorage& log, TExportFormat format, const TExportSink& sink);

// Per record of a comparison: path, kind, condition ("added", "deleted", "grew", "shrank",
// "unchanged"), size and allocated space was and now, and the change of the allocated space.
TExportResult ExportComparison(TDirCompare& comparison, TExportFormat format,
                               const TExportSink& sink);

} // namespace vm
