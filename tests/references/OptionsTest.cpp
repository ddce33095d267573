#include "references/Options.h"

#include "platform/Registry.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

class OptionsTest : public ::testing::Test
{
protected:
    vmtest::TempDir dir;
    TRegistry reg{dir / "registry.ini"};
    TRegistry Reader()
    {
        TRegistry r(dir / "registry.ini");
        r.OpenKey(kSettingsKey, false);
        return r;
    }
};

TEST_F(OptionsTest, FirstLoadStoresTheInitialStatesAndEmptiesStrings)
{
    TOptions o;
    ASSERT_TRUE(o.Load(reg));
    TRegistry r = Reader();
    EXPECT_EQ(r.ReadInteger("ShowExt"), 1);
    EXPECT_EQ(r.ReadInteger("ShowIcon"), 1);
    EXPECT_EQ(r.ReadInteger("EmailGrownBy"), 20);
    EXPECT_EQ(r.ReadInteger("EmailDiskFreeBy"), 10);
    EXPECT_EQ(r.ReadInteger("EmailAlways"), 1);
    EXPECT_EQ(r.ReadInteger("EmailCommandLine"), 0);
    // Strings are not created: a missing one reads as empty, "Administrator" included.
    EXPECT_FALSE(r.ValueExists("EmailTo"));
    EXPECT_EQ(o.EmailTo, "");
    // Units are stored like numbers: an empty unit would make every growth an exception.
    EXPECT_EQ(o.EmailGrownUnit, "MB");
    EXPECT_EQ(r.ReadString("EmailGrownUnit"), "MB");
    EXPECT_EQ(r.ReadString("EmailDiskFreeUnit"), "%");
    EXPECT_EQ(r.ValueNames(), (std::vector<std::string>{
                                  "ShowExt", "ShowIcon", "EmailCommandLine", "EmailOnlySubject",
                                  "EmailAlways", "EmailGrown", "EmailGrownBy", "EmailGrownUnit",
                                  "EmailDiskFree", "EmailDiskFreeBy", "EmailDiskFreeUnit",
                                  "EmailRTF", "EmailDialog", "AllowLiveLogs", "LargestFirst"}));
}

TEST_F(OptionsTest, EmptyStoredUnitTakesTheCurrentUnit)
{
    // A store saved while the unit box was blank.
    ASSERT_TRUE(reg.OpenKey(kSettingsKey, true));
    reg.WriteString("EmailGrownUnit", "");
    reg.WriteString("EmailDiskFreeUnit", "GB");
    TOptions o;
    ASSERT_TRUE(o.Load(reg));
    EXPECT_EQ(o.EmailGrownUnit, "MB");
    EXPECT_EQ(o.EmailDiskFreeUnit, "GB");
    EXPECT_EQ(Reader().ReadString("EmailGrownUnit"), "MB");
}

TEST_F(OptionsTest, SaveThenLoadRoundTripsAndShowFlagsComeBackFromTheStore)
{
    TOptions o;
    o.ShowExt = false;
    o.EmailTo = "Administrator; ops@example.com";
    o.EmailProfile = "Office";
    o.EmailGrownBy = 3;
    o.EmailGrownUnit = "GB";
    o.EmailAlways = false;
    o.AllowLiveLogs = true;
    o.LargestFirst = true;
    ASSERT_TRUE(o.Save(reg));

    TOptions loaded;
    loaded.EmailTo = "something the dialog held";
    ASSERT_TRUE(loaded.Load(reg));
    EXPECT_FALSE(loaded.ShowExt);
    EXPECT_EQ(loaded.EmailTo, "Administrator; ops@example.com");
    EXPECT_EQ(loaded.EmailProfile, "Office");
    EXPECT_EQ(loaded.EmailGrownBy, 3);
    EXPECT_EQ(loaded.EmailGrownUnit, "GB");
    EXPECT_FALSE(loaded.EmailAlways);
    EXPECT_TRUE(loaded.AllowLiveLogs);
    EXPECT_TRUE(loaded.LargestFirst);
}

TEST_F(OptionsTest, MissingValueTakesTheCurrentStateNotTheTableDefault)
{
    TOptions o;
    ASSERT_TRUE(o.Save(reg));
    TRegistry w = Reader();
    w.DeleteValue("EmailGrownBy");
    w.DeleteValue("ShowIcon");
    w.WriteString("EmailGrown", "yes"); // of the wrong type: kept, and the state too

    TOptions dialog; // what the dialog loaded last time and still shows
    dialog.EmailGrownBy = 55;
    dialog.EmailGrown = true;
    dialog.ShowIcon = false; // set true again before every load
    ASSERT_TRUE(dialog.Load(reg));
    EXPECT_EQ(dialog.EmailGrownBy, 55);
    EXPECT_TRUE(dialog.ShowIcon);
    EXPECT_TRUE(dialog.EmailGrown);
    TRegistry r = Reader();
    EXPECT_EQ(r.ReadInteger("EmailGrownBy"), 55);
    EXPECT_EQ(r.ReadInteger("ShowIcon"), 1);
    EXPECT_EQ(r.ReadString("EmailGrown"), "yes");
}

TEST_F(OptionsTest, UnwritableStoreFailsAndKeepsTheState)
{
    // A plain file where the directory should be: no one, root included, can write there.
    dir.WriteFile("blocker", "");
    TRegistry ro(dir / "blocker/registry.ini");
    TOptions o;
    o.EmailTo = "kept";
    o.ShowExt = false;
    std::string reason;
    EXPECT_FALSE(o.Load(ro, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(o.EmailTo, "kept");
    EXPECT_TRUE(o.ShowExt); // set before the store is opened
    EXPECT_FALSE(o.Save(ro, &reason));
}

TEST(OptionNumber, AmountBoxes)
{
    EXPECT_EQ(OptionNumber("20"), 20);
    EXPECT_EQ(OptionNumber(" 3 "), 3);
    EXPECT_EQ(OptionNumber("-5"), -5);
    EXPECT_EQ(OptionNumber(""), 0);
    EXPECT_EQ(OptionNumber("12abc"), 0);
    EXPECT_EQ(OptionNumber("99999999999999999999"), 0);
}

} // namespace
} // namespace vm
