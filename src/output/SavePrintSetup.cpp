#include "output/SavePrintSetup.h"

#include "platform/Registry.h"

#include <algorithm>
#include <charconv>
#include <new>
#include <string_view>

namespace vm {

namespace {
const char* const kSetupValue = "Printer setup";
const char* const kDeviceModeValue = "Printer device mode";
const char* const kDeviceModeFirstLine = "Volumark printer settings";

// The longest start of text that fits n bytes without cutting a UTF-8 sequence.
std::string_view FitField(std::string_view text, size_t n)
{
    if (text.size() <= n)
        return text;
    size_t end = n;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

std::string ReadField(const std::vector<uint8_t>& bytes, size_t from, size_t to)
{
    std::string out;
    for (size_t i = from; i < to && bytes[i] != 0; ++i)
        out += static_cast<char>(bytes[i]);
    return out;
}

template <class T> void ReadNumber(std::string_view text, T& value)
{
    T parsed{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec == std::errc() && end == text.data() + text.size())
        value = parsed;
}

std::string Number(double value)
{
    char text[64];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : "0";
}

// Values are single lines: a line break in a name or path would start another key.
bool OneLineValue(const std::string& value)
{
    return value.find_first_of("\r\n") == std::string::npos;
}
} // namespace

std::vector<uint8_t> EncodePrinterSetup(const std::string& device, const std::string& driver,
                                        const std::string& port)
{
    std::vector<uint8_t> bytes(kPrinterSetupBytes, 0);
    auto put = [&](std::string_view text, size_t at, size_t end) {
        std::string_view fitted = FitField(text, end - at - 1);
        std::copy(fitted.begin(), fitted.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
    };
    put(device, 0, kPrinterDriverAt);
    put(driver, kPrinterDriverAt, kPrinterPortAt);
    put(port, kPrinterPortAt, kPrinterSetupBytes);
    return bytes;
}

TPrinterSetupRecord DecodePrinterSetup(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() != kPrinterSetupBytes)
        throw ESavePrintSetup(kPrintSetupCorrupt);
    return {ReadField(bytes, 0, kPrinterDriverAt),
            ReadField(bytes, kPrinterDriverAt, kPrinterPortAt),
            ReadField(bytes, kPrinterPortAt, kPrinterSetupBytes)};
}

std::vector<uint8_t> EncodeDeviceMode(const TPrinterSettings& s)
{
    std::string text = std::string(kDeviceModeFirstLine) + "\n";
    auto line = [&](const char* key, const std::string& value) {
        if (OneLineValue(value))
            text += std::string(key) + "=" + value + "\n";
    };
    line("Printer", s.Printer);
    line("OutputFile", s.OutputFile);
    line("PageSize", s.PageSizeName);
    line("PageWidthPt", Number(s.PageWidthPt));
    line("PageHeightPt", Number(s.PageHeightPt));
    line("Orientation", s.Landscape ? "landscape" : "portrait");
    line("Copies", std::to_string(s.Copies));
    line("Duplex", std::to_string(s.Duplex));
    line("Color", s.Color ? "1" : "0");
    line("Resolution", std::to_string(s.Resolution));
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::optional<TPrinterSettings> DecodeDeviceMode(const std::vector<uint8_t>& bytes)
{
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::string_view first = kDeviceModeFirstLine;
    if (text.substr(0, first.size()) != first ||
        (text.size() > first.size() && text[first.size()] != '\n'))
        return std::nullopt;
    TPrinterSettings s;
    size_t at = first.size();
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "Printer")
            s.Printer = value;
        else if (key == "OutputFile")
            s.OutputFile = value;
        else if (key == "PageSize")
            s.PageSizeName = value;
        else if (key == "PageWidthPt")
            ReadNumber(value, s.PageWidthPt);
        else if (key == "PageHeightPt")
            ReadNumber(value, s.PageHeightPt);
        else if (key == "Orientation")
            s.Landscape = value == "landscape";
        else if (key == "Copies")
            ReadNumber(value, s.Copies);
        else if (key == "Duplex")
            ReadNumber(value, s.Duplex);
        else if (key == "Color")
            s.Color = value != "0";
        else if (key == "Resolution")
            ReadNumber(value, s.Resolution);
    }
    s.Copies = std::clamp(s.Copies, 1, 999);
    s.Duplex = std::clamp(s.Duplex, 0, 3);
    s.Resolution = std::clamp(s.Resolution, 0, 9600);
    if (!(s.PageWidthPt > 0 && s.PageWidthPt < 1e5 && s.PageHeightPt > 0 && s.PageHeightPt < 1e5))
        s.PageWidthPt = s.PageHeightPt = 0;
    return s;
}

void StorePrinterSetup(TRegistry& registry, const TPrinterSettings& settings)
{
    try {
        const bool file = settings.Printer.empty();
        std::vector<uint8_t> record = file ? EncodePrinterSetup(kPdfFileDevice, "PDF", "FILE:")
                                           : EncodePrinterSetup(settings.Printer, "CUPS", "CUPS");
        registry.OpenKey(kSettingsKey, true);
        registry.WriteBinary(kSetupValue, record);
        registry.WriteBinary(kDeviceModeValue, EncodeDeviceMode(settings));
    } catch (const std::bad_alloc&) {
        throw ESavePrintSetup(kPrintSetupOutOfMemory);
    }
}

bool PrinterSetupStored(TRegistry& registry)
{
    return registry.OpenKey(kSettingsKey, false) && registry.ValueExists(kSetupValue);
}

std::optional<TPrinterSettings> LoadPrinterSetup(TRegistry& registry,
                                                 const std::vector<std::string>& installedQueues)
{
    try {
        if (!PrinterSetupStored(registry))
            return std::nullopt;
        std::optional<std::vector<uint8_t>> stored = registry.ReadBinary(kSetupValue);
        if (!stored)
            throw ESavePrintSetup(kPrintSetupCorrupt);
        TPrinterSetupRecord record = DecodePrinterSetup(*stored);

        TPrinterSettings settings;
        if (std::optional<std::vector<uint8_t>> mode = registry.ReadBinary(kDeviceModeValue)) {
            std::optional<TPrinterSettings> decoded = DecodeDeviceMode(*mode);
            if (!decoded)
                throw ESavePrintSetup(kPrintSetupCorrupt);
            settings = *decoded;
        }
        if (record.Driver == "PDF") {
            settings.Printer.clear();
            return settings;
        }
        // The device mode's name is the whole one when the record holds it as cut to its
        // field; otherwise the record's name holds.
        if (FitField(settings.Printer, kPrinterDriverAt - 1) != record.Device)
            settings.Printer = record.Device;
        if (settings.Printer.empty() || std::find(installedQueues.begin(), installedQueues.end(),
                                                  settings.Printer) == installedQueues.end())
            throw ESavePrintSetup(kPrinterNotFound);
        settings.OutputFile.clear();
        return settings;
    } catch (const std::bad_alloc&) {
        throw ESavePrintSetup(kPrintSetupOutOfMemory);
    }
}

} // namespace vm
