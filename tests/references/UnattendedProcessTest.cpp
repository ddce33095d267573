// The unattended run as cron starts it: the real program in a real data directory, without a
// display, its statuses and what it prints.
#include "platform/IniFile.h"
#include "support/ProcessRunner.h"
#include "support/RefFixture.h"
#include "support/SmtpServer.h"

#include <gtest/gtest.h>

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
    ProcessResult Run(std::vector<std::string> args)
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
        return vmtest::RunProcess(argv);
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
