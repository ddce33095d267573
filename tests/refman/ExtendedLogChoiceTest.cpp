// Choosing a reference's log format in the wizard and the reference manager.
#include "refman/RefWizard.h"

#include "RefManData.h"
#include "platform/ScriptedUserInterface.h"
#include "refman/RefEditing.h"
#include "refman/RefManRules.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vm;
using vmtest::RefManData;

namespace {

TEST(ExtendedLogChoice, TheWizardMakesAReferenceOfTheChosenFormatThatTakesLongPaths)
{
    RefManData fx;
    TScriptedUserInterface ui;
    TRefWizard wizard{fx.Store, ui};
    std::string deep = fx.Root / "deep";
    while (deep.size() < 300)
        deep += "/" + std::string(50, 'd');
    std::filesystem::create_directories(deep);

    wizard.Next();
    wizard.Name = "Deep server";
    ASSERT_TRUE(wizard.Next());
    EXPECT_FALSE(wizard.AddPath(deep)); // the exact format holds 259 bytes
    wizard.LogFormat = TLogFormat::Extended;
    ASSERT_TRUE(wizard.AddPath(deep));
    ASSERT_TRUE(wizard.Next());
    const int made = wizard.CreatedReference();
    ASSERT_GE(made, 0);
    EXPECT_EQ(fx.Store.RefLogFormat(made), TLogFormat::Extended);
    EXPECT_EQ(fx.Store.ReadRefPaths(made).at(0).Path, deep + "/");

    wizard.Reset();
    EXPECT_EQ(wizard.LogFormat, TLogFormat::Exact);

    // The reference cannot go back to the exact format while it holds that path.
    EXPECT_FALSE(EditLogFormat(fx.Store, ui, made, TLogFormat::Exact));
    EXPECT_NE(ui.Texts().back().find("longer than 259 bytes"), std::string::npos);
    EXPECT_EQ(fx.Store.RefLogFormat(made), TLogFormat::Extended);
}

TEST(ExtendedLogChoice, LogFormatIsOfferedForASelectedReferenceWhileNothingRuns)
{
    TRefManState s;
    EXPECT_FALSE(RefManEnables(s).RefLogFormat);
    s.RefSelected = true;
    EXPECT_TRUE(RefManEnables(s).RefLogFormat);
    s.Running = true;
    EXPECT_FALSE(RefManEnables(s).RefLogFormat);
}

} // namespace
