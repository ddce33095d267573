#include "core/NameOrder.h"

#include <algorithm>

namespace vm {

namespace {
inline unsigned char Upper(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? c - 32 : c;
}
} // namespace

int CompareNames(std::string_view a, std::string_view b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = Upper(static_cast<unsigned char>(a[i]));
        unsigned char y = Upper(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

uint64_t NameSortKey(std::string_view name)
{
    // Names hold no NUL, so the zero bytes behind a short name put it before every longer name
    // that it begins, as CompareNames does.
    uint64_t key = 0;
    for (size_t i = 0; i < 8; ++i)
        key = key << 8 | (i < name.size() ? Upper(static_cast<unsigned char>(name[i])) : 0u);
    return key;
}

} // namespace vm
