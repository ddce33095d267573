// The help window opens the pages of the help contexts, from disk or from the built-in copy.
#include "app/HelpForm.h"
#include "app/QtResources.h"
#include "platform/HelpTopics.h"

#include <QTextBrowser>

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(HelpForm, ContextsOpenTheirPages)
{
    THelpForm help(QString(VOLUMARK_SOURCE_DIR) + "/help");
    help.ShowContext(help::Options);
    EXPECT_TRUE(help.CurrentPage().path().endsWith("/help/options.html"));
    EXPECT_FALSE(help.HelpBrowser->toPlainText().isEmpty());
    help.ShowContext(help::OptionsButton);
    EXPECT_EQ(help.CurrentPage().fragment(), "pages");
    help.ShowIndex();
    EXPECT_TRUE(help.CurrentPage().path().endsWith("keywords.html"));
    help.ShowContents();
    EXPECT_TRUE(help.CurrentPage().path().endsWith("index.html"));
    EXPECT_TRUE(help.HelpBrowser->toPlainText().contains("Volumark Help"));
    help.close();
}

TEST(HelpForm, BuiltInCopyServesWhenNoFolderIsFound)
{
    InitResources();
    THelpForm help{QString()};
    help.ShowContext(help::Email);
    EXPECT_EQ(help.CurrentPage().scheme(), "qrc");
    EXPECT_TRUE(help.HelpBrowser->toPlainText().contains("e-mail"));
    help.close();
}

} // namespace
} // namespace vm
