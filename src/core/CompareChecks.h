// The checks every reader of a comparison file applies, beside its format: when a record reads
// and when a link may be followed. TDirCompare's reads and walks and vmlog's dump use these, and
// report damage as a TLogDamage (core/LogChecks.h), in the same words as for logs.
#pragma once

#include "core/CompareFormat.h"

#include <cstdint>
#include <string>

namespace vm {

// Why a walk may not follow the link from the record at `from` to `link`, "" when it may: the
// link must lie inside the file, behind the header, and ahead of `from`, so that no walk can
// loop (the first directory's NextDirOffset of 14 ends the directory chain this way too).
std::string CompareLinkFault(int32_t from, int32_t link, int64_t fileSize);

// Why the record at offset whose length word reads `length` does not read in a file of fileSize
// bytes, "" when it does: it must begin behind the header, hold at least its fixed part and a
// NUL, and end inside the file.
std::string CompareRecordFault(int32_t offset, uint16_t length, int64_t fileSize);

// The links and condition of one record against the format's rules, without reading their
// targets: "" when they are sound, else the first that is not.
std::string CheckCompareRecordLinks(int32_t at, const TCompareRecord& record, int64_t fileSize);

} // namespace vm
