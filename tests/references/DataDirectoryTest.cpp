// Which data directory a program takes: --data, $VOLUMARK_DATA, the current directory when it
// holds Volumark.ini, the one the windows used last, the user's own under $XDG_DATA_HOME.
#include "references/DataDirectory.h"
#include "platform/Registry.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vm {
namespace {

class DataDirectoryTest : public testing::Test
{
protected:
    DataDirectoryTest()
    {
        unsetenv(kDataEnvironment);
        setenv("XDG_DATA_HOME", (dir_ / "share").c_str(), 1);
        for (const char* d : {"given", "env", "current", "last"})
            dir_.MakeDir(d);
        dir_.WriteFile("current/Volumark.ini", "");
    }
    ~DataDirectoryTest() override
    {
        unsetenv(kDataEnvironment);
        unsetenv("XDG_DATA_HOME");
    }
    TDataDirectoryChoice Choose(std::optional<std::string> given, const std::string& current)
    {
        return ChooseDataDirectory(given, current, settings_);
    }

    vmtest::TempDir dir_;
    TRegistry settings_{dir_ / "registry.ini"};
};

TEST_F(DataDirectoryTest, EachPlaceGivesWayToTheOneBeforeIt)
{
    RememberDataDirectory(settings_, dir_ / "last");
    setenv(kDataEnvironment, (dir_ / "env").c_str(), 1);

    TDataDirectoryChoice c = Choose(dir_ / "given/", dir_ / "current");
    EXPECT_EQ(c.Path, dir_ / "given");
    EXPECT_EQ(c.Source, TDataDirectorySource::Option);
    c = Choose(std::nullopt, dir_ / "current");
    EXPECT_EQ(c.Path, dir_ / "env");
    EXPECT_EQ(c.Source, TDataDirectorySource::Environment);
    unsetenv(kDataEnvironment);
    c = Choose(std::nullopt, dir_ / "current");
    EXPECT_EQ(c.Path, dir_ / "current");
    EXPECT_EQ(c.Source, TDataDirectorySource::Current);
    // Started from a directory that is no data directory (the desktop menu starts in $HOME).
    c = Choose(std::nullopt, dir_ / "given");
    EXPECT_EQ(c.Path, dir_ / "last");
    EXPECT_EQ(c.Source, TDataDirectorySource::LastUsed);

    // The one used last has gone: the user's own, made on the way.
    std::filesystem::remove(dir_ / "last");
    c = Choose(std::nullopt, dir_ / "given");
    EXPECT_EQ(c.Path, dir_ / "share/volumark");
    EXPECT_EQ(c.Source, TDataDirectorySource::Default);
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "share/volumark"));
}

TEST_F(DataDirectoryTest, ANamedDirectoryMustExistAndIsNeverMade)
{
    TDataDirectoryChoice c = Choose("typo", dir_ / "current");
    EXPECT_EQ(c.Path, "");
    EXPECT_EQ(c.Error, "The data directory " + (dir_ / "current/typo") + " does not exist");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "current/typo"));
    setenv(kDataEnvironment, (dir_ / "current/Volumark.ini").c_str(), 1);
    c = Choose(std::nullopt, dir_ / "given");
    EXPECT_EQ(c.Error,
              "The data directory " + (dir_ / "current/Volumark.ini") + " is not a directory");
}

TEST_F(DataDirectoryTest, TheOptionIsTakenOutOfTheArgumentsInBothForms)
{
    TDataOption o = TakeDataOption({"/Ref=x", "--data", "/srv/a", "/C", "--data=/srv/b"});
    EXPECT_EQ(o.Directory, "/srv/b");
    EXPECT_EQ(o.Rest, (std::vector<std::string>{"/Ref=x", "/C"}));
    EXPECT_EQ(o.Error, "");
    EXPECT_EQ(TakeDataOption({"/Ref=x", "--data"}).Error, "--data needs a directory");
    EXPECT_EQ(TakeDataOption({"--data="}).Error, "--data needs a directory");
    EXPECT_FALSE(TakeDataOption({"/Data=/srv/a"}).Directory.has_value());
}

TEST_F(DataDirectoryTest, TakingAnotherRepairsItAndKeepsItForNextTime)
{
    dir_.MakeDir("other/Ref0004"); // a reference directory whose section is missing
    std::vector<std::string> notes;
    EXPECT_EQ(TakeDataDirectory(dir_ / "missing", settings_, notes),
              "The data directory " + (dir_ / "missing") + " does not exist");
    EXPECT_EQ(LastDataDirectory(settings_), std::nullopt);
    EXPECT_EQ(TakeDataDirectory(dir_ / "other", settings_, notes), "");
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(LastDataDirectory(settings_), dir_ / "other");
    EXPECT_NE(dir_.ReadFile("other/Volumark.ini").find("[Ref0004]"), std::string::npos);
}

} // namespace
} // namespace vm
