// The unattended run as cron starts it: the real program in a real data directory, without a
// display, its statuses and what it prints.
#include "platform/IniFile.h"
#include "references/RefNames.h"
#include "support/ProcessRunner.h"
#include "support/RefFixture.h"
#include "support/SmtpServer.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <thread>

using vmtest::ProcessResult;
using vmtest::RefFixture;

namespace {
class UnattendedProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fx.AddRef(0, "My Big Ref", {{fx.MakeTree("t"), "4096"}});
        fx.Root.WriteFile("registry.ini", "");
    }
    ProcessResult Run(std::vector<std::string> args) { return vmtest::RunProcess(Argv(args)); }
    std::unique_ptr<vmtest::StartedProcess> Start(std::vector<std::string> args)
    {
        return std::make_unique<vmtest::StartedProcess>(Argv(args));
    }
    std::vector<std::string> Argv(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv = {"/usr/bin/env",
                                         "-u",
                                         "DISPLAY",
                                         "-u",
                                         "WAYLAND_DISPLAY",
                                         "-u",
                                         "QT_QPA_PLATFORM",
                                         "-C",
                                         fx.DataDir(),
                                         "VOLUMARK_REGISTRY=" + (fx.Root / "registry.ini"),
                                         "VOLUMARK_MAIL=" + (fx.Root / "mail.ini"),
                                         vmtest::BuiltProgram("volumark")};
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }
    RefFixture fx;
};
} // namespace

TEST_F(UnattendedProcessTest, LogsThenComparesWithThePreviousLog)
{
    ProcessResult first = Run({"/ref=my big ref", "/C"});
    EXPECT_EQ(first.Status, 0) << first.Err;
    EXPECT_EQ(fx.RefFiles(0), std::vector<std::string>{"Log0001.kdf"}); // nothing to compare with
    ProcessResult second = Run({"--ref=MY BIG REF", "-c", "/K"});
    EXPECT_EQ(second.Status, 0) << second.Err;
    EXPECT_EQ(fx.RefFiles(0),
              (std::vector<std::string>{"00010002.kcf", "Log0001.kdf", "Log0002.kdf"}));
    ProcessResult third = Run({"/Ref=My Big Ref", "/C=1"});
    EXPECT_EQ(third.Status, 0) << third.Err;
    EXPECT_EQ(fx.RefFiles(0).front(), "00010002.kcf");
    EXPECT_EQ(fx.RefFiles(0)[1], "00010003.kcf");
}

TEST_F(UnattendedProcessTest, HelpOnStdoutThenTheLog)
{
    ProcessResult r = Run({"/?", "/Ref=My Big Ref"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("Volumark command line help\n/Ref=\"<Ref Name>\"", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find("Exit status: 0"), std::string::npos);
    EXPECT_EQ(fx.RefFiles(0), std::vector<std::string>{"Log0001.kdf"});
}

TEST_F(UnattendedProcessTest, RefusedArgumentsSayWhyAndFail)
{
    ProcessResult r = Run({"/=1"});
    EXPECT_EQ(r.Status, 1);
    size_t count = 0;
    for (size_t at = r.Err.find("Invalid or ambiguous parameter [] - please fix");
         at != std::string::npos;
         at = r.Err.find("Invalid or ambiguous parameter [] - please fix", at + 1))
        ++count;
    EXPECT_EQ(count, 4u) << r.Err;

    r = Run({"/Ref=nobody"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Reference [nobody] not found"), std::string::npos) << r.Err;
    EXPECT_TRUE(fx.RefFiles(0).empty());

    r = Run({"/Folder=" + (fx.Root / "missing")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("cannot be logged: No such file or directory"), std::string::npos)
        << r.Err;

    r = Run({"/X=1"}); // ignored silently: nothing asked, nothing failed
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "");
}

// A share that was not mounted: the run writes no log, says why on stderr and in the alerts mail
// (which would otherwise stay silent), and fails with status 2. A name made of terminal escape
// sequences and a right-to-left override reaches neither the terminal nor the mail as such.
TEST_F(UnattendedProcessTest, TopLevelPathNotThereFailsTheRunAndTheMailSaysSo)
{
    vmtest::SmtpServer server;
    ASSERT_TRUE(server.Running()) << server.Error();
    fx.Root.WriteFile("mail.ini", server.MailFileText());
    fx.Root.WriteFile("registry.ini", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ardelia\\Volumark]\n"
                                      "EmailCommandLine=dword:1\nEmailTo=sz:Administrator\n"
                                      "EmailAlways=dword:0\nEmailGrown=dword:1\n");
    const std::string share = fx.Root / "trees/\x1B[2J\x1B[31mFAKE: all ok\u202E";
    fx.AddRef(1, "Share", {{share, "4096"}});
    ProcessResult r = Run({"/Ref=Share"});
    EXPECT_EQ(r.Status, 2) << r.Err;
    const std::string printed = fx.Root / "trees/\\x1B[2J\\x1B[31mFAKE: all ok\\xE2\\x80\\xAE/";
    EXPECT_NE(r.Err.find("Can not log this Ref\nThe path " + printed +
                         " cannot be read: No such file or directory"),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(r.Err.find('\x1B'), std::string::npos);
    EXPECT_TRUE(fx.RefFiles(1).empty());
    auto mails = server.Messages();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].Header("Subject"), "Volumark log alerts for reference : Share");
    EXPECT_EQ(mails[0].Body().rfind("Log of reference failed : The path " + printed +
                                        " cannot be read: No such file or directory\r\n",
                                    0),
              0u)
        << mails[0].Body();

    // An unknown name given in the same way is printed escaped too.
    r = Run({"/Ref=\x1B]0;owned\x07"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Reference [\\x1B]0;owned\\x07] not found"), std::string::npos) << r.Err;
}

// Volumark.ini that cannot be read, because it is a directory or its mode is 000: the run fails
// with the reason and status 2 instead of aborting.
TEST_F(UnattendedProcessTest, UnreadableVolumarkIniFailsTheRunWithItsReason)
{
    ::chmod(fx.Ini().c_str(), 0);
    std::optional<bool> sound = vmtest::RunUnprivileged(fx.Root.Path(), [&] {
        ProcessResult r = Run({"/Ref=My Big Ref"});
        return r.Status == 2 && r.Err.find("Cannot read \"" + fx.Ini() + "\": Permission denied") !=
                                    std::string::npos;
    });
    ASSERT_TRUE(sound.has_value()) << "could not run as an unprivileged user";
    EXPECT_TRUE(*sound);

    std::filesystem::remove(fx.Ini());
    std::filesystem::create_directory(fx.Ini());
    ProcessResult r = Run({"/Ref=My Big Ref", "/C"});
    EXPECT_EQ(r.Status, 2) << r.Err;
    EXPECT_NE(r.Err.find("Volumark : Cannot read \"" + fx.Ini() + "\": Is a directory"),
              std::string::npos)
        << r.Err;
    EXPECT_TRUE(fx.RefFiles(0).empty());
}

// Started without a shell (a .desktop file, a systemd unit), the quotes around a name arrive with
// it; the one pair around the whole value is taken off.
TEST_F(UnattendedProcessTest, QuotedNameWithoutAShellFindsItsReference)
{
    ProcessResult r = Run({"/Ref=\"My Big Ref\""});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(fx.RefFiles(0), std::vector<std::string>{"Log0001.kdf"});
}

TEST_F(UnattendedProcessTest, RepairsTheStoreBeforeTheRunAndMailsTheResults)
{
    vmtest::SmtpServer server;
    ASSERT_TRUE(server.Running()) << server.Error();
    fx.Root.WriteFile("mail.ini", server.MailFileText());
    fx.Root.WriteFile("registry.ini", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ardelia\\Volumark]\n"
                                      "EmailCommandLine=dword:1\nEmailTo=sz:John Smith\n");
    // A reference directory whose section was lost comes back at start, named after it.
    fx.Root.MakeDir("data/Ref0009");
    ProcessResult r = Run({"/Ref=My Big Ref"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(vm::TIniFile(fx.Ini()).ReadString("Ref0009", "Name", ""), "Ref0009");
    auto mails = server.Messages();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].Recipients, std::vector<std::string>{"john@example.com"});
    EXPECT_NE(mails[0].Body().find("Total log size : 16 KB"), std::string::npos) << mails[0].Body();
}

TEST_F(UnattendedProcessTest, HelpVersionAndUnknownOptionsEndBeforeTheDataDirectoryIsRead)
{
    // A data directory whose reference has no directory: any run would repair it first.
    fx.Root.WriteFile("data/Volumark.ini", "[Ref0005]\nName=Ghost\n");
    const std::string before = vmtest::ReadWholeFile(fx.Ini());

    ProcessResult r = Run({"/Ref=My Big Ref", "--help"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out.rfind("Usage: volumark\n", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find("  --version       show the version and end\n"), std::string::npos);
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(Run({"-h"}).Out, r.Out);

    r = Run({"--version"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, std::string("volumark ") + VOLUMARK_VERSION + "\n");

    r = Run({"--frobnicate", "/Ref=My Big Ref"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err.rfind("volumark: unknown option --frobnicate\n\nUsage: volumark\n", 0), 0u)
        << r.Err;

    EXPECT_EQ(vmtest::ReadWholeFile(fx.Ini()), before);
    EXPECT_TRUE(fx.RefFiles(0).empty());
}

TEST_F(UnattendedProcessTest, AFileToOpenNeedsTheWindows)
{
    ASSERT_EQ(Run({"/Ref=My Big Ref"}).Status, 0);
    ProcessResult r = Run({"Ref0000/Log0001.kdf"});
    EXPECT_EQ(r.Status, 6);
    EXPECT_NE(r.Err.find("needs the windows"), std::string::npos) << r.Err;
    r = Run({"Ref0000/Log0009.kdf"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Can't open"), std::string::npos) << r.Err;
}

// Instances sharing a data directory is a supported use: twelve runs of one reference at once,
// each with its own start-up repair, comparison and deletion of earlier comparisons, round after
// round. No run may lose its log to another's repair or fail over a comparison another deleted.
TEST_F(UnattendedProcessTest, TwelveRunsAtOnceInOneDataDirectoryAllSucceed)
{
    constexpr int kRounds = 30, kRuns = 12;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<vmtest::StartedProcess>> runs;
        for (int i = 0; i < kRuns; ++i)
            runs.push_back(Start({"/Ref=My Big Ref", "/C", "/K"}));
        for (auto& run : runs) {
            ProcessResult r = run->Wait();
            ASSERT_EQ(r.Status, 0) << "round " << round << ": " << r.Err;
        }
    }
    const std::vector<std::string> files = fx.RefFiles(0);
    for (int m = 1; m <= kRounds * kRuns; ++m)
        EXPECT_TRUE(std::find(files.begin(), files.end(), vm::LogFileBaseName(m)) != files.end())
            << m;
    for (const std::string& f : files)
        EXPECT_NE(f[0], '.') << "a temporary was left: " << f;
    EXPECT_EQ(vm::TIniFile(fx.Ini()).ReadString("Ref0000", "NextLogNo", ""),
              std::to_string(kRounds * kRuns + 1));
}

// SIGTERM that arrives once the log has its name: the run never says "no log was written" (3)
// while its log stands; it ends with the status of what did happen.
TEST_F(UnattendedProcessTest, SignalAfterTheLogIsWrittenNeverReadsAsNoLog)
{
    for (int d = 0; d < 40; ++d)
        for (int f = 0; f < 50; ++f)
            fx.Root.WriteFile("trees/t/a/f" + std::to_string(d) + "-" + std::to_string(f), "x");
    ASSERT_EQ(Run({"/Ref=My Big Ref"}).Status, 0);
    for (int m = 2; m <= 7; ++m) {
        const std::string log = fx.RefDir(0) + "/" + vm::LogFileBaseName(m);
        auto run = Start({"/Ref=My Big Ref", "/C"});
        struct stat st = {};
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (::stat(log.c_str(), &st) != 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ::kill(run->Pid(), SIGTERM);
        ProcessResult r = run->Wait();
        ASSERT_EQ(::stat(log.c_str(), &st), 0) << r.Err;
        EXPECT_TRUE(r.Status == 0 || r.Status == 4) << r.Status << " " << r.Err;
        if (r.Status == 4) {
            EXPECT_NE(
                r.Err.find("The comparison was stopped; log " + std::to_string(m) + " was written"),
                std::string::npos)
                << r.Err;
        }
    }
}
