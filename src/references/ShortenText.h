// Fits a text into a status line: a text longer than n characters becomes its first n/2 - 2
// characters, "..." and its last n/2 - 1 characters (42 gives 19 + 3 + 20). Characters are
// counted as UTF-8 sequences, so a name is never cut inside one.
#pragma once

#include <cstddef>
#include <string>

namespace vm {

std::string ShortenText(const std::string& text, size_t n);
// The number of characters of a UTF-8 text, counted as ShortenText counts them.
size_t CharacterCount(const std::string& text);

} // namespace vm
