#include "output/ListViewPrint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace vm {

namespace {
int DotsPerMm(int dpi)
{
    return static_cast<int>(std::lround(dpi / 25.45));
}

int MarginPixels(int dotsPerMm, int hundredthsMm)
{
    return static_cast<int>(static_cast<int64_t>(dotsPerMm) * hundredthsMm / 100);
}

int NotNegative(int64_t value)
{
    return value < 0 ? 0 : static_cast<int>(std::min<int64_t>(value, INT32_MAX));
}
} // namespace

TPageGeometry ComputePageGeometry(const TPageMargins& m, const TPrinterFacts& p)
{
    const int dotsX = DotsPerMm(p.DpiX), dotsY = DotsPerMm(p.DpiY);
    TPageGeometry g;
    g.Top = NotNegative(int64_t(MarginPixels(dotsY, m.Top)) - p.OffsetY);
    g.Left = NotNegative(int64_t(MarginPixels(dotsX, m.Left)) - p.OffsetX);
    g.Bottom = NotNegative(int64_t(MarginPixels(dotsY, m.Bottom)) + p.PrintableHeight + p.OffsetY -
                           p.PaperHeight);
    g.Right = NotNegative(int64_t(MarginPixels(dotsX, m.Right)) + p.PrintableWidth + p.OffsetX -
                          p.PaperWidth);
    g.PrintableHeight = p.PrintableHeight - g.Top - g.Bottom;
    g.PrintableWidth = p.PrintableWidth - g.Left - g.Right;
    return g;
}

TListReport::TListReport(const TListTable& table, const std::vector<int>& columns,
                         const TPageGeometry& geometry, const TPrintFont& font, TReportTexts texts)
    : table_(table), geometry_(geometry), font_(font), texts_(std::move(texts))
{
    int64_t total = 0;
    for (int c : columns)
        total += table.Column(c).Width;
    int64_t x = geometry.Left;
    for (int c : columns) {
        TListColumn column = table.Column(c);
        if (column.Width == 0 || total <= 0)
            continue;
        TPrintedColumn printed;
        printed.Column = c;
        printed.X = static_cast<int>(x);
        printed.Width =
            static_cast<int>(int64_t(column.Width) * std::max(0, geometry.PrintableWidth) / total);
        printed.RightAligned = column.RightAligned;
        x += printed.Width;
        columns_.push_back(printed);
    }
}

TPrintFont TListReport::Font(int sizeChange, bool bold, bool italic) const
{
    TPrintFont f = font_;
    f.Size = std::max(1, f.Size + sizeChange);
    f.Bold = bold;
    f.Italic = italic;
    return f;
}

int TListReport::LineHeight(TPrintCanvas& canvas)
{
    canvas.SetFont(Font(0, false, false));
    return static_cast<int>(1.2 * canvas.TextHeight("XYZ"));
}

bool TListReport::FitsWidth(TPrintCanvas& canvas)
{
    canvas.SetFont(Font(0, false, false));
    for (const TPrintedColumn& c : columns_) {
        int wide = canvas.TextWidth(OneLine(table_.Column(c.Column).Caption));
        if (table_.RowCount() > 0)
            wide = std::max(wide, canvas.TextWidth(OneLine(table_.Text(0, c.Column))));
        if (wide > c.Width)
            return false;
    }
    return true;
}

void TListReport::Cell(TPrintCanvas& canvas, const TPrintedColumn& c, const std::string& text)
{
    // A right-aligned text ends two blanks before the column's right edge.
    const int wide = canvas.TextWidth(c.RightAligned ? text + "  " : text);
    if (wide <= c.Width) {
        const int x = c.RightAligned ? c.X + c.Width - wide : c.X;
        canvas.TextOut(x, y_, text, c.X, c.X + c.Width);
        return;
    }
    clipped_ = true;
    canvas.TextOut(c.X, y_, text, c.X, c.X + c.Width);
}

void TListReport::Centred(TPrintCanvas& canvas, const std::string& text)
{
    const int x = geometry_.Left + (geometry_.PrintableWidth - canvas.TextWidth(text)) / 2;
    canvas.TextOut(x, y_, text, geometry_.Left, geometry_.Left + geometry_.PrintableWidth);
}

void TListReport::Heading(TPrintCanvas& canvas)
{
    y_ = geometry_.Top;
    canvas.SetFont(Font(2, true, false));
    Centred(canvas, OneLine(texts_.Heading));
    y_ += static_cast<int>(1.2 * lineHeight_);
    canvas.SetFont(Font(0, true, true));
    Centred(canvas, OneLine(texts_.Subheading));
    y_ += static_cast<int>(1.2 * lineHeight_);
    canvas.SetFont(Font(0, true, false));
    for (const TPrintedColumn& c : columns_)
        if (c.Width > 0)
            Cell(canvas, c, OneLine(table_.Column(c.Column).Caption));
    canvas.SetFont(Font(0, false, false));
    y_ += lineHeight_;
    canvas.HorizontalLine(geometry_.Left, geometry_.Left + geometry_.PrintableWidth, y_);
    y_ += static_cast<int>(std::lround(0.5 * lineHeight_));
}

void TListReport::Line(TPrintCanvas& canvas, int row)
{
    for (const TPrintedColumn& c : columns_)
        if (c.Width > 0)
            Cell(canvas, c, OneLine(table_.Text(row, c.Column)));
}

void TListReport::Footer(TPrintCanvas& canvas, int page)
{
    const int left = geometry_.Left, right = geometry_.Left + geometry_.PrintableWidth;
    y_ = geometry_.Top + geometry_.PrintableHeight - 2 * lineHeight_;
    canvas.SetFont(Font(0, false, true));
    canvas.HorizontalLine(left, right, y_);
    y_ += lineHeight_ / 4;
    const std::string number = "Page " + std::to_string(page);
    canvas.TextOut(right - canvas.TextWidth(number), y_, number, left, right);
    std::string printed = "Printed at " + texts_.PrintedAt + "   ";
    AppendOneLine(printed, texts_.Footer);
    canvas.TextOut(left, y_, printed, left, right);
    y_ += lineHeight_;
    canvas.SetFont(Font(-2, false, true));
    canvas.TextOut(left, y_, "Information provided by Volumark", left, right);
    canvas.SetFont(Font(0, false, false));
}

TPrintOutcome TListReport::Print(TPrintCanvas& canvas, const std::function<bool(int)>& beforePage)
{
    TPrintOutcome outcome;
    lineHeight_ = LineHeight(canvas);
    // The heading takes about four lines and the footer three; a page needs room for them and
    // a row, or every row would start a page of its own.
    if (geometry_.PrintableWidth <= 0 || geometry_.PrintableHeight < 8 * lineHeight_)
        throw std::runtime_error("The page margins leave no room to print the list: make them "
                                 "smaller in \"Page setup\"");
    const int bottomLimit = geometry_.Top + geometry_.PrintableHeight - 3 * lineHeight_;
    y_ = INT32_MAX; // forces a heading before the first row
    const int rows = table_.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (y_ > bottomLimit) {
            if (beforePage && !beforePage(outcome.Pages + 1)) {
                outcome.Stopped = true;
                break;
            }
            if (outcome.Pages > 0) {
                Footer(canvas, outcome.Pages);
                canvas.NewPage();
            }
            ++outcome.Pages;
            Heading(canvas);
        }
        Line(canvas, row);
        y_ += lineHeight_;
    }
    if (outcome.Pages > 0)
        Footer(canvas, outcome.Pages);
    return outcome;
}

} // namespace vm
