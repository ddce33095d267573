// A report's canvas on a Qt printer (a CUPS queue or a PDF file). The print job begins with the
// first thing drawn, so a report that draws nothing never starts one.
#pragma once

#include "output/ListViewPrint.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <string>

class QPrinter;

namespace vm {

class TQtPrintCanvas : public TPrintCanvas
{
public:
    // printer outlives the canvas.
    explicit TQtPrintCanvas(QPrinter& printer);
    ~TQtPrintCanvas() override;

    void SetFont(const TPrintFont& font) override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void TextOut(int x, int y, std::string_view text, int clipLeft, int clipRight) override;
    void HorizontalLine(int x1, int x2, int y) override;
    void NewPage() override;

    // Ends the job; false when the job could not begin, a page could not be added or the
    // printer reports an error (Error() says which).
    bool Finish();
    // Abandons a job that has begun.
    void Abort();
    bool Begun() const { return begun_; }
    const std::string& Error() const { return error_; }

private:
    bool Begin();

    QPrinter& printer_;
    QPainter painter_;
    QFont font_;
    QFontMetrics metrics_;
    bool begun_ = false, failed_ = false;
    std::string error_;
};

} // namespace vm
