#include "support/CompareTestTrees.h"

#include "core/LogWriter.h"
#include "core/NameOrder.h"

#include <algorithm>

namespace vmtest {

using namespace vm;

TestEntry File(const std::string& name, int64_t size, int64_t modifiedSeconds)
{
    TestEntry e;
    e.Name = name;
    e.Size = size;
    e.ModifiedSeconds = modifiedSeconds;
    return e;
}

TestEntry Dir(const std::string& name, std::vector<TestEntry> entries)
{
    TestEntry e;
    e.Name = name;
    e.Directory = true;
    e.Entries = std::move(entries);
    return e;
}

namespace {

std::vector<const TestEntry*> Sorted(const std::vector<TestEntry>& entries)
{
    std::vector<const TestEntry*> sorted;
    for (const TestEntry& e : entries)
        sorted.push_back(&e);
    std::sort(sorted.begin(), sorted.end(),
              [](const TestEntry* a, const TestEntry* b) { return NameLess(a->Name, b->Name); });
    return sorted;
}

void WriteEntries(const std::vector<TestEntry>& entries, TLogWriter& writer)
{
    for (const TestEntry* e : Sorted(entries)) {
        TFileInfo info;
        info.Name = e->Name;
        info.Attributes = (e->Directory ? faDirectory : faNormal) | e->ExtraAttributes;
        info.Size = e->Directory ? 4096 : e->Size;
        info.OnDisk = info.Size;
        info.Created.LocalSeconds = e->ModifiedSeconds;
        info.Accessed.LocalSeconds = e->ModifiedSeconds;
        info.Modified.LocalSeconds = e->ModifiedSeconds;
        info.Created.UnixSeconds = info.Accessed.UnixSeconds = info.Modified.UnixSeconds =
            e->ModifiedSeconds;
        writer.Entry(info, false);
        if (e->Directory) {
            WriteEntries(e->Entries, writer);
            writer.EndDirectory();
        }
    }
}

PathFacts Flatten(const std::vector<TestEntry>& entries, const std::string& path, int32_t unit,
                  std::map<std::string, PathFacts>& out)
{
    PathFacts total;
    total.Directory = true;
    for (const TestEntry& e : entries) {
        const std::string full = path + "/" + e.Name;
        PathFacts facts;
        if (e.Directory) {
            facts = Flatten(e.Entries, full, unit, out);
            facts.Allocated += unit;
        } else {
            facts.Size = e.Size;
            facts.Allocated = unit > 0 && e.Size % unit ? e.Size + unit - e.Size % unit : e.Size;
        }
        out.emplace(full, facts);
        total.Size += facts.Size;
        total.Allocated += facts.Allocated;
    }
    return total;
}

} // namespace

void WriteTestLog(const TestTree& tree, TStream& stream, double logDate, TLogFormat format)
{
    TLogWriter writer(stream, logDate, format);
    writer.SetClock([logDate] { return logDate; });
    for (const TestRoot& root : tree) {
        writer.BeginRoot(root.Path, root.Unit);
        WriteEntries(root.Entries, writer);
        writer.EndDirectory();
    }
    writer.Finish();
}

std::vector<uint8_t> TestLogBytes(const TestTree& tree)
{
    TMemoryStream stream;
    WriteTestLog(tree, stream);
    return stream.Bytes();
}

std::map<std::string, PathFacts> FlattenTree(const TestTree& tree)
{
    std::map<std::string, PathFacts> out;
    for (const TestRoot& root : tree) {
        std::string path = root.Path.substr(0, root.Path.size() - 1);
        out.emplace(path.empty() ? "/" : path, Flatten(root.Entries, path, root.Unit, out));
    }
    return out;
}

} // namespace vmtest
