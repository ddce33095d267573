// A list window's rows as a printed report: the page geometry from the margins and the
// printer's facts, the columns spread over the printable width, and the pages, each with its
// heading (heading, subheading, column captions, a rule) and its footer (a rule, "Page n",
// "Printed at ..." with the footer text, "Information provided by Volumark").
//
// The report draws on a TPrintCanvas, so that the same layout goes to a printer, a PDF file or
// a test's recording canvas. Rows are read from the table as each is printed; nothing is copied.
// All positions are printer pixels from the top-left corner of the area the printer can print.
#pragma once

#include "output/ListColumns.h"
#include "output/PrintSettings.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

struct TPrintFont
{
    std::string Name;
    int Size = 10; // points
    bool Bold = false, Italic = false;
};

// Where a report is drawn. Texts are UTF-8 and drawn with the top of the line at y.
class TPrintCanvas
{
public:
    virtual ~TPrintCanvas() = default;
    virtual void SetFont(const TPrintFont& font) = 0;
    // In the current font.
    virtual int TextWidth(std::string_view text) = 0;
    virtual int TextHeight(std::string_view text) = 0;
    // Draws text at (x, y); nothing of it left of clipLeft or right of clipRight.
    virtual void TextOut(int x, int y, std::string_view text, int clipLeft, int clipRight) = 0;
    virtual void HorizontalLine(int x1, int x2, int y) = 0;
    // Ends the page and begins the next.
    virtual void NewPage() = 0;
};

// What a printer offers, in its pixels (the printable area is the part of the sheet it can
// print on; offsets place it on the sheet).
struct TPrinterFacts
{
    int DpiX = 0, DpiY = 0;
    int PrintableWidth = 0, PrintableHeight = 0;
    int PaperWidth = 0, PaperHeight = 0;
    int OffsetX = 0, OffsetY = 0;
};

// The margins in printer pixels, measured from the printable area's edges, and the room
// between them.
struct TPageGeometry
{
    int Top = 0, Bottom = 0, Left = 0, Right = 0;
    int PrintableHeight = 0, PrintableWidth = 0;
};

// Margins in hundredths of a millimetre on the printer: dots per millimetre are
// round(dpi / 25.45), a margin is trunc(dots per millimetre x margin / 100), less what the
// printer cannot print on that side (never below 0).
TPageGeometry ComputePageGeometry(const TPageMargins& hundredthsMm, const TPrinterFacts& printer);

// The texts around the rows.
struct TReportTexts
{
    std::string Heading, Subheading, Footer;
    std::string PrintedAt; // the date and time the footer names
};

// A column as printed: its table index, position and width.
struct TPrintedColumn
{
    int Column = 0;
    int X = 0, Width = 0;
    bool RightAligned = false;
};

struct TPrintOutcome
{
    int Pages = 0;        // 0: nothing was printed (the job is to be abandoned)
    bool Stopped = false; // the page callback asked to stop
};

class TListReport
{
public:
    // table outlives the report; columns are the chosen ones in order (columns of width 0
    // are left out).
    TListReport(const TListTable& table, const std::vector<int>& columns,
                const TPageGeometry& geometry, const TPrintFont& font, TReportTexts texts);

    const std::vector<TPrintedColumn>& Columns() const { return columns_; }
    // trunc(1.2 x the height of "XYZ") in the report font.
    int LineHeight(TPrintCanvas& canvas);
    // True when, in the report font, every column's caption and its text in the first row fit
    // its printed width.
    bool FitsWidth(TPrintCanvas& canvas);
    // Prints every row, a heading on every page and a footer under it. beforePage, when given,
    // is called with the number of each page about to begin; false ends the report there.
    // Raises std::runtime_error when the margins leave no room for a heading and a row.
    TPrintOutcome Print(TPrintCanvas& canvas, const std::function<bool(int)>& beforePage = {});
    // True when a text was wider than its column and was cut at the column's edge.
    bool Clipped() const { return clipped_; }

private:
    void Heading(TPrintCanvas& canvas);
    void Line(TPrintCanvas& canvas, int row);
    void Footer(TPrintCanvas& canvas, int page);
    void Cell(TPrintCanvas& canvas, const TPrintedColumn& column, const std::string& text);
    void Centred(TPrintCanvas& canvas, const std::string& text);
    TPrintFont Font(int sizeChange, bool bold, bool italic) const;

    const TListTable& table_;
    std::vector<TPrintedColumn> columns_;
    TPageGeometry geometry_;
    TPrintFont font_;
    TReportTexts texts_;
    int lineHeight_ = 0;
    int y_ = 0;
    bool clipped_ = false;
};

} // namespace vm
