// The texts the list windows make alike from plain state: a caption made unique, the status
// bar's counts and totals, the parts of a file name the lists show, and the date columns.
#pragma once

#include "platform/Locale.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vm {

// What the caption of a window that changes nothing through its file ends with.
inline const char* const kReadOnlySuffix = " [read only]";
// base when exists(base) is false, else base + " (2)", " (3)" ... the first that does not exist.
std::string UniqueCaption(const std::string& base,
                          const std::function<bool(const std::string&)>& exists);

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
