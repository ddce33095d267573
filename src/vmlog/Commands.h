// The commands of vmlog, one file each. A command takes the arguments behind its name and
// returns the process's exit status: 0 done, 1 failed (the reason on stderr), 2 bad usage.
// To add a command, declare it here and add a row to the table in VmlogMain.cpp.
#pragma once

#include "platform/Stream.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::vmlog {

using TArgs = std::vector<std::string>;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// vmlog scan [--format exact|extended] [--threads N] [--unit N] PATH [[--unit N] PATH ...] -o FILE
int ScanCommand(const TArgs& args);
// vmlog dump FILE
int DumpCommand(const TArgs& args);
// vmlog export FILE [--format csv|json|jsonl] [-o OUT]
int ExportCommand(const TArgs& args);
// vmlog compare OLD.kdf NEW.kdf -o OUT.kcf [--top N] (CompareCommand.cpp)
int CompareCommand(const TArgs& args);
// vmlog report FILE [--by type|age|owner|largest] [--top N] [--format text|csv|json]
int ReportCommand(const TArgs& args);
// vmlog dump of a comparison file, and how dump tells one from a log (CompareCommand.cpp).
bool IsComparisonFile(const std::string& path);
int DumpCompareFile(const std::string& file);

// "vmlog: " + message on stderr; returns status.
int Fail(const std::string& message, int status = kExitFailed);
// Writes all of text to fd; raises std::system_error when it cannot (a full disk, a closed pipe).
void WriteAll(int fd, std::string_view text);
// Whether the stream begins with the signature of a log of either format.
bool IsLogFile(TStream& stream);
// The value of --top N: a whole number from 1 to 1000000; nothing for another text.
std::optional<size_t> ParseTopCount(const std::string& value);

} // namespace vm::vmlog
