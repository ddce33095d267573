#include "output/PrintSettings.h"

#include "platform/Registry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <langinfo.h>
#include <locale.h>

namespace vm {

namespace {
const char* const kMarginNames[4] = {"PageMarginLeft", "PageMarginRight", "PageMarginTop",
                                     "PageMarginBottom"};

int* MarginField(TPageMargins& m, int i)
{
    int* fields[4] = {&m.Left, &m.Right, &m.Top, &m.Bottom};
    return fields[i];
}

int Truncated(double value)
{
    if (!(value > -2147483648.0 && value < 2147483648.0))
        return value < 0 ? INT32_MIN : INT32_MAX;
    return static_cast<int>(std::trunc(value));
}
} // namespace

int UserMeasurementUnit()
{
    // glibc answers 1 for metric and 2 for the US system.
    locale_t measurement = newlocale(LC_MEASUREMENT_MASK, "", static_cast<locale_t>(nullptr));
    if (measurement == static_cast<locale_t>(nullptr))
        measurement = newlocale(LC_MEASUREMENT_MASK, "C", static_cast<locale_t>(nullptr));
    if (measurement == static_cast<locale_t>(nullptr))
        return kHundredthsMm;
    const char* value = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, measurement);
    const int system = value ? static_cast<unsigned char>(value[0]) : 1;
    freelocale(measurement);
    return system == 1 ? kHundredthsMm : kThousandthsInch;
}

TPageMargins DefaultMargins(int unit)
{
    const int inch = unit == kHundredthsMm ? 2545 : 1000;
    return {inch, inch, inch, inch};
}

int ConvertMargin(int value, int fromUnit, int toUnit)
{
    if (fromUnit == toUnit)
        return value;
    return Truncated(value * (fromUnit == kHundredthsMm ? 0.3929 : 2.5451768897938405));
}

TPageMargins ToHundredthsMm(const TPageMargins& margins, int unit)
{
    if (unit == kHundredthsMm)
        return margins;
    TPageMargins out = margins;
    for (int i = 0; i < 4; ++i)
        *MarginField(out, i) =
            static_cast<int>(static_cast<int64_t>(*MarginField(out, i)) * 2545 / 1000);
    return out;
}

TPageMargins ReadPageMargins(TRegistry& registry, int unit)
{
    TPageMargins margins = DefaultMargins(unit);
    if (!registry.OpenKey(kSettingsKey, false))
        return margins;
    std::optional<int64_t> stored = registry.ReadInteger("PageMetrics");
    if (!stored)
        return margins;
    const int storedUnit = *stored == kHundredthsMm ? kHundredthsMm : kThousandthsInch;
    // A margin that is not stored keeps the default of the user's unit, so it is not converted.
    for (int i = 0; i < 4; ++i)
        if (std::optional<int64_t> value = registry.ReadInteger(kMarginNames[i]))
            *MarginField(margins, i) =
                ConvertMargin(static_cast<int>(std::clamp<int64_t>(*value, INT32_MIN, INT32_MAX)),
                              storedUnit, unit);
    return margins;
}

void WritePageMargins(TRegistry& registry, const TPageMargins& margins, int unit)
{
    registry.OpenKey(kSettingsKey, true);
    registry.WriteInteger("PageMetrics", unit);
    TPageMargins m = margins;
    for (int i = 0; i < 4; ++i)
        registry.WriteInteger(kMarginNames[i], *MarginField(m, i));
}

void ReadReportFont(TRegistry& registry, TReportFont& font)
{
    if (!registry.OpenKey(kSettingsKey, false))
        return;
    if (std::optional<std::string> name = registry.ReadString("PrintFontName");
        name && !name->empty()) {
        font.Name = *name;
        font.Chosen = true;
    }
    if (std::optional<int64_t> size = registry.ReadInteger("PrintFontSize");
        size && *size >= 1 && *size <= 1000) {
        font.Size = static_cast<int>(*size);
        font.Chosen = true;
    }
}

void WriteReportFont(TRegistry& registry, const TReportFont& font)
{
    registry.OpenKey(kSettingsKey, true);
    registry.WriteString("PrintFontName", font.Name);
    registry.WriteInteger("PrintFontSize", font.Size);
}

} // namespace vm
