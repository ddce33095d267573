#include "output/ExportWriter.h"

#include "platform/TextCoding.h"

#include <charconv>
#include <cstring>

namespace vm {

namespace {
constexpr size_t kBlockBytes = 1 << 20;

constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;

// Whether one of the eight bytes is below n (n up to 128), or is zero.
bool HasByteBelow(uint64_t word, uint64_t n)
{
    return ((word - kOnes * n) & ~word & kHigh) != 0;
}
bool HasZeroByte(uint64_t word)
{
    return HasByteBelow(word, 1);
}

// Printable ASCII without quotes or backslashes is its own JSON string: tested eight bytes at a
// time, as most names and every date are.
bool IsPlainJsonText(std::string_view text)
{
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, text.data() + i, 8);
        if ((w & kHigh) || HasByteBelow(w, 0x20) || HasZeroByte(w ^ (kOnes * '"')) ||
            HasZeroByte(w ^ (kOnes * '\\')) || HasZeroByte(w ^ (kOnes * 0x7F)))
            return false;
    }
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\')
            return false;
    }
    return true;
}

void AppendNumber(std::string& out, int64_t value)
{
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}
} // namespace

std::optional<TExportFormat> ExportFormatOfName(std::string_view name)
{
    if (name == "csv")
        return TExportFormat::Csv;
    if (name == "json")
        return TExportFormat::Json;
    if (name == "jsonl")
        return TExportFormat::JsonLines;
    return std::nullopt;
}

void AppendCsvField(std::string& out, std::string_view text)
{
    // One pass over the bytes (find_first_of searches the text once per special character).
    bool quote = false;
    for (char c : text)
        quote |= c == ',' || c == '"' || c == '\r' || c == '\n';
    if (!quote) {
        out.append(text);
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

TExportWriter::TExportWriter(TExportFormat format, std::vector<std::string> fields,
                             TExportSink sink)
    : format_(format), fields_(std::move(fields)), sink_(std::move(sink)), values_(fields_.size()),
      set_(fields_.size(), 0), bytes_(fields_.size()), string_(std::string())
{
    if (format_ == TExportFormat::Csv)
        return;
    serializer_ = std::make_unique<TSerializer>(nlohmann::detail::output_adapter<char>(escaped_),
                                                ' ', nlohmann::json::error_handler_t::replace);
    for (size_t i = 0; i < fields_.size(); ++i) {
        std::string key = i == 0 ? "{" : ",";
        AppendJsonString(key, fields_[i]);
        keys_.push_back(key + ":");
    }
}

TExportWriter::~TExportWriter() = default;

void TExportWriter::AppendJsonString(std::string& out, std::string_view utf8)
{
    // Plain text is its own JSON string; the serializer escapes the rest.
    if (IsPlainJsonText(utf8)) {
        const size_t at = out.size();
        out.resize(at + utf8.size() + 2);
        char* p = out.data() + at;
        p[0] = '"';
        std::memcpy(p + 1, utf8.data(), utf8.size());
        p[utf8.size() + 1] = '"';
        return;
    }
    string_.get_ref<std::string&>().assign(utf8);
    escaped_.clear();
    serializer_->dump(string_, false, false, 0);
    out += escaped_;
}

std::string& TExportWriter::Value(int field)
{
    set_[static_cast<size_t>(field)] = 1;
    std::string& value = values_[static_cast<size_t>(field)];
    value.clear();
    return value;
}

void TExportWriter::SetText(int field, std::string_view bytes)
{
    SetChecked(field, bytes, IsValidUtf8(bytes));
}

void TExportWriter::SetChecked(int field, std::string_view bytes, bool valid)
{
    std::string_view utf8 = bytes;
    if (!valid) {
        utf8_.clear();
        AppendValidUtf8(utf8_, bytes);
        utf8 = utf8_;
    }
    std::string& value = Value(field);
    if (format_ == TExportFormat::Csv)
        AppendCsvField(value, utf8);
    else
        AppendJsonString(value, utf8);
}

void TExportWriter::SetPath(int field, std::string_view bytes)
{
    const bool valid = IsValidUtf8(bytes);
    SetChecked(field, bytes, valid);
    if (format_ != TExportFormat::Csv && !valid)
        bytes_[static_cast<size_t>(field)] = Base64(bytes);
}

void TExportWriter::SetNumber(int field, int64_t value)
{
    AppendNumber(Value(field), value);
}

void TExportWriter::SetDecimal(int field, double value, int decimals)
{
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    Value(field).assign(text, result.ec == std::errc() ? result.ptr : text);
}

void TExportWriter::SetBool(int field, bool value)
{
    Value(field) = value ? "true" : "false";
}

void TExportWriter::SetList(int field, const std::vector<std::string_view>& texts)
{
    std::string& value = Value(field);
    if (format_ != TExportFormat::Csv) {
        value += '[';
        for (size_t i = 0; i < texts.size(); ++i) {
            if (i > 0)
                value += ',';
            AppendJsonString(value, ValidUtf8(texts[i]));
        }
        value += ']';
        return;
    }
    std::string joined;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0)
            joined += ';';
        AppendValidUtf8(joined, texts[i]);
    }
    AppendCsvField(value, joined);
}

void TExportWriter::Begin()
{
    begun_ = true;
    if (format_ == TExportFormat::Csv) {
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (i > 0)
                out_ += ',';
            AppendCsvField(out_, fields_[i]);
        }
        out_ += "\r\n";
    } else if (format_ == TExportFormat::Json) {
        out_ += '[';
    }
}

void TExportWriter::EndRecord()
{
    if (!begun_)
        Begin();
    if (format_ == TExportFormat::Csv) {
        for (size_t i = 0; i < values_.size(); ++i) {
            if (i > 0)
                out_ += ',';
            if (set_[i])
                out_ += values_[i];
            set_[i] = 0;
        }
        out_ += "\r\n";
    } else {
        if (format_ == TExportFormat::Json)
            out_ += records_ == 0 ? "\n" : ",\n";
        for (size_t i = 0; i < values_.size(); ++i) {
            out_ += keys_[i];
            out_ += set_[i] ? std::string_view(values_[i]) : std::string_view("null");
            if (!bytes_[i].empty()) {
                // Base64 needs no escaping.
                out_ += ",\"" + fields_[i] + "_bytes\":\"" + bytes_[i] + "\"";
                bytes_[i].clear();
            }
            set_[i] = 0;
        }
        out_ += format_ == TExportFormat::JsonLines ? "}\n" : "}";
    }
    ++records_;
    Flush(false);
}

void TExportWriter::Finish()
{
    if (!begun_)
        Begin();
    if (format_ == TExportFormat::Json)
        out_ += records_ == 0 ? "]\n" : "\n]\n";
    Flush(true);
}

void TExportWriter::Flush(bool all)
{
    if (out_.empty() || (!all && out_.size() < kBlockBytes))
        return;
    sink_(out_);
    out_.clear();
}

} // namespace vm
