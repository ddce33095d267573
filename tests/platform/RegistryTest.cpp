#include "platform/Registry.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace vm {
namespace {

class RegistryTest : public ::testing::Test
{
protected:
    vmtest::TempDir dir;
    std::string file = dir / "registry.ini";
    TRegistry reg{file};
};

TEST_F(RegistryTest, HandWrittenFileReadsBack)
{
    dir.WriteFile("registry.ini", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ardelia\\Volumark]\n"
                                  "ShowExt=dword:1\n"
                                  "EmailTo=sz:admin@example.com\n"
                                  "Printer setup=hex:50,44,46,00\n"
                                  "@=sz:the default\n"
                                  "Counter=dword:-42\n"
                                  "Plain=17\n");
    ASSERT_TRUE(reg.KeyExists(kSettingsKey));
    ASSERT_TRUE(reg.OpenKey("hkey_local_machine\\software\\ardelia\\volumark", false));
    EXPECT_EQ(reg.ReadInteger("ShowExt"), 1);
    EXPECT_TRUE(reg.ReadBool("showext", false));
    EXPECT_EQ(reg.ReadString("EmailTo"), "admin@example.com");
    EXPECT_EQ(reg.ReadBinary("Printer setup"), (std::vector<uint8_t>{0x50, 0x44, 0x46, 0x00}));
    EXPECT_EQ(reg.ReadString("@"), "the default");
    EXPECT_EQ(reg.ReadInteger("Counter"), -42);
    // A value without a type reads as text and, being a number, as a number.
    EXPECT_EQ(reg.ReadInteger("Plain"), 17);
    EXPECT_EQ(reg.ReadString("Plain"), "17");
    // Values of another type are not read as this one.
    EXPECT_EQ(reg.ReadString("ShowExt"), std::nullopt);
    EXPECT_EQ(reg.ReadInteger("EmailTo"), std::nullopt);
    EXPECT_EQ(reg.ReadBinary("EmailTo"), std::nullopt);
    EXPECT_FALSE(reg.ReadBool("EmailTo", false));
    EXPECT_EQ(reg.ReadInteger("Missing"), std::nullopt);
    EXPECT_EQ(reg.ValueNames(), (std::vector<std::string>{"ShowExt", "EmailTo", "Printer setup",
                                                          "@", "Counter", "Plain"}));
}

TEST_F(RegistryTest, WrittenValuesUseTheDocumentedFormat)
{
    ASSERT_TRUE(reg.OpenKey(kSettingsKey, true));
    reg.WriteInteger("ShowExt", 1);
    reg.WriteString("Email To", "a; b");
    reg.WriteBinary("Printer setup", {0x50, 0xAB, 0x00});
    reg.WriteBinary("Empty", {});
    reg.WriteString("@", "");
    EXPECT_EQ(vmtest::ReadWholeFile(file), "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ardelia\\Volumark]\n"
                                           "ShowExt=dword:1\n"
                                           "Email To=sz:a; b\n"
                                           "Printer setup=hex:50,ab,00\n"
                                           "Empty=hex:\n"
                                           "@=sz:\n");
    EXPECT_EQ(reg.ReadBinary("Empty"), std::vector<uint8_t>{});
    EXPECT_EQ(reg.ReadString("@"), "");
    reg.WriteInteger("ShowExt", 0); // rewritten in place
    EXPECT_FALSE(reg.ReadBool("ShowExt", true));
    reg.DeleteValue("Email To");
    EXPECT_FALSE(reg.ValueExists("Email To"));
}

TEST_F(RegistryTest, MalformedHexIsNotRead)
{
    dir.WriteFile("registry.ini", "[K]\nA=hex:5\nB=hex:50,,44\nC=hex:zz\nD=hex: 50 , 44 \n");
    ASSERT_TRUE(reg.OpenKey("K", false));
    EXPECT_EQ(reg.ReadBinary("A"), std::nullopt);
    EXPECT_EQ(reg.ReadBinary("B"), std::nullopt);
    EXPECT_EQ(reg.ReadBinary("C"), std::nullopt);
    EXPECT_EQ(reg.ReadBinary("D"), (std::vector<uint8_t>{0x50, 0x44}));
}

TEST_F(RegistryTest, OpenWithoutCreateFailsAndCreateMakesAnEmptyKey)
{
    EXPECT_FALSE(reg.OpenKey("HKEY_CURRENT_USER\\Software\\X", false));
    EXPECT_FALSE(reg.LastError().empty());
    EXPECT_FALSE(reg.KeyExists("HKEY_CURRENT_USER\\Software\\X"));
    ASSERT_TRUE(reg.OpenKey("\\HKEY_CURRENT_USER\\Software\\X\\", true));
    EXPECT_EQ(reg.CurrentKey(), "HKEY_CURRENT_USER\\Software\\X");
    EXPECT_TRUE(reg.KeyExists("HKEY_CURRENT_USER\\Software\\X"));
    EXPECT_TRUE(reg.ValueNames().empty());
    // Without an open key nothing can be written.
    reg.CloseKey();
    EXPECT_THROW(reg.WriteInteger("A", 1), std::runtime_error);
}

TEST_F(RegistryTest, DeleteKeyRemovesSubkeysOnly)
{
    for (const char* k : {"HKEY_CLASSES_ROOT\\CLSID\\G", "HKEY_CLASSES_ROOT\\CLSID\\G\\InProc",
                          "HKEY_CLASSES_ROOT\\CLSID\\Gx", "HKEY_CLASSES_ROOT\\CLSID"}) {
        ASSERT_TRUE(reg.OpenKey(k, true));
        reg.WriteString("@", k);
    }
    EXPECT_EQ(reg.SubKeyNames("HKEY_CLASSES_ROOT\\CLSID"), (std::vector<std::string>{"G", "Gx"}));
    reg.OpenKey("HKEY_CLASSES_ROOT\\CLSID\\G\\InProc", false);
    reg.DeleteKey("hkey_classes_root\\clsid\\g");
    EXPECT_FALSE(reg.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\G"));
    EXPECT_FALSE(reg.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\G\\InProc"));
    EXPECT_TRUE(reg.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\Gx"));
    EXPECT_TRUE(reg.KeyExists("HKEY_CLASSES_ROOT\\CLSID"));
    EXPECT_EQ(reg.CurrentKey(), "");             // the open key went with it
    reg.DeleteKey("HKEY_CLASSES_ROOT\\Nothing"); // deleting what is not there is harmless
}

TEST_F(RegistryTest, LineBreaksInTextAreRefusedAndLoseNothing)
{
    ASSERT_TRUE(reg.OpenKey(kSettingsKey, true));
    reg.WriteString("EmailTo", "admin");
    EXPECT_THROW(reg.WriteString("EmailTo", "admin\n[Injected]"), std::runtime_error);
    EXPECT_THROW(reg.WriteString("a=b", "x"), std::runtime_error);
    EXPECT_EQ(reg.ReadString("EmailTo"), "admin");
    EXPECT_FALSE(reg.KeyExists("Injected"));
}

TEST_F(RegistryTest, FirstWriteCreatesTheDirectory)
{
    TRegistry deep(dir / "a/b/registry.ini");
    ASSERT_TRUE(deep.OpenKey(kSettingsKey, true));
    deep.WriteInteger("X", 5);
    TRegistry again(dir / "a/b/registry.ini");
    ASSERT_TRUE(again.OpenKey(kSettingsKey, false));
    EXPECT_EQ(again.ReadInteger("X"), 5);
}

TEST(RegistryPath, EnvironmentChoosesTheFile)
{
    auto saved = [](const char* n) {
        const char* v = std::getenv(n);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    auto restore = [](const char* n, const std::optional<std::string>& v) {
        if (v)
            setenv(n, v->c_str(), 1);
        else
            unsetenv(n);
    };
    auto reg = saved("VOLUMARK_REGISTRY"), xdg = saved("XDG_CONFIG_HOME"), home = saved("HOME");
    setenv("VOLUMARK_REGISTRY", "/tmp/r.ini", 1);
    EXPECT_EQ(TRegistry::DefaultPath(), "/tmp/r.ini");
    unsetenv("VOLUMARK_REGISTRY");
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(TRegistry::DefaultPath(), "/cfg/volumark/registry.ini");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(TRegistry::DefaultPath(), "/home/u/.config/volumark/registry.ini");
    restore("VOLUMARK_REGISTRY", reg);
    restore("XDG_CONFIG_HOME", xdg);
    restore("HOME", home);
}

} // namespace
} // namespace vm
