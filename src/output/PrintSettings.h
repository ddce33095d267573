// The print settings the settings store keeps between sessions (under kSettingsKey): the page
// margins with the unit they were measured in, and the report font. The printer itself and its
// page layout are kept by SavePrintSetup.h.
#pragma once

#include <string>

namespace vm {

class TRegistry;

// Units of the stored margins ("PageMetrics").
enum TMarginUnit : int
{
    kHundredthsMm = 0,    // metric
    kThousandthsInch = 1, // everything else
};

// The user's measurement system from the locale (LC_MEASUREMENT, as the C library resolves it):
// kHundredthsMm for metric, else kThousandthsInch.
int UserMeasurementUnit();

struct TPageMargins
{
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// One inch on every side in the unit: 2545 hundredths of a millimetre or 1000 thousandths of
// an inch.
TPageMargins DefaultMargins(int unit);
// A margin converted between the units as the stored values are: to thousandths of an inch
// times 0.3929, to hundredths of a millimetre times 2.5451768897938405, truncated.
int ConvertMargin(int value, int fromUnit, int toUnit);
// Margins in the unit as hundredths of a millimetre for the page geometry (thousandths of an
// inch times 2545 / 1000, truncated).
TPageMargins ToHundredthsMm(const TPageMargins& margins, int unit);

// The stored margins in the user's unit: converted when they were stored in the other unit;
// the default margins when none are stored (or the store cannot be read). A missing margin
// value keeps the default's.
TPageMargins ReadPageMargins(TRegistry& registry, int unit);
// Stores the margins with "PageMetrics" = unit. Raises std::runtime_error when the store
// cannot be written.
void WritePageMargins(TRegistry& registry, const TPageMargins& margins, int unit);

// The report font: "PrintFontName" and "PrintFontSize" (points).
struct TReportFont
{
    std::string Name = "DejaVu Sans";
    int Size = 10;
    bool Chosen = false; // the user chose it ("Change font"), so the settings hold it
};
// The stored font; each value missing (or a size below 1) keeps what font holds. Chosen when
// either value is stored.
void ReadReportFont(TRegistry& registry, TReportFont& font);
void WriteReportFont(TRegistry& registry, const TReportFont& font);

} // namespace vm
