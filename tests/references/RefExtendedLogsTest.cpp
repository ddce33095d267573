// The log format a reference takes: a key beside its paths that leaves them readable, logs
// written in it, root paths that only the extended format holds, the repair that brings it back,
// and the results mail's word when a log passed the exact format's limit.
#include "references/LoggingRun.h"
#include "references/ResultsMail.h"

#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "platform/IniFile.h"
#include "platform/ScriptedUserInterface.h"
#include "support/LogInvariants.h"
#include "support/RefFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using namespace vm;
using ::testing::HasSubstr;
using vmtest::RefFixture;

namespace {

class RefExtendedLogsTest : public ::testing::Test
{
protected:
    RefFixture fx;
    TScriptedUserInterface ui;
    TRefStore store{fx.DataDir()};
};

TEST_F(RefExtendedLogsTest, TheFormatLivesBesideThePathsAndTheReferenceLogsInIt)
{
    fx.AddRef(0, "Servers", {{fx.MakeTree("t1"), "4096"}, {fx.MakeTree("t2"), "512"}});
    const std::string before = vmtest::ReadWholeFile(fx.Ini());
    EXPECT_EQ(store.RefLogFormat(0), TLogFormat::Exact);
    const TRefPaths paths = store.ReadRefPaths(0);

    store.SetRefLogFormat(0, TLogFormat::Extended);
    EXPECT_THAT(vmtest::ReadWholeFile(fx.Ini()), HasSubstr("LogFormat=extended"));
    EXPECT_EQ(store.RefLogFormat(0), TLogFormat::Extended);
    const TRefPaths read = store.ReadRefPaths(0);
    ASSERT_EQ(read.size(), 2u); // one key more still counts two path triples
    EXPECT_EQ(read[1].Path, paths[1].Path);
    EXPECT_EQ(read[1].Unit, 512);

    TLogRunResult r = LogReference(store, ui, 0, {});
    ASSERT_FALSE(r.Path.empty());
    EXPECT_FALSE(r.PassedExactLimit);
    EXPECT_EQ(LogFormatOf(store, 0, 1), TLogFormat::Extended);
    TFileStream file(r.Path, TFileMode::OpenRead);
    TDirStorage log(file);
    EXPECT_TRUE(log.HasOwners());
    EXPECT_TRUE(vmtest::LogFaults(log, {4096, 512}).empty());
    EXPECT_EQ(LogTotals(store, 0, 1).Size, 2 * 5100);

    // The repair of a lost section takes the format of the newest log.
    TIniFile(fx.Ini()).EraseSection(RefSectionName(0));
    store.ReconcileRefs();
    EXPECT_EQ(store.RefLogFormat(0), TLogFormat::Extended);

    // The exact format, the default, leaves no key.
    fx.AddRef(1, "Plain", {{fx.MakeTree("t3"), "4096"}});
    const std::string plain = vmtest::ReadWholeFile(fx.Ini());
    store.SetRefLogFormat(1, TLogFormat::Extended);
    store.SetRefLogFormat(1, TLogFormat::Exact);
    EXPECT_EQ(vmtest::ReadWholeFile(fx.Ini()), plain);
    EXPECT_NE(before, plain);
}

TEST_F(RefExtendedLogsTest, RootPathsLongerThanAnExactLogHoldsNeedTheExtendedFormat)
{
    std::string deep = fx.Root / "deep";
    while (deep.size() < 300)
        deep += "/" + std::string(50, 'd');
    std::filesystem::create_directories(deep);
    fx.AddRef(0, "Deep", {});
    EXPECT_THROW(store.AddRefPath(0, deep, 4096, 0, ""), ERefPathError);
    try {
        store.CheckAddablePath(deep);
    } catch (const ERefPathError& e) {
        EXPECT_THAT(e.what(), HasSubstr("longer than 259 bytes"));
        EXPECT_THAT(e.what(), HasSubstr("the extended format holds 4096"));
    }

    store.SetRefLogFormat(0, TLogFormat::Extended);
    store.AddRefPath(0, deep, 4096, 0, "");
    ASSERT_EQ(store.ReadRefPaths(0).size(), 1u);

    TLogRunResult r = LogReference(store, ui, 0, {});
    ASSERT_FALSE(r.Path.empty());
    TFileStream file(r.Path, TFileMode::OpenRead);
    TDirStorage log(file);
    TDirNode node;
    std::string name;
    TLogWalk roots = TLogWalk::Roots(log);
    ASSERT_TRUE(roots.Next(node, name));
    EXPECT_EQ(name, deep + "/");
}

TEST(ResultsMailText, ALogThatPassedTheExactLimitSaysSoInBothModes)
{
    TOptions o;
    TResultsFacts facts;
    facts.RefName = "Servers";
    facts.LogDate = 46000.5;
    facts.Total = 2048;
    facts.PassedExactLimit = true;
    TLocale locale;
    TResultsMailText m = ComposeResultsMail(o, facts, locale);
    ASSERT_EQ(m.Lines.size(), 5u);
    EXPECT_EQ(m.Lines[3], "");
    EXPECT_EQ(m.Lines[4], kPassedExactLimitText);
    o.EmailOnlySubject = true;
    EXPECT_EQ(ComposeResultsMail(o, facts, locale).Lines,
              std::vector<std::string>{kPassedExactLimitText});
}

} // namespace
