// The desktop's file types for logs and comparisons (resources/volumark-mime.xml), compiled by
// shared-mime-info's update-mime-database as the package's trigger does, and read back by Qt's
// MIME database as a file manager would: by their first bytes whatever their names, by their
// names where the bytes say nothing.
#include "core/DirStorage.h"
#include "core/FileKind.h"
#include "platform/IniFile.h"
#include "references/CompareRun.h"
#include "references/RefStore.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <QMimeDatabase>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(FileTypes, LogsAndComparisonsAreKnownByTheirBytesAndByTheirNames)
{
    vmtest::TempDir dir;
    // A data directory with two logs of one tree and their comparison.
    dir.MakeDir("tree");
    dir.WriteFile("tree/a.txt", "a");
    dir.MakeDir("Ref0000");
    vm::TIniFile(dir / "Volumark.ini").WriteString("Ref0000", "Name", "Tree");
    for (const char* name : {"Ref0000/Log0001.kdf", "Ref0000/Log0002.kdf"}) {
        vm::TFileStream file(dir / name, vm::TFileMode::Create);
        vm::TDirStorage log(file);
        log.BuildLog({{dir / "tree/", 4096}});
        file.Flush();
    }
    // The third log is extended, and so is its comparison with the second.
    {
        vm::TFileStream file(dir / "Ref0000/Log0003.kdf", vm::TFileMode::Create);
        vm::TDirStorage log(file);
        log.SetScanOptions({0, vm::TLogFormat::Extended});
        log.BuildLog({{dir / "tree/", 4096}});
        file.Flush();
    }
    vm::RunComparison(vm::TRefStore(dir.Path()), 0, 1, 2);
    vm::RunComparison(vm::TRefStore(dir.Path()), 0, 2, 3);
    fs::copy_file(dir / "Ref0000/Log0001.kdf", dir / "monday.bin");
    fs::copy_file(dir / "Ref0000/00010002.kcf", dir / "changes.kdf"); // the name misleads
    fs::copy_file(dir / "Ref0000/Log0003.kdf", dir / "wide.kcf");
    fs::copy_file(dir / "Ref0000/00020003.kcf", dir / "wide.kdf");
    dir.WriteFile("empty.kcf", "");

    // The system's types and ours, compiled where only this process looks.
    dir.MakeDir("share");
    dir.MakeDir("share/mime");
    dir.MakeDir("share/mime/packages");
    fs::copy_file("/usr/share/mime/packages/freedesktop.org.xml",
                  dir / "share/mime/packages/freedesktop.org.xml");
    fs::copy_file(std::string(VOLUMARK_SOURCE_DIR) + "/resources/volumark-mime.xml",
                  dir / "share/mime/packages/volumark.xml");
    const vmtest::ProcessResult compiled =
        vmtest::RunProcess({"/usr/bin/update-mime-database", dir / "share/mime"});
    ASSERT_EQ(compiled.Status, 0) << compiled.Err;
    ASSERT_TRUE(fs::exists(dir / "share/mime/application/x-volumark-log.xml"));
    setenv("XDG_DATA_DIRS", (dir / "share").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir / "nothing").c_str(), 1);

    QMimeDatabase db;
    auto type = [&db, &dir](const std::string& name, QMimeDatabase::MatchMode mode) {
        return db.mimeTypeForFile(QString::fromStdString(dir / name), mode).name().toStdString();
    };
    EXPECT_EQ(type("Ref0000/Log0002.kdf", QMimeDatabase::MatchDefault),
              "application/x-volumark-log");
    EXPECT_EQ(type("Ref0000/00010002.kcf", QMimeDatabase::MatchDefault),
              "application/x-volumark-comparison");
    EXPECT_EQ(type("monday.bin", QMimeDatabase::MatchContent), "application/x-volumark-log");
    EXPECT_EQ(type("changes.kdf", QMimeDatabase::MatchContent),
              "application/x-volumark-comparison");
    EXPECT_EQ(type("wide.kcf", QMimeDatabase::MatchContent), "application/x-volumark-log");
    EXPECT_EQ(type("wide.kdf", QMimeDatabase::MatchContent), "application/x-volumark-comparison");
    // The program itself, opening a file it is given, tells them the same way.
    EXPECT_EQ(vm::KindOfFile(dir / "wide.kcf"), vm::TFileKind::Log);
    EXPECT_EQ(vm::KindOfFile(dir / "wide.kdf"), vm::TFileKind::Comparison);
    EXPECT_EQ(vm::KindOfFile(dir / "changes.kdf"), vm::TFileKind::Comparison);
    // A comparison of two empty logs is its signature alone: its name tells.
    EXPECT_EQ(type("empty.kcf", QMimeDatabase::MatchDefault), "application/x-volumark-comparison");
    EXPECT_EQ(db.mimeTypeForName("application/x-volumark-log").comment().toStdString(),
              "Volumark log");
}
