// Feeds arbitrary bytes to the comparison reader as a compare window would walk them: every record
// in file order, its full path, its directory's entries by the sibling links, and the directory
// chain. The two halves of the input also go in as an old and a new log, so that the comparison
// of damaged logs is walked too. No input may crash a walk or make it loop.
#include "core/DirCompare.h"

#include <cstddef>
#include <cstdint>

using namespace vm;

namespace {

void WalkEntries(TDirCompare& file, int32_t directory, const TCompareRecord& record)
{
    TCompareRecord r;
    std::string name;
    for (int32_t at = file.FirstEntry(directory, record); at != kNoOffset;
         at = file.ForwardLink(at, r.NextSiblingOffset)) {
        if (!file.ReadRecord(at, r, name))
            break;
    }
}

void WalkDirectoryChain(TDirCompare& file)
{
    TCompareRecord r;
    std::string name;
    for (int32_t at = kCompareFirstOffset; at != kNoOffset;
         at = file.ForwardLink(at, r.NextDirOffset)) {
        if (!file.ReadRecord(at, r, name))
            break;
        file.GetFullPath(at);
    }
}

void WalkComparison(TMemoryStream& stream)
{
    TDirCompare file(stream);
    file.GetFileVersion();
    int directories = 0;
    WalkRecords(file, [&](int32_t at, const TCompareRecord& r, const std::string&) {
        file.GetFullPath(at);
        // The entry walk is quadratic over a whole file: a few directories are enough.
        if (r.Kind == kKindDirectory && directories++ < 64)
            WalkEntries(file, at, r);
        return true;
    });
    WalkDirectoryChain(file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream comparison(std::vector<uint8_t>(data, data + size));
    WalkComparison(comparison);

    TMemoryStream oldStream(std::vector<uint8_t>(data, data + size / 2));
    TMemoryStream newStream(std::vector<uint8_t>(data + size / 2, data + size));
    TDirStorage oldLog(oldStream), newLog(newStream);
    TMemoryStream written;
    TDirCompare writer(written);
    writer.CompareLogs(oldLog, newLog);
    WalkComparison(written);
    return 0;
}
