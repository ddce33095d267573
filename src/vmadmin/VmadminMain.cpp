// vmadmin: the administration of a Volumark data directory without a display. References,
// paths, logs, comparisons, history and scheduled jobs, over the same logic the windows use.
#include "app/Startup.h"
#include "platform/Registry.h"
#include "platform/Version.h"
#include "references/CommandLineRun.h"
#include "references/DataDirectory.h"
#include "vmadmin/Commands.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

using namespace vm;
using namespace vm::vmadmin;

namespace {

struct TCommand
{
    const char* Noun;
    const char* Verb; // empty for a command of one word
    int (*Run)(TAdmin&, const TArgs&);
    const char* Usage;
    const char* Help;
};

const TCommand kCommands[] = {
    {"ref", "list", RefList, "ref list",
     "the references: name, last log, its size and change, paths"},
    {"ref", "show", RefShow, "ref show REF", "one reference: its paths, logs and comparisons"},
    {"ref", "create", RefCreate, "ref create NAME", "a new reference without paths"},
    {"ref", "rename", RefRename, "ref rename REF NEWNAME", "gives the reference another name"},
    {"ref", "format", RefFormat, "ref format REF exact|extended",
     "the format the reference's next logs take (extended: owners, no 2 GiB limit)"},
    {"ref", "delete", RefDelete, "ref delete REF", "the reference with its logs and comparisons"},
    {"path", "add", PathAdd, "path add REF PATH [--unit N] [--fs NAME] [--yes]",
     "adds a directory to the reference's paths"},
    {"path", "remove", PathRemove, "path remove REF PATH...", "removes paths from the reference"},
    {"path", "set", PathSet, "path set REF PATH [--unit N] [--fs NAME]",
     "sets a path's allocation unit or file system"},
    {"log", "list", LogList, "log list REF", "the logs: size, space taken, date"},
    {"log", "now", LogNow, "log now REF [--compare[=N]] [--keep]",
     "logs the reference as the unattended run does"},
    {"log", "delete", LogDelete, "log delete REF LOG...", "deletes logs"},
    {"compare", "list", CompareList, "compare list REF", "the comparisons: date, growth"},
    {"compare", "run", CompareRun, "compare run REF OLD NEW", "compares two logs"},
    {"compare", "delete", CompareDelete, "compare delete REF OLD NEW", "deletes a comparison"},
    {"history", "", History, "history REF [--last N]", "the reference's logs over time"},
    {"top", "", Top, "top REF OLD NEW [--count N]",
     "the directories that grew and shrank most between two logs"},
    {"job", "list", JobList, "job list", "the logging jobs in the crontab"},
    {"job", "add", JobAdd,
     "job add REF --at HH:MM [--weekdays DAYS] [--days DAYS] [--once] [--compare[=N]] [--keep] "
     "[--program-dir DIR]",
     "schedules a logging job; prints its number"},
    {"job", "delete", JobDelete, "job delete JOB", "deletes a logging job"},
    {"metrics", "", Metrics, "metrics [--dir DIR]", "writes the metrics files of every reference"},
};

const char* const kSynopsis = "Usage: vmadmin [--data DIR] [--json] [--yes] COMMAND ...\n";

std::string UsageText()
{
    std::string text = std::string(kSynopsis) + "\ncommands:\n";
    for (const TCommand& c : kCommands)
        text += std::string("  vmadmin ") + c.Usage + "\n      " + c.Help + "\n";
    text +=
        "\noptions:\n"
        "  --data DIR   the data directory (else $VOLUMARK_DATA, the current directory when it\n"
        "               holds Volumark.ini, the one the windows used last,\n"
        "               $XDG_DATA_HOME/volumark)\n"
        "  --json       JSON on stdout instead of tables (docs/vmadmin_json.md)\n"
        "  --yes        answer Yes to the questions a command meets (paths a new path covers,\n"
        "               a unit the volume does not tell)\n"
        "  --help, -h   this text;  --version  the version\n"
        "\nREF is a reference's name (letter case ignored). Messages go to stderr; a command "
        "that\nsucceeds prints only what it was asked to show.\n\n";
    return text + ExitStatusText() +
           "Status 1 also stands for a name, path or unit the windows refuse, an unknown log or "
           "job,\nand a data directory that could not be changed safely: nothing was changed.\n";
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "vmadmin: %s\n%sTry \"vmadmin --help\".\n", message.c_str(), kSynopsis);
    return kExitArgumentRefused;
}

} // namespace

int main(int argc, char** argv)
{
    TDataOption data = TakeDataOption(TArgs(argv + 1, argv + argc));
    if (!data.Error.empty())
        return UsageError(data.Error);
    // The options of every command, wherever they stand before a "--"; what remains is the
    // command's words, then its own arguments.
    bool json = false, yes = false, help = false, version = false;
    TArgs rest;
    bool optionsEnd = false;
    for (const std::string& a : data.Rest) {
        if (optionsEnd || a == "--") {
            optionsEnd = true;
            rest.push_back(a);
        } else if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--version") {
            version = true;
        } else if (a == "--json") {
            json = true;
        } else if (a == "--yes") {
            yes = true;
        } else {
            rest.push_back(a);
        }
    }
    if (help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (version) {
        std::printf("vmadmin %s\n", kProgramVersion);
        return 0;
    }
    if (rest.empty())
        return UsageError("no command given");
    if (rest[0].size() > 1 && rest[0][0] == '-' && rest[0] != "--")
        return UsageError("unknown option " + rest[0]);

    const TCommand* command = nullptr;
    size_t used = 0;
    for (const TCommand& c : kCommands) {
        if (rest[0] != c.Noun)
            continue;
        if (!*c.Verb) {
            command = &c;
            used = 1;
            break;
        }
        if (rest.size() > 1 && rest[1] == c.Verb) {
            command = &c;
            used = 2;
            break;
        }
    }
    if (!command)
        return UsageError("unknown command \"" + rest[0] + (rest.size() > 1 ? " " + rest[1] : "") +
                          "\"");

    std::error_code ec;
    const TDataDirectoryChoice choice = ChooseDataDirectory(
        data.Directory, std::filesystem::current_path(ec).string(), TRegistry());
    if (!choice.Error.empty())
        return UsageError(choice.Error);

    TRefStore store(choice.Path);
    TAdminUserInterface ui;
    ui.AssumeYes = yes;
    TAdmin admin{store, ui, TLocale::FromEnvironment(), json, RunningProgramPath()};
    try {
        return command->Run(admin, TArgs(rest.begin() + std::ptrdiff_t(used), rest.end()));
    } catch (const EUsage& e) {
        return UsageError(e.what());
    } catch (const std::exception& e) {
        ui.ShowMessage(e.what());
        return kExitArgumentRefused;
    }
}
