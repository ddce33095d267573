// vmadmin as its user runs it: the real program in its own process over a data directory of the
// test's, with settings, mail, crontab and metrics files of the test's own, and no display.
// AdminRunner holds the files and runs the programs; AdminFixture is the test fixture over it.
#pragma once

#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vmtest {

class AdminRunner
{
public:
    AdminRunner()
    {
        for (const char* d : {"data", "trees", "metrics"})
            Root.MakeDir(d);
        Root.WriteFile("crontab", "");
    }

    std::string Data() const { return Root / "data"; }
    std::string Crontab() const { return Root / "crontab"; }

    // The environment every run gets; extra holds "NAME=value" entries to add.
    std::vector<std::string> Environment(const std::vector<std::string>& extra = {}) const
    {
        std::vector<std::string> env = {"/usr/bin/env",
                                        "-u",
                                        "VOLUMARK_DATA",
                                        "-u",
                                        "DISPLAY",
                                        "-u",
                                        "WAYLAND_DISPLAY",
                                        "-u",
                                        "QT_QPA_PLATFORM",
                                        "-u",
                                        "VOLUMARK_MOUNTINFO",
                                        "VOLUMARK_REGISTRY=" + (Root / "registry.ini"),
                                        "VOLUMARK_MAIL=" + (Root / "mail.ini"),
                                        "VOLUMARK_CRONTAB=" + Crontab(),
                                        "VOLUMARK_METRICS_DIR=" + (Root / "metrics"),
                                        "XDG_DATA_HOME=" + (Root / "share")};
        env.insert(env.end(), extra.begin(), extra.end());
        return env;
    }
    // vmadmin --data DATA args...
    ProcessResult Admin(const std::vector<std::string>& args,
                        const std::vector<std::string>& extraEnv = {}) const
    {
        std::vector<std::string> argv = Environment(extraEnv);
        argv.push_back(BuiltProgram("vmadmin"));
        argv.push_back("--data");
        argv.push_back(Data());
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProcess(argv);
    }
    // A directory below trees/ holding a file of that many bytes.
    std::string Tree(const std::string& name, size_t bytes = 1000) const
    {
        std::filesystem::create_directories(Root / ("trees/" + name));
        Root.WriteFile("trees/" + name + "/file", std::string(bytes, 'x'));
        return Root / ("trees/" + name);
    }

    // Every file below the data directory with its bytes: what "nothing changed" compares.
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(Data()))
            files[e.path().string()] = e.is_directory() ? "<dir>" : ReadWholeFile(e.path());
        return files;
    }

    TempDir Root;
};

class AdminFixture : public testing::Test, public AdminRunner
{
};

} // namespace vmtest
