// File filters stored in "VMFilter.ini": one section per specification ("DefaultExploreFilter",
// "DefaultCompareFilter"), seven keys whose values list their fields each followed by a comma:
//   FileNames=*.tmp,*.bak,
//   Date=No,Modified,0,1/12/98,8/12/98,1,
//   Size=No,Greater than,10,MB,
//   Duplicate=No,No,No,No,
//   Tags=Yes,1,2,5,
//   Compare=No,
//   Owner=Yes,alice,No,staff,
// A section written before the owner filter existed has no Owner key, and leaves those fields.
#pragma once

#include "core/FileFilter.h"

#include <string>

namespace vm {

inline const char* const kExploreFilterSection = "DefaultExploreFilter";
inline const char* const kCompareFilterSection = "DefaultCompareFilter";
inline const char* const kFilterIniName = "VMFilter.ini";

// The seven values of a section, in their order.
struct TFilterValues
{
    std::string FileNames, Date, Size, Duplicate, Tags, Compare, Owner;
};
TFilterValues FilterValuesOf(const TFilterFields& fields);
// Applies the values to the fields. Values with fewer fields leave the rest as they are; combo
// texts that are not one of the items give "Modified", "Greater than" and "KB"; counts that are
// not numbers give 1 and are kept in their ranges; a non-zero radio index is 1.
void ApplyFilterValues(const TFilterValues& values, TFilterFields& fields);

// SaveFilterSettingsToIniFile: writes the seven keys of the section. Raises std::runtime_error
// when the file cannot be written.
void SaveFilterSettings(const std::string& iniPath, const std::string& section,
                        const TFilterFields& fields);
// GetFilterSettingsFromIniFile: reads the keys the section has into the fields.
void GetFilterSettings(const std::string& iniPath, const std::string& section,
                       TFilterFields& fields);
// LoadFilterFromInifile: when the file has no such section, resets the fields and saves them
// under it first; then reads it. A file that cannot be written leaves the reset fields.
void LoadFilterFromIni(const std::string& iniPath, const std::string& section,
                       TFilterFields& fields, TDateTime today, const TLocale& locale);

} // namespace vm
