// vmlog: the log tool for administrators and scripts.
#include "platform/Version.h"
#include "vmlog/Commands.h"

#include <cstdio>
#include <cstring>
#include <exception>

using namespace vm::vmlog;

namespace {
struct TCommand
{
    const char* Name;
    int (*Run)(const TArgs&);
    const char* Usage;
    const char* Purpose;
};

const TCommand kCommands[] = {
    {"scan", ScanCommand,
     "vmlog scan [--format exact|extended] [--threads N] [--unit N] PATH [[--unit N] PATH ...] "
     "-o FILE",
     "Scans directory trees into a new log"},
    {"dump", DumpCommand, "vmlog dump FILE", "Prints every record of a log or a comparison"},
    {"compare", CompareCommand, "vmlog compare OLD.kdf NEW.kdf -o OUT.kcf [--top N]",
     "Writes the comparison of two logs"},
    {"export", ExportCommand, "vmlog export FILE [--format csv|json|jsonl] [-o OUT]",
     "Writes every entry of a log or a comparison as CSV or JSON"},
    {"report", ReportCommand,
     "vmlog report FILE [--by type|age|owner|largest] [--top N] [--format text|csv|json]",
     "Sums up a log's space by type, age, owner and size, or a comparison's change"},
};

const char kExitStatuses[] = "Exit status: 0 done, 1 failed (the reason on stderr), 2 bad usage.\n";

bool IsHelp(const char* argument)
{
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

void PrintUsage(std::FILE* out)
{
    std::fputs("Usage: vmlog COMMAND [ARGUMENTS]\n"
               "Reads and writes Volumark logs and comparisons.\n\n",
               out);
    for (const TCommand& c : kCommands)
        std::fprintf(out, "  %s\n      %s\n", c.Usage, c.Purpose);
    std::fprintf(out,
                 "  vmlog COMMAND --help\n      Shows the usage of one command\n"
                 "  vmlog --version\n      Shows the version\n\n%s",
                 kExitStatuses);
}

int Usage()
{
    PrintUsage(stderr);
    return kExitUsage;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    if (IsHelp(argv[1])) {
        PrintUsage(stdout);
        return kExitOk;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("vmlog %s\n", vm::kProgramVersion);
        return kExitOk;
    }
    for (const TCommand& c : kCommands) {
        if (std::strcmp(argv[1], c.Name) != 0)
            continue;
        for (int i = 2; i < argc; ++i)
            if (IsHelp(argv[i])) {
                std::printf("Usage: %s\n%s.\n\n%s", c.Usage, c.Purpose, kExitStatuses);
                return kExitOk;
            }
        try {
            return c.Run(TArgs(argv + 2, argv + argc));
        } catch (const std::exception& e) {
            return Fail(e.what());
        }
    }
    std::fprintf(stderr, "vmlog: unknown %s \"%s\"\n", argv[1][0] == '-' ? "option" : "command",
                 argv[1]);
    return Usage();
}
