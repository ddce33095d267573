#include "references/ProgramOptions.h"

#include "references/CommandLine.h"
#include "references/CommandLineRun.h"

namespace vm {

TProgramOptions CheckProgramOptions(const std::vector<std::string>& arguments)
{
    TProgramOptions options;
    for (const std::string& a : arguments) {
        if (a == "--help" || a == "-h") {
            options.Action = TProgramAction::ShowUsage;
        } else if (a == "--version") {
            options.Action = TProgramAction::ShowVersion;
        } else if (a.size() > 1 && a[0] == '-' && SelectedKeywordCount(a) == 0 &&
                   !IsFileArgument(a)) {
            options.Action = TProgramAction::Refuse;
            options.Refused = a;
        } else {
            continue;
        }
        return options;
    }
    return options;
}

std::string ProgramUsage()
{
    return "Usage: volumark\n"
           "       volumark /Ref=\"NAME\" [/C | /C=NNN] [/K]\n"
           "       volumark /Folder=DIRECTORY\n"
           "       volumark FILE.kdf | FILE.kcf\n"
           "       volumark /? | --help | --version\n"
           "\n"
           "Without arguments Volumark opens its windows. With arguments it runs unattended, as\n"
           "cron starts it. Its data directory is the one --data names, else $VOLUMARK_DATA,\n"
           "else the current directory when it holds Volumark.ini, else the one the windows\n"
           "used last, else $XDG_DATA_HOME/volumark.\n"
           "\n"
           "  /Ref=\"NAME\"     log the reference of that name (letter case ignored)\n"
           "  /C, /C=NNN      then compare the new log with the newest earlier one, or with\n"
           "                  log NNN\n"
           "  /K              before comparing, delete the reference's earlier comparisons\n"
           "  /?              show the command line help, then do what the other arguments ask\n"
           "  /Folder=DIR     scan one folder into memory and show it in an explore window\n"
           "  --data DIR      the data directory, with any of the forms above\n"
           "  FILE            open a log in an explore window or a comparison in a compare\n"
           "                  window: in its reference when the file lies in a data directory\n"
           "                  (which becomes the program's), read only otherwise\n"
           "  -h, --help      show this help and end\n"
           "  --version       show the version and end\n"
           "\"-\" and \"--\" may stand for \"/\" (--ref=\"NAME\" --c).\n"
           "\n" +
           ExitStatusText();
}

} // namespace vm
