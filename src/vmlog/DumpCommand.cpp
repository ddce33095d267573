// vmlog dump: the header, one line per record in file order and the tag names of a log. A
// damaged log shows what can be read and says where it is damaged (exit status 1).
#include "core/DirStorage.h"
#include "core/LogChecks.h"
#include "core/LogWalk.h"
#include "vmlog/Commands.h"
#include "vmlog/DumpText.h"

#include <cstdio>
#include <cstring>

namespace vm::vmlog {

namespace {
void PrintHeader(TDirStorage& log, const std::string& file)
{
    const TLogHeader& h = log.Header();
    std::string signature(reinterpret_cast<const char*>(h.Signature.data()), h.Signature.size());
    std::printf("log %s\n", QuotedName(file).c_str());
    std::printf("signature %s\n", QuotedName(signature).c_str());
    if (log.Format() == TLogFormat::Extended) {
        std::printf("format extended, version %u\n", log.ExtendedVersion());
        std::printf("owners %s\n", log.HasOwners() ? "recorded" : "not recorded");
        std::printf("log date %s\n", LogTimeText(log.LogTime()).c_str());
        std::printf("record count %lld\n", static_cast<long long>(log.RecordCount()));
    } else {
        std::printf("extension length %u\n", h.ExtensionLength);
        std::printf("log date %s\n", DateTimeText(h.LogDate).c_str());
    }
    std::printf("tag list offset %lld\n", static_cast<long long>(h.TagListOffset));
    std::printf("tag mask %s\n", Hex32(h.TagMask).c_str());
    std::printf("deleted total %lld\n", static_cast<long long>(h.DeletedTotal));
    std::printf("first record %lld\n", static_cast<long long>(log.FirstOffset()));
    std::printf("file size %lld\n", static_cast<long long>(log.StreamSize()));
}

// One line per record; an extended log's records also show their owner, group and mode.
void PrintRecord(const TLogRecord& r, const std::string& name, bool owners)
{
    std::printf("%lld level %u %s %s size %lld allocated %lld attributes %s created %s accessed %s "
                "modified %s parent %lld next %lld sibling %lld nextdir %lld nexttagged %lld "
                "prevtagged %lld tags %s",
                static_cast<long long>(r.SelfOffset), r.Level,
                r.Kind == kKindDirectory ? "dir"
                : r.Kind == kKindFile    ? "file"
                                         : "kind?",
                QuotedName(name).c_str(), static_cast<long long>(r.Size),
                static_cast<long long>(r.Allocated), Hex32(r.Attributes).c_str(),
                LogTimeText(r.CreatedTime).c_str(), LogTimeText(r.AccessedTime).c_str(),
                LogTimeText(r.ModifiedTime).c_str(), static_cast<long long>(r.ParentOffset),
                static_cast<long long>(r.NextOffset), static_cast<long long>(r.NextSiblingOffset),
                static_cast<long long>(r.NextDirOffset), static_cast<long long>(r.NextTaggedOffset),
                static_cast<long long>(r.PrevTaggedOffset), Hex32(r.Tags).c_str());
    if (owners)
        std::printf(" owner %lld group %lld mode 0%o",
                    r.Owner == kNoOwner ? -1LL : static_cast<long long>(r.Owner),
                    r.Group == kNoOwner ? -1LL : static_cast<long long>(r.Group), r.Mode);
    std::printf("\n");
}

// Prints the records in file order; returns how many damage lines it printed.
int PrintRecords(TDirStorage& log)
{
    int damaged = 0;
    int64_t end = log.FirstOffset();
    TLogWalk walk = TLogWalk::AllRecords(log);
    TDirNode node;
    std::string name;
    while (walk.Next(node, name)) {
        TLogRecord r;
        log.ReadRecord(walk.Offset(), r, name);
        PrintRecord(r, name, log.Format() == TLogFormat::Extended);
        std::string fault = CheckRecordLinks(r, log.FirstOffset(), log.StreamSize());
        if (!fault.empty()) {
            std::printf("damaged: record %lld: %s\n", static_cast<long long>(walk.Offset()),
                        fault.c_str());
            ++damaged;
        }
        end = walk.Offset() + r.RecordLength;
    }
    if (walk.Damage().Found()) {
        std::printf("damaged: %s\n", walk.Damage().Text().c_str());
        ++damaged;
    } else if (log.HasTagList() && end != log.Header().TagListOffset) {
        std::printf("damaged: the records end at %lld but the tag list starts at %lld\n",
                    static_cast<long long>(end),
                    static_cast<long long>(log.Header().TagListOffset));
        ++damaged;
    }
    return damaged;
}
} // namespace

int DumpCommand(const TArgs& args)
{
    if (args.size() != 1)
        return Fail("usage: vmlog dump FILE", kExitUsage);
    const std::string& file = args[0];
    if (IsComparisonFile(file))
        return DumpCompareFile(file);
    TFileStream stream(file, TFileMode::OpenRead);
    if (!IsLogFile(stream))
        return Fail(file + " is not a log (it does not begin with the log signature)");
    TDirStorage log(stream);
    PrintHeader(log, file);
    int damaged = PrintRecords(log);
    std::printf("tag names %d\n", log.TagNameCount());
    std::string tag;
    for (int n = 1; log.GetTagName(n, tag); ++n)
        std::printf("tag %d %s\n", n, QuotedName(tag).c_str());
    std::fflush(stdout);
    if (damaged > 0)
        return Fail(file + " is damaged (" + std::to_string(damaged) + " faults shown above)");
    return kExitOk;
}

} // namespace vm::vmlog
