#include "refman/RefListSort.h"

#include <cstring>
#include <map>
#include <tuple>

namespace vm {

namespace {

template <class T> int Compare(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The base results of the codes whose base is +1 when the first key is smaller.
template <class T> int Descending(const T& a, const T& b)
{
    return -Compare(a, b);
}

int Signed(int base, int signedCode)
{
    return signedCode > 0 ? -base : base;
}

int RHSBase(const TRHSRow& a, const TRHSRow& b, int code)
{
    switch (code) {
    case sortcode::LogNumber:
        return Compare(std::tie(a.Log, a.NewLog), std::tie(b.Log, b.NewLog));
    case sortcode::ComparedLogs:
        return Compare(std::tie(a.NewLog, a.Log), std::tie(b.NewLog, b.Log));
    case sortcode::PathName:
        return CollateTexts(a.Caption, b.Caption);
    case sortcode::SizeOrGrowth:
        return Descending(a.Size, b.Size);
    case sortcode::SpaceTaken:
        return Descending(a.Allocated, b.Allocated);
    case sortcode::DateCreated:
    case sortcode::DateCompared:
        return Compare(a.Date, b.Date);
    case sortcode::AllocationUnit:
        return Descending(a.Path.Unit, b.Path.Unit);
    case sortcode::FileSystem:
        return CollateTexts(a.Columns[1], b.Columns[1]);
    default:
        return 0;
    }
}

int RefBase(const TRefRow& a, const TRefRow& b, int code)
{
    switch (code) {
    case sortcode::ReferenceName:
        return CollateTexts(a.Caption, b.Caption);
    case sortcode::LastLogDate:
        return Descending(a.DateKey, b.DateKey);
    case sortcode::LastLogSize:
        return Descending(a.SizeKey, b.SizeKey);
    case sortcode::LogChange:
        return Descending(a.ChangeKey, b.ChangeKey);
    default:
        return 0;
    }
}

} // namespace

int SortCodeOfColumn(const std::string& caption)
{
    static const std::map<std::string, int> kCodes = {
        {"Log number", sortcode::LogNumber},
        {"Compared logs", sortcode::ComparedLogs},
        {"Path name", sortcode::PathName},
        {"Log size", sortcode::SizeOrGrowth},
        {"Grown by", sortcode::SizeOrGrowth},
        {"Space taken", sortcode::SpaceTaken},
        {"Date created", sortcode::DateCreated},
        {"Date compared", sortcode::DateCompared},
        {"Allocation unit", sortcode::AllocationUnit},
        {"File system", sortcode::FileSystem},
        {"Reference name", sortcode::ReferenceName},
        {"Last log date", sortcode::LastLogDate},
        {"Last log size", sortcode::LastLogSize},
        {"Log change", sortcode::LogChange},
    };
    auto it = kCodes.find(caption);
    return it == kCodes.end() ? sortcode::None : it->second;
}

int CollateTexts(const std::string& a, const std::string& b)
{
    const int collated = std::strcoll(a.c_str(), b.c_str());
    if (collated != 0)
        return collated < 0 ? -1 : 1;
    return Compare(a, b);
}

int CompareRefRows(const TRefRow& a, const TRefRow& b, int signedCode)
{
    return Signed(RefBase(a, b, signedCode < 0 ? -signedCode : signedCode), signedCode);
}

int CompareRHSRows(const TRHSRow& a, const TRHSRow& b, int signedCode)
{
    return Signed(RHSBase(a, b, signedCode < 0 ? -signedCode : signedCode), signedCode);
}

} // namespace vm
