// Between Qt's printer and the plain values the program keeps and lays pages out with: the
// printer choice and page layout (TPrinterSettings), the facts of its page (TPrinterFacts), and
// the CUPS queues installed.
#pragma once

#include "output/ListViewPrint.h"
#include "output/SavePrintSetup.h"

#include <string>
#include <vector>

class QPrinter;

namespace vm {

// The printer, its page layout and its settings as they stand.
TPrinterSettings SettingsOf(const QPrinter& printer);
// Selects the queue (or the PDF file) and applies the settings.
void ApplySettings(QPrinter& printer, const TPrinterSettings& settings);
// Sets the page margins to the least the printer needs, so that the report's own margins
// decide, then reads the resolution and the page and paper rectangles.
TPrinterFacts PrepareFacts(QPrinter& printer);
// The names of the CUPS queues this computer offers.
std::vector<std::string> InstalledQueues();

} // namespace vm
