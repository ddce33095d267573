// The command line every benchmark shares: its own options, --help and -h (the usage on stdout,
// status 0), --version, and the options of the other benchmarks, which scripts/bench passes to
// every one of them: those are taken with their values and left alone. Any other option, a
// missing value or a number that is not one ends the benchmark with its usage on stderr and
// status 2, before it builds or measures anything. Header only: every .cpp file in bench/ is a
// benchmark program of its own.
#pragma once

#include "platform/Version.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace vmbench {

// One option of a benchmark: its name, the word its value is shown as ("N" asks for a whole
// number; nullptr: a flag that takes no value) and what it does, its default included.
struct TBenchOption
{
    std::string Name;
    const char* Value = nullptr;
    std::string Help;
};

// Every option that some benchmark takes, and whether it takes a value. A new benchmark option
// belongs here too, so that scripts/bench can pass it to all of them.
inline const std::map<std::string, bool>& SuiteOptions()
{
    static const std::map<std::string, bool> options = {
        {"--cache", true},          {"--delay-us", true},     {"--dir", true},
        {"--entries", true},        {"--exports", true},      {"--files", true},
        {"--fuse-entries", true},   {"--keep", false},        {"--log-format", true},
        {"--logs", true},           {"--rows", true},         {"--runs", true},
        {"--writer-entries", true}, {"--writer-only", false},
    };
    return options;
}

struct TBenchArgs
{
    int Exit = -1;        // 0 or more: the benchmark ends at once with this status
    std::string Out, Err; // what it prints then, on stdout and stderr
    std::map<std::string, std::string> Values; // its own options that were given ("" for a flag)

    bool Has(const std::string& name) const { return Values.count(name) > 0; }
    std::string Text(const std::string& name, const std::string& fallback) const
    {
        auto it = Values.find(name);
        return it == Values.end() ? fallback : it->second;
    }
    long long Number(const std::string& name, long long fallback) const
    {
        auto it = Values.find(name);
        return it == Values.end() ? fallback : std::strtoll(it->second.c_str(), nullptr, 10);
    }
};

inline std::string BenchUsage(const std::string& name, const std::string& purpose,
                              const std::vector<TBenchOption>& own)
{
    std::string text = "Usage: " + name + " [OPTION ...]\n" + purpose + "\n\n";
    std::vector<TBenchOption> all = own;
    all.push_back({"-h, --help", nullptr, "show this help and end"});
    all.push_back({"--version", nullptr, "show the version and end"});
    for (const TBenchOption& o : all) {
        std::string head = "  " + o.Name + (o.Value ? std::string(" ") + o.Value : "");
        head.resize(std::max<size_t>(head.size() + 2, 22), ' ');
        text += head + o.Help + "\n";
    }
    return text +
           "\nOptions of the other benchmarks are taken and left alone: scripts/bench passes\n"
           "its arguments to every benchmark.\n";
}

// Parses the benchmark's arguments; Exit tells when it is to end at once.
inline TBenchArgs ParseBenchArgs(int argc, char** argv, const std::string& name,
                                 const std::string& purpose, const std::vector<TBenchOption>& own)
{
    TBenchArgs args;
    auto refuse = [&](const std::string& why) {
        args.Exit = 2;
        args.Err = name + ": " + why + "\n\n" + BenchUsage(name, purpose, own);
        args.Values.clear();
        return args;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            args.Exit = 0;
            args.Out = BenchUsage(name, purpose, own);
            return args;
        }
        if (a == "--version") {
            args.Exit = 0;
            args.Out = name + " " + vm::kProgramVersion + "\n";
            return args;
        }
        const TBenchOption* mine = nullptr;
        for (const TBenchOption& o : own)
            if (o.Name == a)
                mine = &o;
        auto suite = SuiteOptions().find(a);
        if (!mine && suite == SuiteOptions().end())
            return refuse("unknown " + std::string(a[0] == '-' ? "option " : "argument ") + a);
        const bool takesValue = mine ? mine->Value != nullptr : suite->second;
        std::string value;
        if (takesValue) {
            if (i + 1 >= argc)
                return refuse(a + " needs a value");
            value = argv[++i];
        }
        if (!mine)
            continue; // another benchmark's option
        if (mine->Value && std::string(mine->Value) == "N") {
            char* end = nullptr;
            errno = 0;
            const long long n = std::strtoll(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || errno != 0 || n < 0)
                return refuse(a + " wants a whole number, not \"" + value + "\"");
        }
        args.Values[a] = value;
    }
    return args;
}

// The arguments, or the end of the process when help, the version or bad usage ends it.
inline TBenchArgs BenchArgsOrExit(int argc, char** argv, const std::string& name,
                                  const std::string& purpose, const std::vector<TBenchOption>& own)
{
    TBenchArgs args = ParseBenchArgs(argc, argv, name, purpose, own);
    if (args.Exit >= 0) {
        std::fputs(args.Out.c_str(), stdout);
        std::fputs(args.Err.c_str(), stderr);
        std::exit(args.Exit);
    }
    return args;
}

} // namespace vmbench
