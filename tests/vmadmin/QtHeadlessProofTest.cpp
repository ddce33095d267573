// Everything an administrator does without a display, with the real programs (vmadmin, cron's
// shell running a job's line, VM_BATCH.CMD and volumark), and then the reference manager opened
// on the same data directory (offscreen) showing all of it.
#include "AdminFixture.h"

#include "output/SizeText.h"
#include "platform/Locale.h"
#include "references/LoggingRun.h"
#include "refman/QtHistoryView.h"
#include "refman/RefManagerForm.h"
#include "support/CronLine.h"
#include "support/gui/QtFrameFixture.h"

#include <QApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTreeWidget>

#include <nlohmann/json.hpp>

#include <sstream>

namespace vmtest {
namespace {

using nlohmann::json;

QStringList Column(QTreeWidget* list, int column = 0)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

// The crontab line that carries the job's marker.
std::string JobLine(const std::string& crontab, const std::string& id)
{
    std::istringstream lines(crontab);
    for (std::string line; std::getline(lines, line);)
        if (line.ends_with("# Volumark job " + id))
            return line;
    return {};
}

class HeadlessProof : public FrameTest
{
protected:
    ProcessResult Admin(const std::vector<std::string>& args)
    {
        const ProcessResult r = admin_.Admin(args);
        EXPECT_EQ(r.Status, 0) << args[0] << ": " << r.Err;
        return r;
    }

    AdminRunner admin_;
};

TEST_F(HeadlessProof, EverythingDoneWithoutADisplayIsWhatTheWindowsShow)
{
    const std::string a = admin_.Tree("site/www", 20000), b = admin_.Tree("site/db", 50000);
    Admin({"ref", "create", "Web Servers"});
    Admin({"path", "add", "web servers", a, "--yes"});
    Admin({"path", "add", "web servers", b, "--yes"});

    // A job in the crontab, its line run as cron runs it: through /bin/sh, without a display,
    // started in the home directory (which holds no data directory).
    const std::string id =
        Admin({"job", "add", "Web Servers", "--at", "02:30", "--weekdays", "mon,thu", "--compare"})
            .Out;
    ASSERT_FALSE(id.empty());
    const std::string line = JobLine(admin_.Root.ReadFile("crontab"), id.substr(0, id.size() - 1));
    ASSERT_FALSE(line.empty()) << admin_.Root.ReadFile("crontab");
    EXPECT_TRUE(line.starts_with("30 2 * * 1,4 ")) << line;
    std::vector<std::string> cron = admin_.Environment({"HOME=" + (admin_.Root / "share")});
    cron.insert(cron.end(), {"/bin/sh", "-c", CronCommandOf(line)});
    std::filesystem::create_directories(admin_.Root / "share");
    const ProcessResult job = RunProcess(cron);
    ASSERT_EQ(job.Status, 0) << job.Err;

    // The trees grow; logging again compares with the log the job wrote.
    admin_.Root.WriteFile("trees/site/db/new.dat", std::string(300000, 'n'));
    Admin({"log", "now", "Web Servers", "--compare"});
    const json history = json::parse(Admin({"history", "Web Servers", "--json"}).Out);
    const json top = json::parse(Admin({"top", "Web Servers", "1", "2", "--json"}).Out);
    Admin({"job", "delete", id.substr(0, id.size() - 1)});
    EXPECT_EQ(JobLine(admin_.Root.ReadFile("crontab"), id.substr(0, id.size() - 1)), "");
    EXPECT_EQ(json::parse(Admin({"job", "list", "--json"}).Out), json::array());

    ASSERT_EQ(history.size(), 2u) << history.dump();
    EXPECT_EQ(history[1]["change"],
              history[1]["space"].get<int64_t>() - history[0]["space"].get<int64_t>());
    ASSERT_EQ(top["grew"].size(), 1u) << top.dump();
    EXPECT_EQ(top["grew"][0]["path"], b);
    EXPECT_EQ(top["grew"][0]["change"], history[1]["change"]);

    // The reference manager on the same data directory.
    context_.DataDirectory = admin_.Data();
    auto* manager = new vm::TRefManager(*frame_);
    frame_->AddChild(manager)->showMaximized();
    QApplication::processEvents();
    const vm::TLocale locale = vm::TLocale::FromEnvironment();
    const vm::TRefStore store(admin_.Data());
    EXPECT_EQ(manager->DataDirectoryLabel->text().toStdString(),
              "Data directory: " + admin_.Data());
    EXPECT_EQ(Column(manager->RefListView), QStringList{"Web Servers"});
    EXPECT_EQ(manager->RefListView->topLevelItem(0)->text(2).toStdString(),
              vm::SizeText(history[1]["space"].get<int64_t>(), locale));
    EXPECT_EQ(manager->RefListView->topLevelItem(0)->text(3).toStdString(),
              "+" + vm::SizeText(history[1]["change"].get<int64_t>(), locale));
    manager->SelectRef("Web Servers");
    manager->ShowView(vm::TRHSView::Paths);
    EXPECT_EQ(Column(manager->RHSListView),
              (QStringList{QString::fromStdString(b + "/"), QString::fromStdString(a + "/")}));
    manager->ShowView(vm::TRHSView::Logs);
    EXPECT_EQ(Column(manager->RHSListView), (QStringList{"Log 1", "Log 2"}));
    manager->ShowView(vm::TRHSView::Compares);
    EXPECT_EQ(Column(manager->RHSListView), QStringList{"Log 1 with Log 2"});
    manager->ShowView(vm::TRHSView::History);
    const std::vector<vm::TLogSummary>& shown = manager->HistoryView->Logs();
    ASSERT_EQ(shown.size(), 2u);
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].LogNumber, history[i]["log"]);
        EXPECT_EQ(shown[i].Allocated, history[i]["space"]);
    }

    // File / Data directory ... turns to another one and says so.
    admin_.Root.MakeDir("elsewhere");
    manager->BrowseForDataDirectory = [&](const QString&) { return admin_.Root / "elsewhere"; };
    manager->DataDirectory1->trigger();
    EXPECT_EQ(context_.DataDirectory, admin_.Root / "elsewhere");
    EXPECT_EQ(manager->DataDirectoryLabel->text().toStdString(),
              "Data directory: " + (admin_.Root / "elsewhere"));
    EXPECT_EQ(manager->RefListView->topLevelItemCount(), 0);
    manager->BrowseForDataDirectory = [&](const QString&) { return admin_.Root / "nowhere"; };
    manager->DataDirectory1->trigger();
    EXPECT_EQ(context_.DataDirectory, admin_.Root / "elsewhere");
    EXPECT_EQ(ui_.Texts().back(),
              "The data directory " + (admin_.Root / "nowhere") + " does not exist");
}

} // namespace
} // namespace vmtest
