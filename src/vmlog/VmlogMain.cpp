// vmlog: the log tool for administrators and scripts.
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
};

const TCommand kCommands[] = {
    {"scan", ScanCommand, "vmlog scan [--threads N] [--unit N] PATH [[--unit N] PATH ...] -o FILE"},
    {"dump", DumpCommand, "vmlog dump FILE"},
    {"compare", CompareCommand, "vmlog compare OLD.kdf NEW.kdf -o OUT.kcf [--top N]"},
    {"export", ExportCommand, "vmlog export FILE [--format csv|json|jsonl] [-o OUT]"},
};

int Usage()
{
    std::fputs("usage:\n", stderr);
    for (const TCommand& c : kCommands)
        std::fprintf(stderr, "  %s\n", c.Usage);
    return kExitUsage;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    for (const TCommand& c : kCommands) {
        if (std::strcmp(argv[1], c.Name) != 0)
            continue;
        try {
            return c.Run(TArgs(argv + 2, argv + argc));
        } catch (const std::exception& e) {
            return Fail(e.what());
        }
    }
    std::fprintf(stderr, "vmlog: unknown command \"%s\"\n", argv[1]);
    return Usage();
}
