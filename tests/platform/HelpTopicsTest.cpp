// Every help context leads to a page that exists, with the anchor it names.
#include "platform/HelpTopics.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace vm {
namespace {

const std::string kHelpDir = std::string(VOLUMARK_SOURCE_DIR) + "/help";

// True when the page exists and, for page#anchor, holds <a name="anchor">.
bool PageExists(const std::string& target)
{
    const size_t hash = target.find('#');
    const std::string text = vmtest::ReadWholeFile(kHelpDir + "/" + target.substr(0, hash));
    if (text.empty())
        return false;
    return hash == std::string::npos ||
           text.find("name=\"" + target.substr(hash + 1) + "\"") != std::string::npos;
}

TEST(HelpTopics, ContextsOfTheWindowsHavePages)
{
    for (int context :
         {help::Options, help::Compare, help::ShareList, help::ClusterSize, help::FileList,
          help::FileFilter, help::TagSettings, help::DeleteOptions, help::ConfirmPrinter,
          help::Email, help::Properties, help::OptionsButton, help::Wizard}) {
        const std::string page = HelpPageForContext(context);
        EXPECT_NE(page, kHelpContentsPage) << context;
        EXPECT_TRUE(PageExists(page)) << context << " -> " << page;
    }
    EXPECT_EQ(HelpPageForContext(99999), kHelpContentsPage);
    EXPECT_TRUE(PageExists(kHelpIndexPage));
}

TEST(HelpTopics, EveryLinkBetweenPagesLeadsSomewhere)
{
    const std::regex link("href=\"([^\"]+)\"");
    for (const auto& entry : std::filesystem::directory_iterator(kHelpDir)) {
        const std::string text = vmtest::ReadWholeFile(entry.path().string());
        for (auto it = std::sregex_iterator(text.begin(), text.end(), link);
             it != std::sregex_iterator(); ++it) {
            const std::string target = (*it)[1];
            if (target.find(':') != std::string::npos)
                continue; // an outside address
            EXPECT_TRUE(PageExists(target)) << entry.path().filename() << " -> " << target;
        }
    }
}

TEST(HelpTopics, HelpFolderIsFoundBesideOrAboveTheProgram)
{
    vmtest::TempDir dir;
    dir.MakeDir("bin");
    EXPECT_EQ(FindHelpDirectory(dir / "bin/volumark"), "");
    dir.MakeDir("share/volumark/help");
    dir.WriteFile("share/volumark/help/index.html", "<html></html>");
    EXPECT_EQ(FindHelpDirectory(dir / "bin/volumark"), dir / "share/volumark/help");
    dir.MakeDir("bin/help");
    dir.WriteFile("bin/help/index.html", "<html></html>");
    EXPECT_EQ(FindHelpDirectory(dir / "bin/volumark"), dir / "bin/help");
    EXPECT_EQ(FindHelpDirectory(""), "");
}

} // namespace
} // namespace vm
