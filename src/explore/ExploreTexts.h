// The texts only the explore window shows: its caption (also over a log held read only), the
// deleted total beside its list and the status bar's selection panel.
#pragma once

#include "platform/Locale.h"

#include <cstdint>
#include <string>

namespace vm {

// "Exploring log 7"; for a log held in memory "Exploring log ".
std::string ExploreCaption(int logNumber, bool inMemory);
// A log file that no reference owns, opened read only: "Exploring log 7 [read only]" when its
// name carries a number (logNumber > 0), else "Exploring weekly.kdf [read only]".
std::string ReadOnlyExploreCaption(int logNumber, const std::string& fileName);
// What the window says when asked to change a log it holds read only.
inline const char* const kReadOnlyLogText =
    "This log is open read only: it lies in no reference of a data directory, so nothing is "
    "written into it and nothing is deleted through it. Open it from the reference manager of "
    "its data directory to change it.";
// The deleted total beside the list's caption strip: empty for 0 or less, else
// "(Deleted 12 KB)  " (with two trailing blanks).
std::string AccumulatorText(int64_t deletedTotal, const TLocale& locale);
// The selection panel: "3 directories 2 files selected - 8 KB" (counts that are 0 left out).
std::string SelectionText(int64_t directories, int64_t files, int64_t bytes, const TLocale& locale);

} // namespace vm
