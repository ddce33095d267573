// Text that leaves the program in formats that demand valid UTF-8 (mail, exports): checking
// UTF-8, replacing what is not, and Base64 for the bytes themselves. File names on Linux are
// bytes, not text, so every writer of a name needs both: a readable text and the exact bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vm {

// The length of the valid UTF-8 sequence that starts at text[i] (1 to 4), or 0 when none does
// (a stray continuation byte, a cut-off sequence, an overlong form, a surrogate, a value past
// U+10FFFF).
size_t Utf8SequenceLength(std::string_view text, size_t i);
bool IsValidUtf8(std::string_view text);
// Appends text with every byte that does not belong to a valid sequence written as U+FFFD;
// returns false when there was such a byte.
bool AppendValidUtf8(std::string& out, std::string_view text);
std::string ValidUtf8(std::string_view text);

// A name (or a path) as it is printed for a person to read: on a terminal, in a mail body, in a
// dump. Every byte that could act on the reader instead of being read comes out as \xNN: C0
// controls and DEL (so line breaks too: a name stays on one line and cannot plant lines of its
// own), C1 controls (raw, or as UTF-8: U+0080 to U+009F, which terminals take for escape
// sequences), the characters that reorder or break the text around them (bidirectional marks,
// embeddings, overrides and isolates, the line and paragraph separators), bytes that are not
// valid UTF-8, and each byte of alsoEscaped (by default the backslash, so an escape can be told
// from a name that holds the same characters). Everything else, other languages included, stays.
std::string PrintableName(std::string_view bytes, std::string_view alsoEscaped = "\\");

// Base64 with padding (RFC 4648, the standard alphabet).
std::string Base64(std::string_view bytes);

} // namespace vm
