#include "output/QtPrinterSettings.h"

#include "platform/QtText.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace vm {

namespace {
int DuplexNumber(QPrinter::DuplexMode mode)
{
    switch (mode) {
    case QPrinter::DuplexLongSide:
        return 1;
    case QPrinter::DuplexShortSide:
        return 2;
    case QPrinter::DuplexAuto:
        return 3;
    default:
        return 0;
    }
}

QPrinter::DuplexMode DuplexMode(int number)
{
    switch (number) {
    case 1:
        return QPrinter::DuplexLongSide;
    case 2:
        return QPrinter::DuplexShortSide;
    case 3:
        return QPrinter::DuplexAuto;
    default:
        return QPrinter::DuplexNone;
    }
}
} // namespace

TPrinterSettings SettingsOf(const QPrinter& printer)
{
    TPrinterSettings s;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        s.OutputFile = S(printer.outputFileName());
    else
        s.Printer = S(printer.printerName());
    const QPageLayout layout = printer.pageLayout();
    const QPageSize size = layout.pageSize();
    if (size.isValid()) {
        s.PageSizeName = S(size.key());
        const QSizeF points = size.size(QPageSize::Point);
        s.PageWidthPt = points.width();
        s.PageHeightPt = points.height();
    }
    s.Landscape = layout.orientation() == QPageLayout::Landscape;
    s.Copies = printer.copyCount();
    s.Duplex = DuplexNumber(printer.duplex());
    s.Color = printer.colorMode() == QPrinter::Color;
    s.Resolution = printer.resolution();
    return s;
}

void ApplySettings(QPrinter& printer, const TPrinterSettings& s)
{
    if (s.Printer.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Q(s.OutputFile));
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(Q(s.Printer));
    }
    if (s.PageWidthPt > 0 && s.PageHeightPt > 0) {
        QPageSize size(QSizeF(s.PageWidthPt, s.PageHeightPt), QPageSize::Point, Q(s.PageSizeName),
                       QPageSize::FuzzyMatch);
        if (size.isValid())
            printer.setPageSize(size);
    }
    printer.setPageOrientation(s.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setCopyCount(s.Copies);
    printer.setDuplex(DuplexMode(s.Duplex));
    printer.setColorMode(s.Color ? QPrinter::Color : QPrinter::GrayScale);
    if (s.Resolution > 0)
        printer.setResolution(s.Resolution);
}

TPrinterFacts PrepareFacts(QPrinter& printer)
{
    printer.setFullPage(false);
    QPageLayout layout = printer.pageLayout();
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(layout.minimumMargins());
    printer.setPageLayout(layout);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    TPrinterFacts f;
    f.DpiX = printer.logicalDpiX();
    f.DpiY = printer.logicalDpiY();
    f.PaperWidth = static_cast<int>(std::lround(paper.width()));
    f.PaperHeight = static_cast<int>(std::lround(paper.height()));
    f.PrintableWidth = static_cast<int>(std::lround(page.width()));
    f.PrintableHeight = static_cast<int>(std::lround(page.height()));
    f.OffsetX = static_cast<int>(std::lround(page.left() - paper.left()));
    f.OffsetY = static_cast<int>(std::lround(page.top() - paper.top()));
    return f;
}

std::vector<std::string> InstalledQueues()
{
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        names.push_back(S(name));
    return names;
}

} // namespace vm
