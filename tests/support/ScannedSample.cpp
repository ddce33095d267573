#include "support/ScannedSample.h"

#include "core/DirStorage.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"
#include "references/CompareRun.h"

#include <filesystem>
#include <stdexcept>

namespace vmtest {

namespace {

void Scan(const std::string& tree, const std::string& path)
{
    vm::TFileStream file(path, vm::TFileMode::Create);
    vm::TDirStorage log(file);
    log.BuildLog({{tree, 4096}});
    file.Flush();
}

} // namespace

ScannedSample WriteScannedSample(const TempDir& dir)
{
    ScannedSample s{dir / "tree/", dir / "old.kdf", dir / "new.kdf", dir / "changes.kcf"};
    for (const char* d : {"tree", "tree/docs", "tree/photos", "tree/src"})
        dir.MakeDir(d);
    dir.WriteFile("tree/big.tar", std::string(200000, 'a'));
    dir.WriteFile("tree/docs/notes.txt", std::string(100, 'n'));
    dir.WriteFile("tree/docs/report.pdf", std::string(50000, 'r'));
    dir.WriteFile("tree/photos/a.jpg", std::string(10000, 'j'));
    dir.WriteFile("tree/photos/b.jpg", std::string(3000, 'j'));
    dir.WriteFile("tree/src/main.cpp", std::string(2000, 'c'));
    Scan(s.Tree, s.OldLog);
    dir.WriteFile("tree/big.tar", std::string(5000, 'a'));
    std::filesystem::remove(dir / "tree/docs/notes.txt");
    dir.WriteFile("tree/photos/c.jpg", std::string(400000, 'j'));
    Scan(s.Tree, s.NewLog);
    vm::TPosixFileSystem fs;
    if (vm::CompareLogFiles(fs, s.OldLog, s.NewLog, s.Comparison).Path.empty())
        throw std::runtime_error("the sample's logs could not be compared");
    return s;
}

} // namespace vmtest
