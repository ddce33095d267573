// The printer choice kept in the settings store between sessions, as two values of
// kSettingsKey:
//   "Printer setup"        104 bytes: the printer's name at byte 0, the driver at byte 33 and
//                          the port at 66, each zero-terminated in its field ("CUPS" and
//                          "CUPS" for a CUPS queue; "PDF" and "FILE:" for a PDF file).
//   "Printer device mode"  the printer's page layout and settings as "Key=Value" lines after
//                          the line "Volumark printer settings" (TPrinterSettings below).
// A queue name longer than its 32-byte field is cut there in "Printer setup" and kept whole in
// the device mode; loading takes the whole name only when it begins with the cut one, so a
// cut name never selects another queue.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm {

class TRegistry;

inline const char* const kPrintSetupOutOfMemory = "Out of memory";
inline const char* const kPrintSetupCorrupt = "Registry [printerconfig] - corrupt";
inline const char* const kPrinterNotFound = "Printer not found among the CUPS printers";

// Raised by storing and loading the printer set-up, with one of the three texts above.
class ESavePrintSetup : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

constexpr size_t kPrinterSetupBytes = 104;
constexpr size_t kPrinterDriverAt = 33, kPrinterPortAt = 66;

// The device name a PDF file is stored under: no CUPS queue can have it (it holds a blank).
inline const char* const kPdfFileDevice = "PDF file";

// The printer and its settings as the print dialogs leave them.
struct TPrinterSettings
{
    std::string Printer;                      // the CUPS queue; empty when printing into a PDF file
    std::string OutputFile;                   // the PDF file (Printer empty)
    std::string PageSizeName;                 // "A4", "Letter", ... (empty: the printer's default)
    double PageWidthPt = 0, PageHeightPt = 0; // its size in points
    bool Landscape = false;
    int Copies = 1;
    int Duplex = 0; // 0 none, 1 long side, 2 short side, 3 the printer's choice
    bool Color = true;
    int Resolution = 0; // dots per inch; 0 the printer's default

    bool operator==(const TPrinterSettings&) const = default;
};

// The 104-byte record of a printer: device, driver and port, each cut to fit its field (never
// inside a UTF-8 sequence) and zero-terminated.
std::vector<uint8_t> EncodePrinterSetup(const std::string& device, const std::string& driver,
                                        const std::string& port);
struct TPrinterSetupRecord
{
    std::string Device, Driver, Port;
};
// Raises ESavePrintSetup(kPrintSetupCorrupt) unless the block is exactly 104 bytes.
TPrinterSetupRecord DecodePrinterSetup(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> EncodeDeviceMode(const TPrinterSettings& settings);
// Nothing when the block is not one that EncodeDeviceMode wrote. Unknown keys are skipped and
// values that do not read keep their defaults.
std::optional<TPrinterSettings> DecodeDeviceMode(const std::vector<uint8_t>& bytes);

// Writes both values (the key is created when missing). Raises ESavePrintSetup when memory runs
// out and std::runtime_error when the store cannot be written.
void StorePrinterSetup(TRegistry& registry, const TPrinterSettings& settings);
// Whether "Printer setup" is stored.
bool PrinterSetupStored(TRegistry& registry);
// The stored printer and its settings; nothing when none is stored. Raises ESavePrintSetup:
// kPrintSetupCorrupt for a record that is not 104 bytes or a device mode that does not read,
// kPrinterNotFound when the queue is not among the installed queues.
std::optional<TPrinterSettings> LoadPrinterSetup(TRegistry& registry,
                                                 const std::vector<std::string>& installedQueues);

} // namespace vm
