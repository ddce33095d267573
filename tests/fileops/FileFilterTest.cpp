// The file filter without its dialog: the parse of the fields, the test of one file, and the
// specifications stored in VMFilter.ini.
#include "core/FileFilter.h"
#include "fileops/FilterIni.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace vm;

namespace {

const TLocale kLocale = TLocale::Classic(); // "%m/%d/%y" dates
const TDateTime kNow = EncodeDateTime({2024, 6, 12, 15, 30, 0, 0});

TFilterTest Parsed(TFilterFields f, int mode = kExploreFilterMode)
{
    TFilterParse p = ParseFilterFields(f, mode, false, kNow, kLocale);
    EXPECT_TRUE(p.Test.has_value()) << p.Message;
    return p.Test.value_or(TFilterTest());
}

TDirNode File(int64_t size, TDateTime modified = 45000, uint32_t tags = 0)
{
    TDirNode n;
    n.Kind = kKindFile;
    n.Size = size;
    n.Created = n.Accessed = n.Modified = modified;
    n.Tags = tags;
    return n;
}

TFilterFields Reset()
{
    TFilterFields f;
    ResetFilter(f, kNow, kLocale);
    return f;
}

TEST(FileFilter, SizesCountInDecimalUnitsAndTheThresholdItselfFails)
{
    TFilterFields f = Reset();
    f.SizeOn = true;
    f.SizeValue = 5;
    f.SizeUnit = "GB";
    TFilterTest t = Parsed(f);
    EXPECT_TRUE(FileMatchesFilter(t, "big.iso", File(6000000000)));
    EXPECT_FALSE(FileMatchesFilter(t, "almost.iso", File(4999999999)));

    f.SizeValue = 10;
    f.SizeUnit = "KB";
    t = Parsed(f);
    EXPECT_FALSE(FileMatchesFilter(t, "exact", File(10000)));
    EXPECT_TRUE(FileMatchesFilter(t, "above", File(10001)));
    f.SizeSelect = "Less than";
    t = Parsed(f);
    EXPECT_FALSE(FileMatchesFilter(t, "exact", File(10000)));
    EXPECT_TRUE(FileMatchesFilter(t, "below", File(9999)));
}

TEST(FileFilter, PreviousDayKeepsYesterdayFromMidnightThroughToday)
{
    TFilterFields f = Reset();
    f.DateOn = true;
    f.DateRadio = 1;
    f.DateDays = 1;
    TFilterTest t = Parsed(f);
    const TDateTime today = EncodeDateTime({2024, 6, 12, 0, 0, 0, 0});
    EXPECT_TRUE(FileMatchesFilter(t, "a", File(1, today - 1)));
    EXPECT_TRUE(FileMatchesFilter(t, "a", File(1, today + 23.0 / 24 + 59.0 / 1440)));
    EXPECT_FALSE(FileMatchesFilter(t, "a", File(1, today - 1 - 1.0 / 86400)));
    EXPECT_FALSE(FileMatchesFilter(t, "a", File(1, today + 1)));
}

TEST(FileFilter, BetweenDatesAndABadDateThatKeepsTheDialogOpen)
{
    TFilterFields f = Reset();
    EXPECT_EQ(f.DateLow, "06/05/24");
    EXPECT_EQ(f.DateHigh, "06/12/24");
    f.DateOn = true;
    f.DateRange = "Created";
    TDirNode created = File(1);
    created.Created = EncodeDateTime({2024, 6, 12, 23, 0, 0, 0});
    EXPECT_TRUE(FileMatchesFilter(Parsed(f), "a", created));
    created.Created = EncodeDateTime({2024, 6, 4, 23, 0, 0, 0});
    EXPECT_FALSE(FileMatchesFilter(Parsed(f), "a", created));

    f.DateHigh = "13/45/24";
    TFilterParse p = ParseFilterFields(f, kExploreFilterMode, false, kNow, kLocale);
    EXPECT_FALSE(p.Test);
    EXPECT_EQ(p.Message, "13/45/24 is not a valid date - please enter again");
    EXPECT_EQ(p.FocusControl, "DateHigh");
}

TEST(FileFilter, NamePatternsMatchTheWholeNameInUpperCase)
{
    TFilterFields f = Reset();
    f.FileNames = {"*.TMP"};
    EXPECT_TRUE(FileMatchesFilter(Parsed(f), "a.tmp", File(1)));
    EXPECT_FALSE(FileMatchesFilter(Parsed(f), "a.tmp.txt", File(1)));
    f.FileNames = {"?.txt"};
    EXPECT_FALSE(FileMatchesFilter(Parsed(f), "ab.txt", File(1)));
    EXPECT_TRUE(FileMatchesFilter(Parsed(f), "b.TXT", File(1)));
    EXPECT_TRUE(FileMatchesFilter(Parsed(f), "\xc3\xa9.txt", File(1))); // one character
    // A typed pattern that was never added counts when the list is empty.
    f.FileNames.clear();
    f.FileNameEdit = "*.log";
    EXPECT_FALSE(FileMatchesFilter(Parsed(f), "a.txt", File(1)));
    EXPECT_FALSE(WildcardMatch("A*B*C", std::string(40, 'A') + "B" + std::string(40, 'A')));
}

TEST(FileFilter, TagsPassWhenTaggedAndNeverWhenDeleted)
{
    TFilterFields f = Reset();
    f.TagsOn = true;
    f.TagRadio = 1;
    f.TagLines[2] = true;
    f.TagLines[kRubbishBinLine] = true;
    TFilterTest t = Parsed(f);
    EXPECT_EQ(t.Mask, 0x40000004u);
    EXPECT_TRUE(FileMatchesFilter(t, "a", File(1, 45000, 0x4)));
    EXPECT_TRUE(FileMatchesFilter(t, "a", File(1, 45000, kTagRubbishBin)));
    EXPECT_FALSE(FileMatchesFilter(t, "a", File(1, 45000, 0x1)));
    EXPECT_FALSE(FileMatchesFilter(t, "a", File(1, 45000, kTagDeleted | 0x4)));
    f.TagRadio = 0;
    t = Parsed(f);
    EXPECT_EQ(t.Mask, 0x400007FFu);
    EXPECT_TRUE(FileMatchesFilter(t, "a", File(1, 45000, 0x1)));
    EXPECT_FALSE(FileMatchesFilter(t, "a", File(1, 45000, 0)));
}

TEST(FileFilter, CommaInAPatternIsRefusedAndDuplicatesAreNotAdded)
{
    TFilterFields f = Reset();
    f.FileNameEdit = "a,b";
    EXPECT_FALSE(AddFileName(f));
    EXPECT_TRUE(f.FileNames.empty());
    f.FileNameEdit = "*.bak";
    EXPECT_TRUE(AddFileName(f));
    f.FileNameEdit = "*.bak";
    EXPECT_TRUE(AddFileName(f));
    EXPECT_EQ(f.FileNames, std::vector<std::string>{"*.bak"});
    EXPECT_TRUE(f.FileNameEdit.empty());
}

TEST(FilterIni, SpecificationsRoundTripInTheirSevenKeys)
{
    vmtest::TempDir dir;
    const std::string ini = dir / kFilterIniName;
    TFilterFields f = Reset();
    f.FileNames = {"*.tmp", "*.bak"};
    f.DateOn = true;
    f.DateRadio = 1;
    f.DateDays = 30;
    f.SizeOn = true;
    f.SizeSelect = "Less than";
    f.SizeValue = 250;
    f.SizeUnit = "GB";
    f.Duplicates = f.IgnoreExtension = true;
    f.TagsOn = true;
    f.TagRadio = 1;
    f.TagLines[2] = f.TagLines[5] = true;
    f.OwnerOn = true;
    f.Owner = "alice";
    f.Group = "1000";
    SaveFilterSettings(ini, kExploreFilterSection, f);
    TIniFile file(ini);
    EXPECT_EQ(file.ReadString(kExploreFilterSection, "FileNames", ""), "*.tmp,*.bak,");
    EXPECT_EQ(file.ReadString(kExploreFilterSection, "Date", ""),
              "Yes,Modified,1,06/05/24,06/12/24,30,");
    EXPECT_EQ(file.ReadString(kExploreFilterSection, "Size", ""), "Yes,Less than,250,GB,");
    EXPECT_EQ(file.ReadString(kExploreFilterSection, "Duplicate", ""), "Yes,No,No,Yes,");
    EXPECT_EQ(file.ReadString(kExploreFilterSection, "Tags", ""), "Yes,1,2,5,");
    EXPECT_EQ(file.ReadString(kExploreFilterSection, "Compare", ""), "No,");
    EXPECT_EQ(file.ReadString(kExploreFilterSection, "Owner", ""), "Yes,alice,No,1000,");

    TFilterFields back;
    GetFilterSettings(ini, kExploreFilterSection, back);
    EXPECT_EQ(FilterValuesOf(back).Date, FilterValuesOf(f).Date);
    EXPECT_EQ(back.FileNames, f.FileNames);
    EXPECT_EQ(back.TagLines, f.TagLines);
    EXPECT_EQ(back.SizeUnit, "GB");
    EXPECT_TRUE(back.OwnerOn);
    EXPECT_EQ(back.Owner, "alice");
    EXPECT_FALSE(back.GroupOn);
    EXPECT_EQ(back.Group, "1000");
}

TEST(FilterIni, ShortAndStrangeValuesLeaveOrDefaultTheirFields)
{
    TFilterFields f = Reset();
    f.SizeValue = 77;
    f.DateLow = "kept";
    TFilterValues v;
    v.Date = "Yes,Weekly,7,";         // unknown range, any non-zero radio index is 1
    v.Size = "Yes,More than,lots,TB"; // no final comma
    v.Duplicate = "Yes,";
    ApplyFilterValues(v, f);
    EXPECT_TRUE(f.DateOn);
    EXPECT_EQ(f.DateRange, "Modified");
    EXPECT_EQ(f.DateRadio, 1);
    EXPECT_EQ(f.DateLow, "kept");
    EXPECT_EQ(f.SizeSelect, "Greater than");
    EXPECT_EQ(f.SizeValue, 1);
    EXPECT_EQ(f.SizeUnit, "KB");
    EXPECT_TRUE(f.Duplicates);
    EXPECT_FALSE(f.MatchSize);
}

TEST(FilterIni, MissingSectionIsCreatedFromTheResetState)
{
    vmtest::TempDir dir;
    const std::string ini = dir / kFilterIniName;
    TFilterFields f;
    f.SizeOn = true;
    LoadFilterFromIni(ini, kCompareFilterSection, f, kNow, kLocale);
    EXPECT_FALSE(f.SizeOn);
    EXPECT_EQ(TIniFile(ini).ReadString(kCompareFilterSection, "Size", ""),
              "No,Greater than,10,MB,");
}

TEST(LocaleParse, DatesOfTheShortFormatReadBack)
{
    EXPECT_EQ(kLocale.ParseDateTime("1/12/98"), EncodeDateTime({1998, 1, 12, 0, 0, 0, 0}));
    EXPECT_EQ(kLocale.ParseDateTime(kLocale.DateTimeText(kNow)), kNow);
    EXPECT_FALSE(kLocale.ParseDateTime("2/30/24"));
    EXPECT_FALSE(kLocale.ParseDateTime("yesterday"));
    TLocale iso = kLocale;
    iso.ShortDateFormat = "%Y-%m-%d";
    EXPECT_EQ(iso.ParseDateTime("2024-06-12 3:30:00 PM"), kNow);
}

} // namespace
