// Entries written as CSV (RFC 4180: a header line, fields quoted where they must be, lines ending
// in CR LF), as one JSON array, or as JSON Lines (one object a line), for spreadsheets and
// scripts. Exports of logs, comparisons and list windows fill one record at a time and the
// writer hands the text on in blocks, so nothing grows with the number of entries.
//
// Texts may be any bytes (file names are bytes on Linux): they are written as UTF-8 with every
// byte that is not part of a valid sequence replaced by U+FFFD. A field marked as a path also
// gets its exact bytes, in JSON as "<field>_bytes" in Base64 right behind it, when they are not
// valid UTF-8, so that a script can always reach the file.
//
// JSON strings are escaped by nlohmann-json's serializer, one value at a time: the keys are
// rendered once, and numbers and the writer's own plain texts need no escaping, which keeps a
// million entries a second within reach.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

enum class TExportFormat
{
    Csv,
    Json,     // one array of objects
    JsonLines // one object a line
};
// "csv", "json", "jsonl"; nothing for another name.
std::optional<TExportFormat> ExportFormatOfName(std::string_view name);

// Receives the output in blocks; raises to end the export (a full disk, a closed pipe).
using TExportSink = std::function<void(std::string_view text)>;

// Appends one CSV field: as it is, or in double quotes with its quotes doubled when it holds a
// comma, a quote, a line break or a carriage return.
void AppendCsvField(std::string& out, std::string_view text);

class TExportWriter
{
public:
    // fields: the names of the record's fields in their order (the CSV header, the JSON keys).
    TExportWriter(TExportFormat format, std::vector<std::string> fields, TExportSink sink);
    ~TExportWriter();

    // Values of the record being made, by field index; a field not set since the last record
    // is empty (CSV) or null (JSON).
    void SetText(int field, std::string_view bytes);
    // A text that names a file: with its exact bytes beside it where it is not valid UTF-8.
    void SetPath(int field, std::string_view bytes);
    void SetNumber(int field, int64_t value);
    // A number with a fraction, written with exactly `decimals` decimals and a "." whatever the
    // locale (a share in per cent: 12.50).
    void SetDecimal(int field, double value, int decimals);
    void SetBool(int field, bool value);
    // A list of texts: a JSON array, or in CSV the texts joined by ";".
    void SetList(int field, const std::vector<std::string_view>& texts);

    // Writes the record (the header or "[" before the first) and starts the next one.
    void EndRecord();
    // Ends the output ("]" for an array, also after no record) and hands on what is left.
    void Finish();

    int64_t Records() const { return records_; }

private:
    using TSerializer = nlohmann::detail::serializer<nlohmann::json>;

    void Begin();
    void Flush(bool all);
    std::string& Value(int field);
    // SetText of bytes whose UTF-8 validity is known.
    void SetChecked(int field, std::string_view bytes, bool valid);
    // Appends text as a JSON string (quotes and escapes by the serializer).
    void AppendJsonString(std::string& out, std::string_view utf8);

    TExportFormat format_;
    std::vector<std::string> fields_;
    TExportSink sink_;
    std::string out_;
    bool begun_ = false;
    int64_t records_ = 0;
    std::vector<std::string> values_; // the record's fields, rendered
    std::vector<uint8_t> set_;        // the fields set since the last record (1), as bytes
    std::vector<std::string> keys_;   // JSON: "{\"path\":", ",\"kind\":", ...
    std::vector<std::string> bytes_;  // JSON: the Base64 of a path field that needs it
    std::string utf8_, escaped_;      // scratch
    nlohmann::json string_;           // the string value the serializer escapes
    std::unique_ptr<TSerializer> serializer_;
};

} // namespace vm
