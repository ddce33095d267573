// Feeds arbitrary bytes to the log reader as the explore window, the comparison and the reference
// store's repair would use it: every walk (file order, roots, children, directories, tagged),
// full paths and their lookup, tags and tag names, and the tag changes that follow the tagged
// chain. Every input is read twice: as it is, and with the extended format's signature in place
// of its first 14 bytes, so that both formats' readers see every input. No input may crash a
// reader, read outside the bytes, or make a walk loop.
#include "core/DirStorage.h"
#include "core/ExtendedLogFormat.h"
#include "core/LogChecks.h"
#include "core/LogWalk.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace vm;

namespace {

// Whole-file work per record is quadratic; a few records show every path through the code.
constexpr int kDeepLooks = 32;

void Drain(TLogWalk walk)
{
    TDirNode node;
    std::string name;
    while (walk.Next(node, name))
        walk.Damage().Text();
    walk.Damage().Text();
}

void ReadTagNames(TDirStorage& log)
{
    std::string name;
    for (int n = 0; n <= 34; ++n)
        log.GetTagName(n, name);
    log.GetTagMask();
    log.GetDeletedTotal();
    log.HasTagList();
    log.GetLogDate();
}

void ReadLog(std::vector<uint8_t> bytes)
{
    TMemoryStream stream(std::move(bytes));
    TDirStorage log(stream);
    ReadTagNames(log);

    std::vector<int64_t> offsets;
    TDirNode node;
    std::string name;
    for (TLogWalk all = TLogWalk::AllRecords(log); all.Next(node, name);) {
        offsets.push_back(all.Offset());
        TLogRecord record;
        log.ReadRecord(all.Offset(), record, name);
        CheckRecordLinks(record, log.FirstOffset(), log.StreamSize());
    }
    Drain(TLogWalk::Roots(log));
    Drain(TLogWalk::Directories(log));
    Drain(TLogWalk::Tagged(log));
    for (size_t i = 0; i < offsets.size() && i < kDeepLooks; ++i) {
        int64_t at = offsets[i];
        std::string path = log.GetFullPath(at);
        log.FindPath(path);
        log.FindPath(path + "/x");
        Drain(TLogWalk::Children(log, at));
        Drain(TLogWalk::Subtree(log, at));
        Drain(TLogWalk::Ancestors(log, at));
        log.ReadTags(at);
    }
    // Changes land in the memory copy: the chain operations must not write outside records or
    // loop on a damaged chain.
    for (size_t i = 0; i < offsets.size() && i < 4; ++i) {
        log.ToggleTag(offsets[i], static_cast<int>(i));
        log.SetTag(offsets[offsets.size() - 1 - i], 30);
    }
    if (!offsets.empty())
        log.ClearTag(offsets[0], 0);
    Drain(TLogWalk::Tagged(log));
    log.SetTagName(3, "fuzz");
    log.SetTagMask(7);
    log.AddDeletedTotal(1);
    ReadTagNames(log);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    ReadLog(bytes);
    if (bytes.size() >= kSignatureLength) {
        std::memcpy(bytes.data(), kExtendedLogSignature, kSignatureLength - 1);
        bytes[kSignatureLength - 1] = 0x1A;
        ReadLog(std::move(bytes));
    }
    return 0;
}
