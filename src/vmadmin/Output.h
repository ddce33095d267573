// What vmadmin prints on stdout: aligned tables for a person (texts as the windows show them)
// and JSON for a script (docs/vmadmin_json.md).
#pragma once

#include "platform/DateTime.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace vm::vmadmin {

// JSON objects keep their keys in the order they are set: a person reading the output sees the
// number and name of a thing first.
using TJson = nlohmann::ordered_json;

struct TColumn
{
    std::string Caption;
    bool RightAligned = false;
};

// Columns two blanks apart, each as wide as its widest text (in characters), a heading line
// first; blanks at the ends of lines are dropped. Texts are escaped as every printed name is
// (PrintableName): a line break, a terminal escape or a character that reorders text comes out
// as \xNN, so that every row stays one line and a name cannot act on the terminal.
class TTable
{
public:
    explicit TTable(std::vector<TColumn> columns) : columns_(std::move(columns)) {}
    void Add(std::vector<std::string> cells);
    std::string Text() const;

private:
    std::vector<TColumn> columns_;
    std::vector<std::vector<std::string>> rows_;
};

// A text for JSON: valid UTF-8, with every byte that is not part of a valid sequence as U+FFFD.
std::string JsonText(const std::string& bytes);
// Sets key to the path's text and, where the bytes are not valid UTF-8, key + "_bytes" to them
// in Base64 (as the export format does).
void SetJsonPath(TJson& object, const std::string& key, const std::string& bytes);
// ISO 8601 with the local offset ("2024-05-01T12:34:56+02:00"); null for 0 (no date).
TJson JsonDate(TDateTime value);

// Writes the text (a table, JSON) to stdout.
void Print(const std::string& text);
void PrintJson(const TJson& value);

} // namespace vm::vmadmin
