// Feeds arbitrary bytes to the log reader as the explore window, the comparison and the reference
// store's repair would use it: every walk (file order, roots, children, directories, tagged),
// full paths and their lookup, tags and tag names, and the tag changes that follow the tagged
// chain. No input may crash a reader, read outside the bytes, or make a walk loop.
#include "core/DirStorage.h"
#include "core/LogChecks.h"
#include "core/LogWalk.h"

#include <cstddef>
#include <cstdint>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    TDirStorage log(stream);
    ReadTagNames(log);

    std::vector<int32_t> offsets;
    TDirNode node;
    std::string name;
    for (TLogWalk all = TLogWalk::AllRecords(log); all.Next(node, name);) {
        offsets.push_back(all.Offset());
        TRecordFixed fixed;
        log.ReadRecord(all.Offset(), fixed, name);
        CheckRecordLinks(fixed, log.FirstOffset(), log.StreamSize());
    }
    Drain(TLogWalk::Roots(log));
    Drain(TLogWalk::Directories(log));
    Drain(TLogWalk::Tagged(log));
    for (size_t i = 0; i < offsets.size() && i < kDeepLooks; ++i) {
        int32_t at = offsets[i];
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
    return 0;
}
