// How the program starts: the facts it takes once, and without a display it refuses the windows
// with a clear message.
#include "app/Startup.h"

#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace vm {
namespace {

// Takes the display variables away for the life of the object.
class TNoDisplay
{
public:
    TNoDisplay()
    {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    ~TNoDisplay()
    {
        for (const auto& [name, value] : saved_)
            if (value)
                setenv(name, value->c_str(), 1);
    }

private:
    static constexpr const char* kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(Startup, WithoutDisplayTheWindowsAreRefusedWithAReason)
{
    TNoDisplay noDisplay;
    EXPECT_FALSE(DisplayAvailable());
    const vmtest::ProcessResult run = vmtest::RunProcess({vmtest::BuiltProgram("volumark")});
    EXPECT_NE(run.Status, 0);
    EXPECT_NE(run.Err.find("need a display"), std::string::npos) << run.Err;
}

TEST(Startup, AnyDisplayVariableCounts)
{
    TNoDisplay noDisplay;
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_TRUE(DisplayAvailable());
    unsetenv("WAYLAND_DISPLAY");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_TRUE(DisplayAvailable());
    unsetenv("QT_QPA_PLATFORM");
    setenv("DISPLAY", "", 1); // empty names nothing
    EXPECT_FALSE(DisplayAvailable());
}

TEST(Startup, ContextTakesTheCurrentDirectoryAndArguments)
{
    vmtest::TempDir dir;
    dir.WriteFile("Volumark.ini", ""); // a data directory
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    char name[] = "volumark", a1[] = "/C", a2[] = "/Ref=x y";
    char* argv[] = {name, a1, a2, nullptr};
    const TAppContext context = MakeAppContext(3, argv);
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(context.DataDirectory, std::filesystem::canonical(dir.Path()).string());
    EXPECT_EQ(context.Arguments, (std::vector<std::string>{"/C", "/Ref=x y"}));
    EXPECT_FALSE(context.ProgramPath.empty());
    EXPECT_TRUE(context.ConfirmDeletions);
}

} // namespace
} // namespace vm
