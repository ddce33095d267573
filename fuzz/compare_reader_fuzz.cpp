// Feeds arbitrary bytes to the comparison reader as a compare window would walk them: every record
// in file order, its full path, its directory's entries by the sibling links, and the directory
// chain. The two halves of the input also go in as an old and a new log, so that the comparison
// of damaged logs is walked too. Every input is read a second time with the extended formats'
// signatures in place of the first 14 bytes (of the comparison and of both logs), so that both
// formats' readers and writers see it. No input may crash a walk or make it loop.
#include "core/DirCompare.h"
#include "core/ExtendedLogFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace vm;

namespace {

void WalkEntries(TDirCompare& file, int64_t directory, const TCompareRecord& record)
{
    TCompareRecord r;
    std::string name;
    for (int64_t at = file.FirstEntry(directory, record); at != kNoOffset;
         at = file.ForwardLink(at, r.NextSiblingOffset)) {
        if (!file.ReadRecord(at, r, name))
            break;
    }
}

void WalkDirectoryChain(TDirCompare& file)
{
    TCompareRecord r;
    std::string name;
    for (int64_t at = file.FirstOffset(); at != kNoOffset;
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
    WalkRecords(file, [&](int64_t at, const TCompareRecord& r, const std::string&) {
        file.GetFullPath(at);
        // The entry walk is quadratic over a whole file: a few directories are enough.
        if (r.Kind == kKindDirectory && directories++ < 64)
            WalkEntries(file, at, r);
        return true;
    });
    WalkDirectoryChain(file);
}

// Replaces the first 14 bytes with the signature given (13 characters and 0x1A).
std::vector<uint8_t> Signed(std::vector<uint8_t> bytes, const char* signature)
{
    if (bytes.size() >= kSignatureLength) {
        std::memcpy(bytes.data(), signature, kSignatureLength - 1);
        bytes[kSignatureLength - 1] = 0x1A;
    }
    return bytes;
}

void Read(std::vector<uint8_t> comparisonBytes, std::vector<uint8_t> oldBytes,
          std::vector<uint8_t> newBytes)
{
    TMemoryStream comparison(std::move(comparisonBytes));
    WalkComparison(comparison);

    TMemoryStream oldStream(std::move(oldBytes));
    TMemoryStream newStream(std::move(newBytes));
    TDirStorage oldLog(oldStream), newLog(newStream);
    TMemoryStream written;
    TDirCompare writer(written);
    writer.CompareLogs(oldLog, newLog);
    WalkComparison(written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> all(data, data + size);
    std::vector<uint8_t> oldBytes(data, data + size / 2), newBytes(data + size / 2, data + size);
    Read(all, oldBytes, newBytes);
    Read(Signed(all, kExtendedCompareSignature), Signed(oldBytes, kExtendedLogSignature),
         Signed(newBytes, kExtendedLogSignature));
    return 0;
}
