// vmlog compare: writes the comparison of two log files. And the comparison half of vmlog dump:
// the header and one line per record of a comparison file, with what is damaged in it.
#include "core/CompareChecks.h"
#include "core/DirCompare.h"
#include "core/FileKind.h"
#include "core/TopChanges.h"
#include "references/CompareRun.h"
#include "references/ResultsMail.h"
#include "vmlog/Commands.h"
#include "vmlog/DumpText.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace vm::vmlog {

namespace {

const char kCompareUsage[] = "usage: vmlog compare OLD.kdf NEW.kdf -o OUT.kcf [--top N]";

const char* ConditionText(uint8_t condition)
{
    switch (condition) {
    case kConditionAdded:
        return "added";
    case kConditionDeleted:
        return "deleted";
    case kConditionBoth:
        return "both";
    default:
        return "condition?";
    }
}

void PrintRecord(int64_t at, const TCompareRecord& r, const std::string& name, bool extended)
{
    std::printf("%lld level %u %s %s %s size %lld was %lld allocated %lld was %lld attributes %s "
                "created %s accessed %s modified %s parent %lld next %lld sibling %lld nextdir "
                "%lld newlog %lld",
                static_cast<long long>(at), r.Level,
                r.Kind == kKindDirectory ? "dir"
                : r.Kind == kKindFile    ? "file"
                                         : "kind?",
                ConditionText(r.Condition), QuotedName(name).c_str(),
                static_cast<long long>(r.SizeNow), static_cast<long long>(r.SizeWas),
                static_cast<long long>(r.AllocNow), static_cast<long long>(r.AllocWas),
                Hex32(r.Attributes).c_str(),
                (extended ? LogTimeText(r.CreatedTime) : DateTimeText(r.Created)).c_str(),
                (extended ? LogTimeText(r.AccessedTime) : DateTimeText(r.Accessed)).c_str(),
                (extended ? LogTimeText(r.ModifiedTime) : DateTimeText(r.Modified)).c_str(),
                static_cast<long long>(r.ParentOffset), static_cast<long long>(r.NextOffset),
                static_cast<long long>(r.NextSiblingOffset),
                static_cast<long long>(r.NextDirOffset), static_cast<long long>(r.NewLogOffset));
    if (extended)
        std::printf(" owner %lld group %lld mode 0%o",
                    r.Owner == kNoOwner ? -1LL : static_cast<long long>(r.Owner),
                    r.Group == kNoOwner ? -1LL : static_cast<long long>(r.Group), r.Mode);
    std::printf("\n");
}

// The directories that grew and shrank most, read back from the comparison just written.
int PrintTopChanges(const std::string& comparisonFile, size_t count)
{
    TFileStream stream(comparisonFile, TFileMode::OpenRead);
    TDirCompare comparison(stream);
    const TTopChanges top = FindTopChanges(comparison, count);
    const TLocale locale = TLocale::FromEnvironment();
    auto print = [&](const char* heading, const std::vector<TDirectoryChange>& list) {
        std::printf("%s\n", heading);
        if (list.empty())
            std::printf("  (none)\n");
        for (const TDirectoryChange& d : list)
            std::printf("  %s\n", DirectoryChangeText(d, locale).c_str());
    };
    print("Directories that grew most:", top.Grew);
    print("Directories that shrank most:", top.Shrank);
    std::fflush(stdout);
    if (!top.Damage.empty())
        return Fail(comparisonFile + " is damaged: " + top.Damage);
    return kExitOk;
}

} // namespace

int CompareCommand(const TArgs& args)
{
    std::vector<std::string> logs;
    std::string output;
    std::optional<size_t> top;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--top" || a.rfind("--top=", 0) == 0) {
            std::string value;
            if (a == "--top") {
                if (i + 1 == args.size())
                    return Fail("--top needs a number", kExitUsage);
                value = args[++i];
            } else {
                value = a.substr(6);
            }
            top = ParseTopCount(value);
            if (!top)
                return Fail("--top needs a whole number from 1 to 1000000, not \"" + value + "\"",
                            kExitUsage);
        } else if (a == "-o") {
            if (i + 1 == args.size())
                return Fail("-o needs a value", kExitUsage);
            output = args[++i];
        } else if (a.rfind("--output=", 0) == 0) {
            output = a.substr(9);
        } else if (a.size() > 1 && a[0] == '-') {
            return Fail("unknown option " + a + "; " + kCompareUsage, kExitUsage);
        } else {
            logs.push_back(a);
        }
    }
    if (logs.size() != 2)
        return Fail(std::string("two logs are needed, the old one first; ") + kCompareUsage,
                    kExitUsage);
    if (output.empty())
        return Fail(std::string("no comparison file given (-o FILE); ") + kCompareUsage,
                    kExitUsage);
    // A failed comparison leaves no file behind (and an earlier one of that name as it was).
    try {
        TPosixFileSystem fs;
        CompareLogFiles(fs, logs[0], logs[1], output);
        return top ? PrintTopChanges(output, *top) : kExitOk;
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}

// A comparison has its first record at 14: the word at 14 is a record length (83 or more) and
// the four bytes at 16 that record's own offset, 14. A log has its header extension length there
// (24 as written, never more than 24 as read). The extension decides only what the content
// leaves open (a file too short to tell, or damaged there).
bool IsComparisonFile(const std::string& path)
{
    return KindOfFile(path) == TFileKind::Comparison;
}

int DumpCompareFile(const std::string& file)
{
    TFileStream stream(file, TFileMode::OpenRead);
    TDirCompare comparison(stream);
    const int64_t size = comparison.FileSize();
    uint8_t signature[kCompareHeaderSize] = {};
    const int64_t got = stream.Read(signature, kCompareHeaderSize);
    const bool extended = comparison.Format() == TLogFormat::Extended;
    const int64_t first = comparison.FirstOffset();
    std::printf("comparison %s\n", QuotedName(file).c_str());
    std::printf("signature %s\n",
                QuotedName(std::string(reinterpret_cast<char*>(signature), got)).c_str());
    if (extended)
        std::printf("format extended, ");
    std::printf("version %d\n", comparison.GetFileVersion());
    std::printf("file size %lld\n", static_cast<long long>(size));
    int damaged = 0;
    int64_t records = 0;
    TCompareWalkEnd end = WalkRecords(comparison, [&](int64_t at, const TCompareRecord& r,
                                                      const std::string& name) {
        PrintRecord(at, r, name, extended);
        ++records;
        const std::string fault = CheckCompareRecordLinks(at, r, size, first);
        if (!fault.empty()) {
            std::printf("damaged: record %lld: %s\n", static_cast<long long>(at), fault.c_str());
            ++damaged;
        }
        return true;
    });
    if (size < first)
        end.Damage = "the file is shorter than the " + std::to_string(first) + "-byte header";
    if (!end.Damage.empty()) {
        std::printf("damaged: %s\n", end.Damage.c_str());
        ++damaged;
    }
    std::printf("records %lld\n", static_cast<long long>(records));
    std::fflush(stdout);
    if (damaged > 0)
        return Fail(file + " is damaged (" + std::to_string(damaged) + " faults shown above)");
    return kExitOk;
}

} // namespace vm::vmlog
