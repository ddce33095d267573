// The names of the reference store, as pure string rules: the four-digit form of a number
// (3 -> "0003", 12345 stays "12345", -1 -> "00-1"), reference sections and directories
// ("Ref0003"), logs ("Log0012.kdf") and comparisons ("00110012.kcf"), and reading numbers
// back out of such names.
#pragma once

#include <optional>
#include <string>

namespace vm {

// The references' file in the data directory.
inline const char* const kRefIniFileName = "Volumark.ini";

std::string FourDigitForm(long long n);
// The highest log number LogNumberOfName reads back out of a log's name.
constexpr int kMaxLogNumber = 999999999;
// "Ref" + the four-digit form.
std::string RefSectionName(int n);
// "Log" + the four-digit form + ".kdf".
std::string LogFileBaseName(int m);
// The two four-digit forms + ".kcf".
std::string CompFileBaseName(int a, int b);

// The number of a reference section or directory: "REF" in any letter case followed by digits
// only (so "Ref12345" is 12345, and "Ref0003.old" or "References" are no reference).
std::optional<int> RefNumberOfName(const std::string& name);
// The number of a log file: "LOG" in any letter case, digits, then the end or a ".".
std::optional<int> LogNumberOfName(const std::string& name);

// The two log numbers of a comparison file named exactly as CompFileBaseName names one
// ("00110012.kcf" gives 11 and 12). Above 9999 the digits can split more than one way
// ("1234567890.kcf"): the split with the old log below the new one and the lengths closest
// to each other is taken; any split gives back the same file name.
struct TCompNumbers
{
    int First = 0;
    int Second = 0;
};
std::optional<TCompNumbers> CompNumbersOfName(const std::string& name);

} // namespace vm
