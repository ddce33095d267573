// How vmlog dump writes values: names quoted with unprintable bytes escaped, packed times and
// date-times as local calendar times.
#pragma once

#include "core/LogRecord.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <string>

namespace vm::vmlog {

// The bytes in double quotes, escaped as every printed name is (PrintableName), '"' too, so
// that any name prints on one line and can be told from any other.
std::string QuotedName(const std::string& bytes);
// "2024-05-01 12:34:56"; "none" for 0 (a date never known); "?" for a value outside the calendar.
std::string DateTimeText(TDateTime value);
// A packed time: "none" for 0 (no date was stored), else its date-time.
std::string PackedTimeText(int32_t packed);
// A time as a log stores it: "none" when it holds none; an exact log's local time as
// PackedTimeText shows it; an extended log's as UTC with its nanoseconds,
// "2024-05-01T10:34:56.123456789Z".
std::string LogTimeText(const TLogTime& time);
// "0x00000010"
std::string Hex32(uint32_t value);

} // namespace vm::vmlog
