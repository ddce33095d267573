#include "references/ShortenText.h"

#include <vector>

namespace vm {

namespace {

// Byte offsets where characters begin; a byte that is no part of a valid sequence counts as a
// character of its own.
std::vector<size_t> CharacterStarts(const std::string& s)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < s.size();) {
        starts.push_back(i);
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80           ? 1
                     : (c >> 5) == 0x6  ? 2
                     : (c >> 4) == 0xE  ? 3
                     : (c >> 3) == 0x1E ? 4
                                        : 1;
        size_t k = 1;
        while (k < len && i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80)
            ++k;
        i += (k == len) ? len : 1;
    }
    return starts;
}

} // namespace

std::string ShortenText(const std::string& text, size_t n)
{
    std::vector<size_t> starts = CharacterStarts(text);
    size_t count = starts.size();
    if (count <= n)
        return text;
    size_t head = n / 2 >= 2 ? n / 2 - 2 : 0;
    size_t tail = n / 2 >= 1 ? n / 2 - 1 : 0;
    std::string out = text.substr(0, head < count ? starts[head] : text.size());
    out += "...";
    if (tail > 0)
        out += text.substr(starts[count - tail]);
    return out;
}

size_t CharacterCount(const std::string& text)
{
    return CharacterStarts(text).size();
}

} // namespace vm
