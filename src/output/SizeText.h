// The text every list, total and report shows for a byte count: whole kilobytes below 1 MiB
// (rounded up, no grouping), then megabytes below 1 GiB and gigabytes from there, with two
// decimals and the locale's separators: "2 KB", "1,024.00 MB", "1.00 GB", "-1 KB".
#pragma once

#include "platform/Locale.h"

#include <cstdint>
#include <string>

namespace vm {

std::string SizeText(int64_t value, const TLocale& locale);

} // namespace vm
