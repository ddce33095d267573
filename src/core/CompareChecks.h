// The checks every reader of a comparison file applies, beside its format: when a record reads
// and when a link may be followed. TDirCompare's reads and walks and vmlog's dump use these, and
// report damage as a TLogDamage (core/LogChecks.h), in the same words as for logs.
#pragma once

#include "core/CompareFormat.h"

#include <cstdint>
#include <string>

namespace vm {

// The checks hold for both formats: firstOffset is where the records begin (14 exact, 16
// extended), minLength a record's fixed part and NUL.

// Why a walk may not follow the link from the record at `from` to `link`, "" when it may: the
// link must lie inside the file, behind the header, and ahead of `from`, so that no walk can
// loop (the first directory's NextDirOffset naming the first record ends the directory chain
// this way too).
std::string CompareLinkFault(int64_t from, int64_t link, int64_t fileSize,
                             int64_t firstOffset = kCompareFirstOffset);

// Why the record at offset whose length word reads `length` does not read in a file of fileSize
// bytes, "" when it does: it must begin behind the header, hold at least its fixed part and a
// NUL, and end inside the file.
std::string CompareRecordFault(int64_t offset, uint16_t length, int64_t fileSize,
                               int64_t firstOffset = kCompareFirstOffset,
                               int minLength = kCompareMinRecordLength);

// The links and condition of one record against the format's rules, without reading their
// targets: "" when they are sound, else the first that is not.
std::string CheckCompareRecordLinks(int64_t at, const TCompareRecord& record, int64_t fileSize,
                                    int64_t firstOffset = kCompareFirstOffset);

} // namespace vm
