// Opening a log or a comparison named on the command line, and the words every Linux program
// answers: where a file belongs (its reference, or nowhere and read only), how the command line
// tells a file from a switch, and what --help, --version and unknown options do.
#include "core/FileKind.h"
#include "platform/ScriptedUserInterface.h"
#include "references/CommandLine.h"
#include "references/CommandLineRun.h"
#include "references/CompareRun.h"
#include "references/FilePlace.h"
#include "references/LoggingRun.h"
#include "references/ProgramOptions.h"
#include "references/RefStore.h"
#include "support/RefFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vm;
namespace fs = std::filesystem;

namespace {

// A data directory with reference 0 logged twice and its two logs compared.
class FileOpeningTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fx.AddRef(0, "Servers", {{fx.MakeTree("t"), "4096"}});
        ASSERT_EQ(LogReference(store, ui, 0, {}).LogNumber, 1);
        ASSERT_EQ(LogReference(store, ui, 0, {}).LogNumber, 2);
        RunComparison(store, 0, 1, 2);
        data = fs::canonical(fx.DataDir());
        log = data + "/Ref0000/Log0002.kdf";
        comparison = data + "/Ref0000/00010002.kcf";
    }
    // A copy of from at the path name inside the fixture's root (parents made).
    std::string CopyTo(const std::string& from, const std::string& name)
    {
        const fs::path to = fs::path(fx.Root.Path()) / name;
        fs::create_directories(to.parent_path());
        fs::copy_file(from, to);
        return fs::canonical(to);
    }

    vmtest::RefFixture fx;
    TRefStore store{fx.DataDir()};
    TScriptedUserInterface ui;
    std::string data, log, comparison;
};

TCommandLineState Parse(const std::vector<std::string>& args, TUserInterface& ui)
{
    TCommandLineLookups lookups;
    lookups.FindRefByName = [](const std::string&) { return 0; };
    lookups.LastLogNumber = [](int) { return 1; };
    TCommandLineState state;
    ParseCommandLine(args, lookups, ui, state);
    return state;
}

} // namespace

TEST_F(FileOpeningTest, FilesOfAReferenceBelongToItUnderTheStoresNames)
{
    TFilePlace place = PlaceOfFile(log);
    EXPECT_TRUE(place.Problem.empty()) << place.Problem;
    EXPECT_EQ(place.Kind, TFileKind::Log);
    EXPECT_EQ(place.DataDirectory, data);
    EXPECT_EQ(place.Reference, 0);
    EXPECT_EQ(place.Log, 2);

    place = PlaceOfFile(comparison);
    EXPECT_EQ(place.Kind, TFileKind::Comparison);
    EXPECT_EQ(place.DataDirectory, data);
    EXPECT_EQ(place.OldLog, 1);
    EXPECT_EQ(place.NewLog, 2);

    // A link to the log from elsewhere leads to its reference; a relative path works too.
    fs::create_symlink(log, fx.Root / "latest.kdf");
    EXPECT_EQ(PlaceOfFile(fx.Root / "latest.kdf").DataDirectory, data);
    const fs::path before = fs::current_path();
    fs::current_path(data);
    EXPECT_EQ(PlaceOfFile("Ref0000/Log0002.kdf").Path, log);
    fs::current_path(before);
}

TEST_F(FileOpeningTest, FilesNoReferenceOwnsAreReadOnly)
{
    // Elsewhere, under any name: the bytes tell a log from a comparison, whatever the name says.
    TFilePlace place = PlaceOfFile(CopyTo(log, "mailed/weekly.kcf"));
    EXPECT_EQ(place.Kind, TFileKind::Log);
    EXPECT_FALSE(place.InReference());
    EXPECT_EQ(place.Log, 0);
    place = PlaceOfFile(CopyTo(comparison, "mailed/00010002.kdf"));
    EXPECT_EQ(place.Kind, TFileKind::Comparison);
    EXPECT_FALSE(place.InReference());

    // In a reference directory, but not under the store's name for it ("log0002.kdf" is no name
    // the store gives, and the reference manager never lists it).
    EXPECT_FALSE(PlaceOfFile(CopyTo(log, "data/Ref0000/log0002.kdf")).InReference());
    EXPECT_FALSE(PlaceOfFile(CopyTo(log, "data/Ref0000/Log0002.kdf.old.kdf")).InReference());
    // A reference directory that Volumark.ini does not name, or one spelled otherwise.
    EXPECT_FALSE(PlaceOfFile(CopyTo(log, "data/Ref0007/Log0001.kdf")).InReference());
    EXPECT_FALSE(PlaceOfFile(CopyTo(log, "data/ref0000/Log0001.kdf")).InReference());
    // A directory named like a reference without a Volumark.ini above it.
    EXPECT_FALSE(PlaceOfFile(CopyTo(log, "other/Ref0000/Log0001.kdf")).InReference());
}

TEST_F(FileOpeningTest, WhatCannotBeOpenedSaysWhy)
{
    EXPECT_NE(PlaceOfFile(fx.Root / "gone.kdf").Problem.find("gone.kdf"), std::string::npos);
    fx.Root.MakeDir("folder.kdf");
    EXPECT_NE(PlaceOfFile(fx.Root / "folder.kdf").Problem.find("it is not a file"),
              std::string::npos);
    fx.Root.WriteFile("notes.txt", "neither a log nor a comparison\n");
    EXPECT_EQ(PlaceOfFile(fx.Root / "notes.txt").Kind, TFileKind::Unknown);
    EXPECT_FALSE(PlaceOfFile(fx.Root / "notes.txt").Problem.empty());
}

TEST(FileArguments, PathsEndingInLogOrComparisonNamesAreFilesSwitchesStaySwitches)
{
    TScriptedUserInterface ui;
    TCommandLineState s = Parse({"/srv/vm/Ref0000/Log0001.kdf", "Ref0000/00010002.KCF", "/C=3",
                                 "/Folder=/srv/Log0001.kdf", "/X=1", "/srv/notes.txt"},
                                ui);
    EXPECT_EQ(s.OpenFiles,
              (std::vector<std::string>{"/srv/vm/Ref0000/Log0001.kdf", "Ref0000/00010002.KCF"}));
    EXPECT_TRUE(s.CompareRequested);
    EXPECT_EQ(s.CompareLogNumber, 3);
    EXPECT_EQ(s.Folder, "/srv/Log0001.kdf");
    EXPECT_TRUE(ui.Shown.empty());

    // An argument that selects a keyword is never a file, nor is an ambiguous one.
    EXPECT_FALSE(IsFileArgument("/R=x.kdf"));
    EXPECT_FALSE(IsFileArgument("/=x.kdf"));
    EXPECT_TRUE(Parse({"/=x.kdf"}, ui).OpenFiles.empty());
    EXPECT_TRUE(IsFileArgument("/srv/a=b/Log0001.kdf"));
}

TEST(ProgramOptions, HelpVersionAndUnknownOptionsAreAnsweredFirst)
{
    EXPECT_EQ(CheckProgramOptions({"/Ref=Servers", "--help"}).Action, TProgramAction::ShowUsage);
    EXPECT_EQ(CheckProgramOptions({"-h"}).Action, TProgramAction::ShowUsage);
    EXPECT_EQ(CheckProgramOptions({"--version", "--help"}).Action, TProgramAction::ShowVersion);
    TProgramOptions refused = CheckProgramOptions({"/Ref=Servers", "--frobnicate", "--help"});
    EXPECT_EQ(refused.Action, TProgramAction::Refuse);
    EXPECT_EQ(refused.Refused, "--frobnicate");
    EXPECT_EQ(CheckProgramOptions({"-x=1"}).Refused, "-x=1");

    // The command line's own arguments go on to it: its switches in any spelling, "/" switches
    // that name nothing (ignored there), "-" alone (ambiguous there), -help (its /?) and files.
    for (const char* a : {"--ref=Servers", "-c", "-C=3", "--k", "--folder=/srv", "/X=1", "-",
                          "-help", "/?", "/srv/Ref0000/Log0001.kdf", "-odd.kcf"})
        EXPECT_EQ(CheckProgramOptions({a}).Action, TProgramAction::Run) << a;

    const std::string usage = ProgramUsage();
    for (const char* form : {"/Ref=\"NAME\"", "/C=NNN", "/K", "/Folder=DIR", "FILE", "--help",
                             "--version", "Exit status: 0"})
        EXPECT_NE(usage.find(form), std::string::npos) << form;
}

TEST_F(FileOpeningTest, TheRunOpensFilesInTheWindowsOrSaysWhyNot)
{
    TCommandLineEnv env;
    env.Store = &store;
    env.UI = &ui;
    std::vector<TFilePlace> opened;
    env.OpenFile = [&opened](const TFilePlace& place) { opened.push_back(place); };

    // A file of another data directory is not of this reference store: read only.
    vmtest::RefFixture other;
    other.AddRef(0, "Servers", {{other.MakeTree("t"), "4096"}});
    TRefStore otherStore(other.DataDir());
    ASSERT_EQ(LogReference(otherStore, ui, 0, {}).LogNumber, 1);

    TCommandLineState s;
    s.OpenFiles = {comparison, other.DataDir() + "/Ref0000/Log0001.kdf"};
    EXPECT_EQ(RunCommandLine(s, env), kExitSuccess);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(opened[0].InReference());
    EXPECT_EQ(opened[0].Kind, TFileKind::Comparison);
    EXPECT_FALSE(opened[1].InReference());
    EXPECT_EQ(opened[1].Reference, -1);
    EXPECT_EQ(opened[1].Log, 1);
    EXPECT_TRUE(ui.Shown.empty());

    // A file that is not there is refused; without the windows nothing can be shown.
    s.OpenFiles = {fx.Root / "gone.kdf"};
    EXPECT_EQ(RunCommandLine(s, env), kExitArgumentRefused);
    ASSERT_EQ(ui.Shown.size(), 1u);
    EXPECT_EQ(ui.Shown[0].Text.rfind("Can't open " + (fx.Root / "gone.kdf"), 0), 0u);
    env.OpenFile = nullptr;
    s.OpenFiles = {log};
    EXPECT_EQ(RunCommandLine(s, env), kExitNoWindows);
    EXPECT_NE(ui.Shown.back().Text.find("needs the windows"), std::string::npos);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(FileOpeningTest, TheFirstFileOfAReferenceNamesTheDataDirectory)
{
    const std::string loose = CopyTo(log, "mailed/Log0002.kdf");
    EXPECT_EQ(DataDirectoryOfFiles({"/Ref=Servers", loose, comparison, "/srv/x.kdf"}), data);
    EXPECT_EQ(DataDirectoryOfFiles({loose, "/C"}), "");
}
