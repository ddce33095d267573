// The order of names inside a directory, shared by the scan that writes a log and by everything
// that walks two logs side by side: the names upper-cased in ASCII ("a" to "z" only) compared
// byte by byte as unsigned values, a shorter name first where one is the start of the other, and
// the exact bytes as the tie-breaker, so that names differing only in case still have one order.
#pragma once

#include <cstdint>
#include <string_view>

namespace vm {

// Negative, 0 or positive as a sorts before, with or after b. 0 only for equal names.
int CompareNames(std::string_view a, std::string_view b);
inline bool NameLess(std::string_view a, std::string_view b)
{
    return CompareNames(a, b) < 0;
}
// The first eight bytes of a name as the order sees them, as one number: two names whose keys
// differ sort as their keys do; equal keys leave the order to CompareNames. Sorting a large
// directory by key first spares most of the byte-by-byte comparisons.
uint64_t NameSortKey(std::string_view name);

} // namespace vm
