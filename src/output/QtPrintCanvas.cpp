#include "output/QtPrintCanvas.h"

#include "platform/QtText.h"

#include <QPrinter>

#include <algorithm>
#include <fstream>

namespace vm {

namespace {
// Whether a PDF file was written to its end: Qt's PDF writer does not report failed writes, but
// a file cut short lacks the "%%EOF" that closes every PDF.
bool PdfComplete(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : 0;
    if (size <= 0)
        return false;
    const std::streamoff tail = std::min<std::streamoff>(size, 64);
    std::string end(static_cast<size_t>(tail), '\0');
    file.seekg(size - tail);
    file.read(end.data(), tail);
    return file && end.find("%%EOF") != std::string::npos;
}

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

TQtPrintCanvas::TQtPrintCanvas(QPrinter& printer) : printer_(printer), metrics_(QFont(), &printer)
{
}

TQtPrintCanvas::~TQtPrintCanvas()
{
    if (painter_.isActive())
        painter_.end();
}

bool TQtPrintCanvas::Begin()
{
    if (begun_ || failed_)
        return begun_;
    if (!painter_.begin(&printer_)) {
        failed_ = true;
        if (printer_.outputFormat() == QPrinter::PdfFormat)
            error_ = "The PDF file " + S(printer_.outputFileName()) + " cannot be written";
        else
            error_ = "The printer " + S(printer_.printerName()) + " cannot print";
        return false;
    }
    begun_ = true;
    painter_.setFont(font_);
    painter_.setPen(QPen(Qt::black, std::max(1, printer_.logicalDpiY() / 150)));
    return true;
}

void TQtPrintCanvas::SetFont(const TPrintFont& font)
{
    font_ = QFont(Q(font.Name));
    font_.setPointSize(font.Size);
    font_.setBold(font.Bold);
    font_.setItalic(font.Italic);
    metrics_ = QFontMetrics(font_, &printer_);
    if (painter_.isActive())
        painter_.setFont(font_);
}

int TQtPrintCanvas::TextWidth(std::string_view text)
{
    return metrics_.horizontalAdvance(Text(text));
}

int TQtPrintCanvas::TextHeight(std::string_view)
{
    return metrics_.height();
}

void TQtPrintCanvas::TextOut(int x, int y, std::string_view text, int clipLeft, int clipRight)
{
    if (!Begin())
        return;
    const QString shown = Text(text);
    const int width = metrics_.horizontalAdvance(shown);
    const bool clip = x < clipLeft || x + width > clipRight;
    if (clip) {
        painter_.save();
        painter_.setClipRect(QRect(clipLeft, y, clipRight - clipLeft, metrics_.height()));
    }
    painter_.drawText(x, y + metrics_.ascent(), shown);
    if (clip)
        painter_.restore();
}

void TQtPrintCanvas::HorizontalLine(int x1, int x2, int y)
{
    if (Begin())
        painter_.drawLine(x1, y, x2, y);
}

void TQtPrintCanvas::NewPage()
{
    if (Begin() && !printer_.newPage()) {
        failed_ = true;
        error_ = "A new page could not be started on the printer";
    }
}

bool TQtPrintCanvas::Finish()
{
    if (painter_.isActive() && !painter_.end() && error_.empty())
        error_ = "The printer could not finish the listing";
    if (begun_ && printer_.printerState() == QPrinter::Error && error_.empty())
        error_ = "The printer reported an error";
    if (begun_ && error_.empty() && printer_.outputFormat() == QPrinter::PdfFormat &&
        !PdfComplete(S(printer_.outputFileName())))
        error_ = "The PDF file " + S(printer_.outputFileName()) +
                 " was not written completely (is the disk full?)";
    return error_.empty();
}

void TQtPrintCanvas::Abort()
{
    if (begun_)
        printer_.abort();
    if (painter_.isActive())
        painter_.end();
}

} // namespace vm
