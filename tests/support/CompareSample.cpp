#include "support/CompareSample.h"

#include "core/DirStorage.h"
#include "references/CompareRun.h"
#include "references/RefStore.h"

namespace vmtest {

using namespace vm;

namespace {
void WriteLogFile(const TestTree& tree, const std::string& path, TLogFormat format)
{
    TMemoryStream stream;
    WriteTestLog(tree, stream, 45000.0, format);
    {
        TDirStorage log(stream);
        const std::vector<std::string> names = DefaultTagNames();
        for (size_t i = 0; i < names.size(); ++i)
            log.SetTagName(int(i) + 1, names[i]);
    }
    stream.SaveToFile(path);
}
} // namespace

CompareSamplePaths WriteCompareSample(const TempDir& dir, const TestTree& oldTree,
                                      const TestTree& newTree, int oldLog, int newLog,
                                      TLogFormat newFormat)
{
    dir.WriteFile("Volumark.ini", "[Ref0001]\nName=Home\nNextLogNo=" + std::to_string(newLog + 1) +
                                      "\nPath0=/data/\n");
    dir.MakeDir("Ref0001");
    const TRefStore store(dir.Path());
    CompareSamplePaths paths{store.LogFileName(1, oldLog), store.LogFileName(1, newLog),
                             store.CompFileName(1, oldLog, newLog)};
    WriteLogFile(oldTree, paths.OldLog, TLogFormat::Exact);
    WriteLogFile(newTree, paths.NewLog, newFormat);
    TPosixFileSystem fs;
    CompareLogFiles(fs, paths.OldLog, paths.NewLog, paths.Comparison);
    return paths;
}

TestTree SampleOldTree()
{
    return {
        {"/data/",
         4096,
         {Dir("docs", {File("a.txt", 10000), File("b.txt", 5000)}), Dir("empty"),
          Dir("gone", {File("x.bin", 8000)}), File("same.txt", 4096), File("shrink.dat", 20000)}}};
}

TestTree SampleNewTree()
{
    return {
        {"/data/",
         4096,
         {Dir("added", {File("y", 1)}),
          Dir("docs",
              {File("a.txt", 30000), File("b.txt", 5000), File("c.txt", 100), File("new.txt", 0)}),
          Dir("empty", {File("f.txt", 9000)}), File("same.txt", 4096), File("shrink.dat", 1000)}}};
}

} // namespace vmtest
