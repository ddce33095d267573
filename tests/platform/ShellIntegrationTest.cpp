// The file-manager entries: written and removed as a pair, and starting the program with the
// folder as one literal argument whatever its name holds.
#include "platform/ShellIntegration.h"

#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace vm {
namespace {

class ShellIntegrationTest : public testing::Test
{
protected:
    vmtest::TempDir dir_;
    std::string DataHome() const { return dir_ / "share"; }
};

TEST_F(ShellIntegrationTest, RegisterWritesBothEntriesAndRemoveDeletesThem)
{
    TShellIntegration shell(DataHome(), "/usr/bin/volumark");
    EXPECT_FALSE(shell.IsRegistered());
    shell.Register();
    EXPECT_TRUE(shell.IsRegistered());
    EXPECT_EQ(shell.ServiceMenuPath(), DataHome() + "/kio/servicemenus/volumark.desktop");
    EXPECT_EQ(shell.NautilusScriptPath(), DataHome() + "/nautilus/scripts/Volumark");
    EXPECT_EQ(vmtest::ReadWholeFile(shell.ServiceMenuPath()), shell.ServiceMenuText());
    struct stat info
    {
    };
    ASSERT_EQ(stat(shell.NautilusScriptPath().c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);

    shell.Remove();
    EXPECT_FALSE(shell.IsRegistered());
    EXPECT_FALSE(fs::exists(shell.ServiceMenuPath()));
    EXPECT_FALSE(fs::exists(shell.NautilusScriptPath()));
}

TEST_F(ShellIntegrationTest, RemovingWhatWasNeverWrittenSucceeds)
{
    TShellIntegration shell(DataHome(), "/usr/bin/volumark");
    EXPECT_NO_THROW(shell.Remove());
    // An entry left by an older file manager's place goes as well.
    dir_.MakeDir("share/kservices5/ServiceMenus");
    dir_.WriteFile("share/kservices5/ServiceMenus/volumark.desktop", "[Desktop Entry]\n");
    shell.Remove();
    EXPECT_FALSE(fs::exists(shell.LegacyServiceMenuPath()));
}

TEST_F(ShellIntegrationTest, OneEntryAloneDoesNotCountAsRegistered)
{
    TShellIntegration shell(DataHome(), "/usr/bin/volumark");
    shell.Register();
    fs::remove(shell.NautilusScriptPath());
    EXPECT_FALSE(shell.IsRegistered());
}

TEST_F(ShellIntegrationTest, UnwritableFolderIsReportedWithItsPath)
{
    dir_.WriteFile("share", "a file where the folder should be");
    TShellIntegration shell(DataHome(), "/usr/bin/volumark");
    try {
        shell.Register();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(DataHome()), std::string::npos) << e.what();
    }
}

TEST_F(ShellIntegrationTest, ScriptPassesTheFolderLiterally)
{
    // A stand-in program that writes each argument it gets on a line of its own.
    const std::string record = dir_ / "args.txt";
    const std::string program = dir_ / "fake volumark's";
    dir_.WriteFile("fake volumark's",
                   "#!/bin/sh\nfor a do printf '%s\\n' \"$a\"; done >> '" + record + "'\n");
    chmod(program.c_str(), 0755);
    const std::string folder = "dir $(touch pwned) `id` 'q\" ;x";
    dir_.MakeDir(folder);

    TShellIntegration shell(DataHome(), program);
    shell.Register();
    vmtest::ProcessResult run =
        vmtest::RunProcess({"/bin/sh", shell.NautilusScriptPath(), dir_ / folder});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(vmtest::ReadWholeFile(record), "/Folder=" + (dir_ / folder) + "\n");
    EXPECT_FALSE(fs::exists("pwned"));
    EXPECT_FALSE(fs::exists(dir_ / "pwned"));
}

TEST_F(ShellIntegrationTest, ServiceMenuQuotesTheProgramForTheLauncher)
{
    TShellIntegration shell(DataHome(), "/opt/my vm/50%/vol\"mark$");
    const std::string text = shell.ServiceMenuText();
    EXPECT_NE(text.find("MimeType=inode/directory;"), std::string::npos);
    // Exec quoting escapes " and $ with a backslash, which the desktop file writes as two.
    EXPECT_NE(text.find("Exec=\"/opt/my vm/50%%/vol\\\\\"mark\\\\$\" /Folder=%f\n"),
              std::string::npos)
        << text;
}

TEST(ShellQuote, QuotesForPosixShells)
{
    EXPECT_EQ(ShellQuote("plain"), "'plain'");
    EXPECT_EQ(ShellQuote("it's"), "'it'\\''s'");
    EXPECT_EQ(ShellQuote(""), "''");
}

TEST_F(ShellIntegrationTest, MissingProgramIsNamedInTheMessage)
{
    EXPECT_EQ(TShellIntegration(DataHome(), "/bin/sh").MissingProgramMessage(), "");
    EXPECT_EQ(TShellIntegration(DataHome(), "/nowhere/volumark").MissingProgramMessage(),
              "Explore shell extension : can't find /nowhere/volumark\n"
              "Please copy from the Volumark directory to /nowhere");
    EXPECT_NE(TShellIntegration(DataHome(), "").MissingProgramMessage(), "");
    EXPECT_NE(TShellIntegration(DataHome(), "/tmp").MissingProgramMessage(), "");
}

TEST(ShellIntegrationDataHome, FollowsXdgDataHome)
{
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(TShellIntegration::DefaultDataHome(), "/srv/data");
    setenv("XDG_DATA_HOME", "relative", 1); // not absolute: ignored, as the XDG rules say
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(TShellIntegration::DefaultDataHome(), "/home/someone/.local/share");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", savedHome.c_str(), 1);
}

} // namespace
} // namespace vm
