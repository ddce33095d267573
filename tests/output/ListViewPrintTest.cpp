// The printed report without a printer: the page geometry from margins and printer facts, the
// margins as stored, and the pages a recording canvas receives.
#include "output/ListViewPrint.h"

#include "platform/Registry.h"
#include "support/ListTableDouble.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using vmtest::ExploreLikeTable;
using vmtest::ListTableDouble;

// A printer of 300 dots per inch with an A4 sheet and no unprintable border.
TPrinterFacts A4At300()
{
    TPrinterFacts f;
    f.DpiX = f.DpiY = 300;
    f.PaperWidth = f.PrintableWidth = 2480;
    f.PaperHeight = f.PrintableHeight = 3508;
    return f;
}

TEST(PageGeometryTest, OneInchMarginsAt300DotsPerInch)
{
    TPageGeometry g =
        ComputePageGeometry(ToHundredthsMm(DefaultMargins(kHundredthsMm), 0), A4At300());
    EXPECT_EQ(g.Top, 305); // dots per millimetre round(300 / 25.45) = 12; trunc(12 * 2545 / 100)
    EXPECT_EQ(g.Left, 305);
    EXPECT_EQ(g.Bottom, 305);
    EXPECT_EQ(g.Right, 305);
    EXPECT_EQ(g.PrintableHeight, 3508 - 610);
    EXPECT_EQ(g.PrintableWidth, 2480 - 610);

    // Thousandths of an inch become hundredths of a millimetre first: 1000 * 2545 / 1000.
    EXPECT_EQ(
        ComputePageGeometry(ToHundredthsMm(DefaultMargins(kThousandthsInch), 1), A4At300()).Top,
        305);
}

TEST(PageGeometryTest, WhatThePrinterCannotPrintIsTakenOff)
{
    TPrinterFacts f = A4At300();
    f.OffsetX = 50;                // unprintable on the left
    f.OffsetY = 60;                // and at the top
    f.PrintableWidth -= 50 + 70;   // 70 on the right
    f.PrintableHeight -= 60 + 400; // 400 at the bottom: more than the margin
    TPageGeometry g = ComputePageGeometry({2545, 2545, 2545, 2545}, f);
    EXPECT_EQ(g.Left, 255);
    EXPECT_EQ(g.Top, 245);
    EXPECT_EQ(g.Right, 235);
    EXPECT_EQ(g.Bottom, 0); // never below 0
    EXPECT_EQ(g.PrintableHeight, f.PrintableHeight - 245);
    EXPECT_EQ(g.PrintableWidth, f.PrintableWidth - 255 - 235);
}

class StoredMarginsTest : public ::testing::Test
{
protected:
    StoredMarginsTest() : registry(dir / "registry.ini") {}
    vmtest::TempDir dir;
    TRegistry registry;
};

TEST_F(StoredMarginsTest, MarginsOfTheOtherUnitAreConverted)
{
    // Nothing stored: one inch in the user's unit.
    EXPECT_EQ(ReadPageMargins(registry, kHundredthsMm).Left, 2545);
    EXPECT_EQ(ReadPageMargins(registry, kThousandthsInch).Top, 1000);

    WritePageMargins(registry, {1000, 500, 750, 1}, kThousandthsInch);
    TPageMargins metric = ReadPageMargins(registry, kHundredthsMm);
    EXPECT_EQ(metric.Left, 2545);  // trunc(1000 * 2.5451768897938405)
    EXPECT_EQ(metric.Right, 1272); // trunc(1272.588...)
    EXPECT_EQ(metric.Top, 1908);   // trunc(1908.88...)
    EXPECT_EQ(metric.Bottom, 2);
    EXPECT_EQ(ReadPageMargins(registry, kThousandthsInch).Right, 500);

    WritePageMargins(registry, {2545, 1000, 0, 3}, kHundredthsMm);
    TPageMargins inch = ReadPageMargins(registry, kThousandthsInch);
    EXPECT_EQ(inch.Left, 999); // trunc(2545 * 0.3929)
    EXPECT_EQ(inch.Right, 392);
    EXPECT_EQ(inch.Bottom, 1);
}

// A canvas that records what is drawn: every character is Size pixels wide, a line 2 * Size
// pixels high, so line height is trunc(1.2 * 2 * Size).
class RecordingCanvas : public TPrintCanvas
{
public:
    struct Drawn
    {
        int Page;
        int X, Y;
        std::string Text;
        TPrintFont Font;
        bool Clipped;
    };
    void SetFont(const TPrintFont& font) override { font_ = font; }
    int TextWidth(std::string_view text) override { return int(text.size()) * font_.Size; }
    int TextHeight(std::string_view) override { return 2 * font_.Size; }
    void TextOut(int x, int y, std::string_view text, int clipLeft, int clipRight) override
    {
        bool clipped = x < clipLeft || x + TextWidth(text) > clipRight;
        Texts.push_back({Page, x, y, std::string(text), font_, clipped});
    }
    void HorizontalLine(int, int, int y) override { Lines.push_back({Page, y}); }
    void NewPage() override { ++Page; }

    // Texts of a page, in drawing order.
    std::vector<std::string> On(int page) const
    {
        std::vector<std::string> out;
        for (const Drawn& d : Texts)
            if (d.Page == page)
                out.push_back(d.Text);
        return out;
    }
    const Drawn* Find(const std::string& text) const
    {
        for (const Drawn& d : Texts)
            if (d.Text == text)
                return &d;
        return nullptr;
    }

    int Page = 1;
    std::vector<Drawn> Texts;
    std::vector<std::pair<int, int>> Lines; // page, y

private:
    TPrintFont font_;
};

class ListReportTest : public ::testing::Test
{
protected:
    ListReportTest() : table(ExploreLikeTable())
    {
        geometry.Top = 100;
        geometry.Left = 50;
        geometry.PrintableWidth = 1000;
        // 10 points: a line is 24 pixels; the heading takes 28 + 28 + 24 + 12 = 92, the footer
        // the last 3 lines: 10 rows fit between.
        geometry.PrintableHeight = 92 + 10 * 24 + 3 * 24 - 1;
        font.Name = "Mono";
        font.Size = 10;
        texts = {"Heading", "Exploring log 3 - Servers", "Contents of: /srv/", "01/02/26 10:00"};
    }
    void Rows(int n)
    {
        for (int i = 0; i < n; ++i)
            table.Add(
                {"f" + std::to_string(i), "", "File", std::to_string(i) + " KB", "4 KB", "d"});
    }

    ListTableDouble table;
    TPageGeometry geometry;
    TPrintFont font;
    TReportTexts texts;
    RecordingCanvas canvas;
};

TEST_F(ListReportTest, ColumnsShareThePrintableWidthByTheirListWidths)
{
    TListReport report(table, {0, 1, 3, 4}, geometry, font, texts);
    ASSERT_EQ(report.Columns().size(), 3u); // the hidden "Full path" is left out
    EXPECT_EQ(report.Columns()[0].X, 50);
    EXPECT_EQ(report.Columns()[0].Width, 473); // trunc(180 * 1000 / 380)
    EXPECT_EQ(report.Columns()[1].Column, 3);
    EXPECT_EQ(report.Columns()[1].X, 523);
    EXPECT_EQ(report.Columns()[1].Width, 263);
    EXPECT_EQ(report.Columns()[2].X, 786);

    // Any number of columns.
    ListTableDouble wide;
    for (int i = 0; i < 12; ++i)
        wide.Columns.push_back({"C" + std::to_string(i), 50, false});
    TListReport many(wide, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, geometry, font, texts);
    ASSERT_EQ(many.Columns().size(), 12u);
    EXPECT_EQ(many.Columns()[11].X, 50 + 11 * 83);
}

TEST_F(ListReportTest, PagesBreakWithAHeadingAndAFooterOnEach)
{
    Rows(25);
    TListReport report(table, {0, 3}, geometry, font, texts);
    TPrintOutcome outcome = report.Print(canvas);
    EXPECT_EQ(outcome.Pages, 3);
    EXPECT_FALSE(outcome.Stopped);
    EXPECT_EQ(canvas.Page, 3);
    for (int page = 1; page <= 3; ++page) {
        std::vector<std::string> on = canvas.On(page);
        ASSERT_GE(on.size(), 7u) << page;
        EXPECT_EQ(on[0], "Heading");
        EXPECT_EQ(on[1], "Exploring log 3 - Servers");
        EXPECT_EQ(on[2], "File name");
        EXPECT_EQ(on[3], "File size");
        EXPECT_EQ(on[on.size() - 3], "Page " + std::to_string(page));
        EXPECT_EQ(on[on.size() - 2], "Printed at 01/02/26 10:00   Contents of: /srv/");
        EXPECT_EQ(on.back(), "Information provided by Volumark");
    }
    // Ten rows a page (two texts each), five on the last.
    EXPECT_EQ(canvas.On(1).size(), 4u + 20u + 3u);
    EXPECT_EQ(canvas.On(3).size(), 4u + 10u + 3u);
    EXPECT_EQ(canvas.Find("f10")->Page, 2);
    EXPECT_EQ(canvas.Find("f0")->Y, 100 + 92);
    EXPECT_EQ(canvas.Find("f1")->Y, 100 + 92 + 24);
    // Two rules a page: under the captions and over the footer.
    EXPECT_EQ(canvas.Lines.size(), 6u);
    EXPECT_EQ(canvas.Lines[0].second, 100 + 28 + 28 + 24);
    EXPECT_EQ(canvas.Lines[1].second, 100 + geometry.PrintableHeight - 48);
}

TEST_F(ListReportTest, FontsOfTheHeadingFooterAndRows)
{
    Rows(1);
    TListReport report(table, {0}, geometry, font, texts);
    report.Print(canvas);
    const auto* heading = canvas.Find("Heading");
    EXPECT_EQ(heading->Font.Size, 12);
    EXPECT_TRUE(heading->Font.Bold);
    EXPECT_EQ(heading->X, 50 + (1000 - 7 * 12) / 2);
    const auto* sub = canvas.Find("Exploring log 3 - Servers");
    EXPECT_TRUE(sub->Font.Bold && sub->Font.Italic);
    EXPECT_TRUE(canvas.Find("File name")->Font.Bold);
    EXPECT_FALSE(canvas.Find("f0")->Font.Bold);
    EXPECT_TRUE(canvas.Find("Page 1")->Font.Italic);
    EXPECT_EQ(canvas.Find("Page 1")->X, 1050 - 6 * 10);
    EXPECT_EQ(canvas.Find("Information provided by Volumark")->Font.Size, 8);
}

TEST_F(ListReportTest, RightAlignedTextEndsTwoBlanksBeforeTheEdgeAndLongTextIsClipped)
{
    table.Add({std::string(100, 'n'), "", "", "12 KB", "", ""});
    TListReport report(table, {0, 3}, geometry, font, texts);
    EXPECT_FALSE(report.FitsWidth(canvas)); // 100 characters of 10 pixels in 642
    report.Print(canvas);
    const TPrintedColumn& size = report.Columns()[1];
    const auto* cell = canvas.Find("12 KB");
    EXPECT_EQ(cell->X + 7 * 10, size.X + size.Width);
    EXPECT_FALSE(cell->Clipped);
    EXPECT_TRUE(canvas.Find(std::string(100, 'n'))->Clipped);
    EXPECT_TRUE(report.Clipped());

    font.Size = 6;
    TListReport smaller(table, {0, 3}, geometry, font, texts);
    EXPECT_TRUE(smaller.FitsWidth(canvas)); // 600 pixels now
}

TEST_F(ListReportTest, NothingIsPrintedForNoRowsAndAStopEndsThePages)
{
    TListReport empty(table, {0}, geometry, font, texts);
    EXPECT_EQ(empty.Print(canvas).Pages, 0);
    EXPECT_TRUE(canvas.Texts.empty());

    Rows(35);
    std::vector<int> asked;
    TListReport report(table, {0}, geometry, font, texts);
    TPrintOutcome outcome = report.Print(canvas, [&](int page) {
        asked.push_back(page);
        return page < 3;
    });
    EXPECT_TRUE(outcome.Stopped);
    EXPECT_EQ(outcome.Pages, 2);
    EXPECT_EQ(asked, (std::vector<int>{1, 2, 3}));
}

TEST_F(ListReportTest, MarginsThatLeaveNoRoomAreRefused)
{
    Rows(3);
    geometry.PrintableHeight = 100;
    TListReport report(table, {0}, geometry, font, texts);
    EXPECT_THROW(report.Print(canvas), std::runtime_error);
    EXPECT_TRUE(canvas.Texts.empty());
}

} // namespace
} // namespace vm
