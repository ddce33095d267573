#include "references/CommandLine.h"

#include "platform/ScriptedUserInterface.h"

#include <gtest/gtest.h>

using namespace vm;

namespace {
class CommandLineTest : public ::testing::Test
{
protected:
    CommandLineTest()
    {
        lookups.FindRefByName = [](const std::string& name) {
            std::string upper;
            for (char c : name)
                upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return upper == "MY BIG REF" ? 3 : upper == "EMPTY" ? 4 : -1;
        };
        lookups.LastLogNumber = [](int n) { return n == 3 ? 7 : -1; };
    }
    TCommandLineState Parse(const std::vector<std::string>& args)
    {
        TCommandLineState state;
        ParseCommandLine(args, lookups, ui, state);
        return state;
    }
    TCommandLineLookups lookups;
    TScriptedUserInterface ui;
};
} // namespace

TEST(SplitArgument, NameBeforeTheFirstEqualsValueAfterIt)
{
    TArgument a = SplitArgument("/Ref=My Big Ref");
    EXPECT_EQ(a.Name, "Ref");
    EXPECT_EQ(a.Value, "My Big Ref");
    a = SplitArgument("--folder=/srv/a=b");
    EXPECT_EQ(a.Name, "folder");
    EXPECT_EQ(a.Value, "/srv/a=b");
    a = SplitArgument("/ K");
    EXPECT_EQ(a.Name, "K");
    EXPECT_EQ(a.Value, "");
    // Passed without a shell (a .desktop file, a systemd unit), the value keeps its quotes: one
    // pair around the whole value goes; a lone quote is a value of its own.
    EXPECT_EQ(SplitArgument("/Ref=\"My Big Ref\"").Value, "My Big Ref");
    EXPECT_EQ(SplitArgument("/Ref=\"\"").Value, "");
    EXPECT_EQ(SplitArgument("/Ref=\"").Value, "\"");
    EXPECT_EQ(SplitArgument("/Ref=say \"hi\"").Value, "say \"hi\"");
}

TEST_F(CommandLineTest, ReferenceNamesCompareWithoutCaseAndPrefixesSelectKeywords)
{
    TCommandLineState s = Parse({"/ref=my big ref", "/Comp", "/k"});
    EXPECT_TRUE(s.ReferenceRequested);
    EXPECT_EQ(s.ReferenceNumber, 3);
    EXPECT_TRUE(s.CompareRequested);
    EXPECT_EQ(s.CompareLogNumber, 7); // the newest log before this run
    EXPECT_TRUE(s.DeleteComparisons);
    EXPECT_TRUE(ui.Shown.empty());
    EXPECT_FALSE(s.ArgumentRefused);

    // A name longer than the keyword selects nothing, silently.
    s = Parse({"/Refs=my big ref", "/X=1"});
    EXPECT_FALSE(s.ReferenceRequested);
    EXPECT_TRUE(ui.Shown.empty());
}

TEST_F(CommandLineTest, CompareWithAGivenLogOrWithoutEarlierLogs)
{
    TCommandLineState s = Parse({"/Ref=my big ref", "/C=12"});
    EXPECT_TRUE(s.CompareRequested);
    EXPECT_EQ(s.CompareLogNumber, 12);
    s = Parse({"/Ref=empty", "/C"});
    EXPECT_TRUE(s.ReferenceRequested);
    EXPECT_FALSE(s.CompareRequested); // no log to compare with: logs without comparing
    s = Parse({"/Ref=my big ref", "/C=twelve"});
    EXPECT_FALSE(s.CompareRequested);
    EXPECT_TRUE(s.ArgumentRefused);
}

TEST_F(CommandLineTest, UnknownReferenceAndAmbiguousArgumentsAreReported)
{
    TCommandLineState s = Parse({"/Ref=nothing", "/=1"});
    EXPECT_FALSE(s.ReferenceRequested);
    EXPECT_TRUE(s.ArgumentRefused);
    ASSERT_EQ(ui.Shown.size(), 5u);
    EXPECT_EQ(ui.Shown[0].Text, "Reference [nothing] not found");
    EXPECT_EQ(ui.Shown[0].Caption, "Volumark ");
    EXPECT_EQ(ui.Shown[0].Flags, mb::OK | mb::IconInformation);
    for (size_t i = 1; i < 5; ++i)
        EXPECT_EQ(ui.Shown[i].Text, "Invalid or ambiguous parameter [] - please fix");
    // The ambiguous argument applies none of its keywords.
    EXPECT_FALSE(s.FolderMode);
    EXPECT_FALSE(s.CompareRequested);

    // A later REF replaces an earlier one, also when it is not found.
    s = Parse({"/Ref=my big ref", "/Ref=gone"});
    EXPECT_FALSE(s.ReferenceRequested);
}

TEST_F(CommandLineTest, LinuxSpellingsAndHelp)
{
    TCommandLineState s = Parse({"--ref=My Big Ref", "-c=3", "--folder=/srv"});
    EXPECT_EQ(s.ReferenceNumber, 3);
    EXPECT_EQ(s.CompareLogNumber, 3);
    EXPECT_TRUE(s.FolderMode);
    EXPECT_EQ(s.Folder, "/srv");
    EXPECT_TRUE(Parse({"--help"}).HelpRequested);
    EXPECT_TRUE(Parse({"-h"}).HelpRequested);
    EXPECT_TRUE(Parse({"/?"}).HelpRequested);
    EXPECT_EQ(
        CommandLineHelpText(),
        "Volumark command line help\r\n"
        "/Ref=\"<Ref Name>\" - specified reference name to log\r\n"
        "/C<=nnn> - after logging, perform a compare with the prior log, or specified log nnn\r\n"
        "/K - after comparing delete previous compares to conserve disc space\r\n"
        "e.g : /Ref=\"My Big Ref\" /C {logs and compares - \"My Big Ref\"}.");
}
