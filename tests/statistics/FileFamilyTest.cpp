// File type families from names, by the extension the file list's type column takes.
#include "statistics/FileFamily.h"
#include "treemap/TreemapColours.h"

#include <gtest/gtest.h>

using namespace vm;

TEST(FileFamilyTest, NamesFallIntoTheirFamiliesInAnyLetterCase)
{
    const std::pair<const char*, TFileFamily> cases[] = {
        {"backup.tar.gz", TFileFamily::Archives}, {"disk.ISO", TFileFamily::Archives},
        {"IMG_0001.JPG", TFileFamily::Images},    {"logo.svg", TFileFamily::Images},
        {"talk.mkv", TFileFamily::Video},         {"song.Flac", TFileFamily::Audio},
        {"report.pdf", TFileFamily::Documents},   {"notes.txt", TFileFamily::Documents},
        {"main.cpp", TFileFamily::Code},          {"build.sh", TFileFamily::Code},
        {"libfoo.so", TFileFamily::Libraries},    {"module.ko", TFileFamily::Libraries},
        {"syslog.log", TFileFamily::Logs},        {"system.journal", TFileFamily::Logs},
        {"README", TFileFamily::Other},           {"data.bin", TFileFamily::Other},
        {"libfoo.so.9", TFileFamily::Libraries},  {"app.log.1", TFileFamily::Logs},
        {"libbar.so.13.2", TFileFamily::Libraries},
    };
    for (const auto& [name, family] : cases)
        EXPECT_EQ(FileFamilyOf(name), family) << name;
}

TEST(FileFamilyTest, ALeadingDotStartsANameAndOddNamesAreOther)
{
    // ".bashrc" and ".jpg" are names without extensions, as the file list has them.
    EXPECT_EQ(FileFamilyOf(".jpg"), TFileFamily::Other);
    EXPECT_EQ(FileFamilyOf(".bashrc"), TFileFamily::Other);
    EXPECT_EQ(FileFamilyOf("trailing."), TFileFamily::Other);
    EXPECT_EQ(FileFamilyOf(""), TFileFamily::Other);
    EXPECT_EQ(FileFamilyOf(std::string("a.") + std::string(300, 'x')), TFileFamily::Other);
    EXPECT_EQ(FileFamilyOf("caf\xC3\xA9.\xFF\xFE"), TFileFamily::Other);
    EXPECT_EQ(FileFamilyOf(".hidden.png"), TFileFamily::Images);
}

TEST(FileFamilyTest, EveryFamilyHasItsNameColourAndExtensionsAndOtherHasNone)
{
    const std::vector<TLegendItem> legend = FamilyLegend();
    ASSERT_EQ(legend.size(), size_t(kFamilyCount));
    for (size_t i = 0; i < kFamilies.size(); ++i) {
        EXPECT_EQ(legend[i].Text, FamilyName(kFamilies[i]));
        for (size_t j = i + 1; j < kFamilies.size(); ++j)
            EXPECT_FALSE(legend[i].Colour == legend[j].Colour) << legend[i].Text;
        const std::vector<std::string> extensions = FamilyExtensions(kFamilies[i]);
        EXPECT_EQ(extensions.empty(), kFamilies[i] == TFileFamily::Other);
        for (const std::string& e : extensions)
            EXPECT_EQ(FileFamilyOfExtension(e), kFamilies[i]) << e;
    }
}
