// Small conversions that the list and tree windows share: zero-padded numbers, splitting a file
// name at its extension, the tag image of an entry's tag set, and the item tag word that ties a
// tree node or list row back to the entry it shows.
#pragma once

#include "platform/DateTime.h"
#include "platform/Locale.h"

#include <cstdint>
#include <string>

namespace vm {

// A log and a comparison hold 0 for a date that was never known (one outside what a log can
// hold, or never given): it shows as an empty text in every list, print, export and dialog.
inline bool DateKnown(TDateTime value)
{
    return value != 0;
}
// A list's date column: the short date and the time (DateTimeText), "" for a date never known.
std::string ListDateText(TDateTime value, const TLocale& locale);

// The decimal number left-padded with "0" to four digits: 7 -> "0007" (log and reference
// numbers in file names). Larger numbers keep all their digits.
std::string ZeroPad4(long long number);
// Left-pads with "0" to eight characters; longer texts are returned unchanged.
std::string ZeroPad8(const std::string& text);

struct TFileNameParts
{
    std::string Base;
    std::string Extension; // without the dot
};
// Splits at the last ".": "a.txt" -> "a" + "txt"; ".txt" -> "." + "txt" (a base that would be
// empty keeps its dot); a name without a dot gives an empty base and the whole name as the
// extension.
TFileNameParts SplitFileName(const std::string& name);

// Fixed images of the tag image list; a single user tag in slot i uses image i.
constexpr int kNoTagImage = -1;
constexpr int kRubbishBinImage = 11;
constexpr int kManyTagsImage = 12;
constexpr int kDeletedImage = 13;
// The image for an entry's tag set: none for 0, the deleted image when bit 31 is set, the
// Rubbish Bin image for bit 30, else the image of the one tag among bits 0 to 16, or the
// many-tags image when more than one of them is set.
int TagImageIndex(int32_t tagSet);

// The item tag word: a 4-bit kind code (what the row shows; the codes belong to the window)
// and the byte offset of the entry in the file the window shows. The word is 64 bits wide so
// that every offset a log can have (up to 2 GiB and beyond) fits beside the kind.
using TItemTag = uint64_t;
constexpr int kItemKindShift = 60;
constexpr TItemTag kItemOffsetMask = (TItemTag(1) << kItemKindShift) - 1;

// The kind alone, offset cleared (tree nodes).
inline void SetItemKind(TItemTag& word, unsigned kind)
{
    word = TItemTag(kind & 0xF) << kItemKindShift;
}
// The kind, keeping the offset (list rows).
inline void SetItemKindKeepOffset(TItemTag& word, unsigned kind)
{
    word = (word & kItemOffsetMask) | (TItemTag(kind & 0xF) << kItemKindShift);
}
// The offset, keeping the kind.
inline void SetItemOffset(TItemTag& word, uint64_t offset)
{
    word = (word & ~kItemOffsetMask) | (offset & kItemOffsetMask);
}
inline unsigned ItemKind(TItemTag word)
{
    return unsigned(word >> kItemKindShift);
}
inline uint64_t ItemOffset(TItemTag word)
{
    return word & kItemOffsetMask;
}

} // namespace vm
