// The texts of the explore window that come from plain state: its caption, the labels above the
// list, the status bar's counts and totals, and the parts of a file name the list shows.
#pragma once

#include "platform/Locale.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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
// base when exists(base) is false, else base + " (2)", " (3)" ... the first that does not exist.
std::string UniqueCaption(const std::string& base,
                          const std::function<bool(const std::string&)>& exists);

// The deleted total beside the list's caption strip: empty for 0 or less, else
// "(Deleted 12 KB)  " (with two trailing blanks).
std::string AccumulatorText(int64_t deletedTotal, const TLocale& locale);
// The selection panel: "3 directories 2 files selected - 8 KB" (counts that are 0 left out).
std::string SelectionText(int64_t directories, int64_t files, int64_t bytes, const TLocale& locale);
// The object count panel: "12 Object(s)", or with the filter on "12 object(s) match filter".
std::string ObjectCountText(int64_t count, bool filterOn);
// The totals panel: "Size 2 KB    Space taken 8 KB".
std::string SizeTotalsText(int64_t size, int64_t allocated, const TLocale& locale);

// A file name's extension: what follows its last "." with the dot ("report.doc" -> ".doc"), or
// "" when it has none. A leading dot starts a name, not an extension (".bashrc" -> "").
std::string_view ExtensionOf(std::string_view name);
// The name without its extension ("report.doc" -> "report", ".bashrc" -> ".bashrc").
std::string_view StemOf(std::string_view name);
// The extension that tells what kind of file a name holds: ExtensionOf, except that numbers
// behind an earlier extension are a version or a rotation, not a type of their own
// ("libfoo.so.9" and "libfoo.so.1.2.3" -> ".so", "app.log.1" -> ".log"). A name whose only
// extension is a number keeps it ("ls.1" -> ".1").
std::string_view TypeExtensionOf(std::string_view name);

// The dates the list can show (the "View date types" menu); the numbers are the filter's date
// field codes too.
enum class TDateType
{
    Modified = 0,
    Created = 1,
    Accessed = 2
};
// "Date modified", "Date created" or "Date accessed".
std::string DateColumnCaption(TDateType type);

} // namespace vm
