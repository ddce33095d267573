// The colours of a treemap as plain RGB values, with the texts of their legend: one colour per
// file type family for a log, and for a comparison a diverging scale of change, from shrank
// through unchanged to grew, with entries that are all new and all gone marked apart.
#pragma once

#include "statistics/FileFamily.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

struct TRgb
{
    uint8_t R = 0, G = 0, B = 0;
    bool operator==(const TRgb&) const = default;
};

struct TLegendItem
{
    TRgb Colour;
    std::string Text;
};

// The colour of a family, and the legend of every family in their order.
TRgb FamilyColour(TFileFamily family);
std::vector<TLegendItem> FamilyLegend();

// How the space of an entry changed between two logs. The change is measured against the larger
// of the two figures, so that doubling and halving are the same step apart from unchanged:
// (now - was) / max(was, now), from -1 to 1.
enum class TChangeClass : uint8_t
{
    ShrankMost,   // more than halved
    ShrankMore,   // by a quarter to a half
    ShrankSome,   // by a tenth to a quarter
    ShrankLittle, // by up to a tenth
    Unchanged,
    GrewLittle, // by up to a ninth (the same step as a tenth down)
    GrewSome,   // by up to a third
    GrewMore,   // up to double
    GrewMost,   // more than doubled
    AllNew,     // nothing before (added, or grown from no space)
    AllGone     // nothing now (deleted, or shrunk to no space)
};
constexpr int kChangeClassCount = 11;

// The class of a change of space; added and deleted entries come out all new and all gone when
// they take space (an entry of no space either way is unchanged).
TChangeClass ChangeClassOf(int64_t was, int64_t now);

TRgb ChangeColour(TChangeClass change);
// "All gone", "Shrank by more than half" ... "Unchanged" ... "More than doubled", "All new".
const char* ChangeClassName(TChangeClass change);
// Every class in the scale's order: all gone, shrank most ... grew most, all new.
std::vector<TLegendItem> ChangeLegend();

} // namespace vm
