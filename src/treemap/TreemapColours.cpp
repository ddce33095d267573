#include "treemap/TreemapColours.h"

#include <algorithm>

namespace vm {

TRgb FamilyColour(TFileFamily family)
{
    // Hues far enough apart to be told from each other also by most readers with a colour
    // vision deficiency; Other stays grey, so that the known kinds stand out.
    switch (family) {
    case TFileFamily::Archives:
        return {0xE6, 0x9F, 0x00}; // orange
    case TFileFamily::Images:
        return {0x00, 0x9E, 0x73}; // bluish green
    case TFileFamily::Video:
        return {0xCC, 0x79, 0xA7}; // reddish purple
    case TFileFamily::Audio:
        return {0x56, 0xB4, 0xE9}; // sky blue
    case TFileFamily::Documents:
        return {0x00, 0x72, 0xB2}; // blue
    case TFileFamily::Code:
        return {0xD5, 0x5E, 0x00}; // vermilion
    case TFileFamily::Libraries:
        return {0xF0, 0xE4, 0x42}; // yellow
    case TFileFamily::Logs:
        return {0x8C, 0x6D, 0x31}; // brown
    case TFileFamily::Other:
        break;
    }
    return {0xB4, 0xB4, 0xB4};
}

std::vector<TLegendItem> FamilyLegend()
{
    std::vector<TLegendItem> legend;
    for (TFileFamily f : kFamilies)
        legend.push_back({FamilyColour(f), FamilyName(f)});
    return legend;
}

TChangeClass ChangeClassOf(int64_t was, int64_t now)
{
    if (was == now)
        return TChangeClass::Unchanged;
    if (was <= 0)
        return TChangeClass::AllNew;
    if (now <= 0)
        return TChangeClass::AllGone;
    const double larger = static_cast<double>(std::max(was, now));
    const double change = static_cast<double>(now - was) / larger;
    const double size = change < 0 ? -change : change;
    const int step = size <= 0.1 ? 0 : size <= 0.25 ? 1 : size <= 0.5 ? 2 : 3;
    const int unchanged = static_cast<int>(TChangeClass::Unchanged);
    return static_cast<TChangeClass>(change < 0 ? unchanged - 1 - step : unchanged + 1 + step);
}

TRgb ChangeColour(TChangeClass change)
{
    // A diverging scale, blue for less and red for more, darkest at the ends (the all gone and
    // all new entries), with a light grey for no change.
    static constexpr TRgb kScale[kChangeClassCount] = {
        {0x21, 0x66, 0xAC}, {0x43, 0x93, 0xC3}, {0x92, 0xC5, 0xDE}, {0xD1, 0xE5, 0xF0},
        {0xF7, 0xF7, 0xF7}, {0xFD, 0xDB, 0xC7}, {0xF4, 0xA5, 0x82}, {0xD6, 0x60, 0x4D},
        {0xB2, 0x18, 0x2B}, {0x67, 0x00, 0x1F}, {0x05, 0x30, 0x61}};
    const auto i = static_cast<size_t>(change);
    return i < kChangeClassCount ? kScale[i] : kScale[static_cast<size_t>(TChangeClass::Unchanged)];
}

const char* ChangeClassName(TChangeClass change)
{
    using C = TChangeClass;
    switch (change) {
    case C::AllGone:
        return "All gone";
    case C::ShrankMost:
        return "Shrank by more than half";
    case C::ShrankMore:
        return "Shrank by 25% to 50%";
    case C::ShrankSome:
        return "Shrank by 10% to 25%";
    case C::ShrankLittle:
        return "Shrank by up to 10%";
    case C::Unchanged:
        break;
    case C::GrewLittle:
        return "Grew by up to 11%";
    case C::GrewSome:
        return "Grew by 11% to 33%";
    case C::GrewMore:
        return "Grew by 33% to 100%";
    case C::GrewMost:
        return "More than doubled";
    case C::AllNew:
        return "All new";
    }
    return "Unchanged";
}

std::vector<TLegendItem> ChangeLegend()
{
    using C = TChangeClass;
    const C order[] = {C::AllGone,      C::ShrankMost, C::ShrankMore, C::ShrankSome,
                       C::ShrankLittle, C::Unchanged,  C::GrewLittle, C::GrewSome,
                       C::GrewMore,     C::GrewMost,   C::AllNew};
    std::vector<TLegendItem> legend;
    for (C c : order)
        legend.push_back({ChangeColour(c), ChangeClassName(c)});
    return legend;
}

} // namespace vm
