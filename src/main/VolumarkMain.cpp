// The program's entry: without arguments the windows, with arguments the unattended command
// line (in the windows' status window and message boxes when a display is there, on the console
// otherwise). The data directory is chosen as references/DataDirectory.h says, unless a log or
// comparison to open lies in another one; the windows keep it as the one to open next time.
// --help, --version and unknown options are answered first.
#include "app/Startup.h"
#include "main/Unattended.h"
#include "platform/Registry.h"
#include "platform/Scheduler.h"
#include "references/CommandLineRun.h"
#include "references/DataDirectory.h"

#ifdef VOLUMARK_GUI
#include "app/MainForm.h"
#include "app/QtInteractive.h"
#include "app/StatusForm.h"
#include "platform/QtUserInterface.h"
#endif

#include <cstdio>

namespace {

#ifdef VOLUMARK_GUI
// A command-line start with a display: no splash, the run once the windows exist, and the
// message loop only when a folder log is showing.
int RunWithWindows(vm::TAppContext& context, int& argc, char** argv)
{
    vm::TInteractiveStart start;
    start.Splash = false;
    start.Action = [&context](vm::TInteractiveWindows& windows) -> std::optional<int> {
        windows.Status->SetWindowButtons(true);
        vm::TMDIParent* frame = windows.Main.get();
        vm::TWindowHooks hooks;
        hooks.DisplayStreamLog = [frame](std::unique_ptr<vm::TMemoryStream> log) {
            frame->DisplayStreamLog(std::move(log));
            return true;
        };
        hooks.OpenFile = [frame](const vm::TFilePlace& place) { frame->OpenFile(place); };
        vm::TUnattendedResult result =
            vm::RunCommandLineWith(context, *context.UI, false, std::move(hooks));
        if (result.KeepWindows)
            return std::nullopt;
        return result.Status;
    };
    return vm::RunInteractive(context, argc, argv, start);
}
#endif

} // namespace

int main(int argc, char** argv)
{
    // --data DIR names the data directory: it is no option to answer or refuse.
    if (std::optional<int> status =
            vm::AnswerProgramOptions(vm::TakeDataOption({argv + 1, argv + argc}).Rest))
        return *status;
    vm::TAppContext context = vm::MakeAppContext(argc, argv);
    if (!context.DataDirectoryError.empty()) {
        std::fprintf(stderr, "Volumark: %s\n", context.DataDirectoryError.c_str());
        return vm::kExitArgumentRefused;
    }
    vm::AdoptDataDirectoryOfFiles(context);
    // A job that was to run once retires its crontab line before it runs, so it runs only once.
    if (std::string problem = vm::RetireRunOnceJobOfEnvironment(); !problem.empty())
        std::fprintf(stderr, "Volumark: %s\n", problem.c_str());
    // The reference store repairs itself before anything else reads it.
    vm::PrepareReferenceStore(context);
#ifdef VOLUMARK_GUI
    // The windows cannot list references from a Volumark.ini that cannot be read: they do not
    // start. (An unattended run says so itself when it needs the references.)
    if (const std::string problem = vm::ReferenceStoreProblem(context);
        !problem.empty() && vm::DisplayAvailable())
        return vm::ShowStartRefusal(argc, argv, problem, vm::kExitNotLogged);
    if (!context.Arguments.empty())
        return vm::DisplayAvailable() ? RunWithWindows(context, argc, argv)
                                      : vm::RunUnattended(context);
    if (!vm::DisplayAvailable()) {
        std::fprintf(stderr, "%s\n", vm::kNeedsDisplayMessage);
        return 1;
    }
    try {
        vm::TRegistry settings;
        vm::RememberDataDirectory(settings, context.DataDirectory);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Volumark: the data directory is not kept for next time: %s\n",
                     e.what());
    }
    return vm::RunInteractive(context, argc, argv);
#else
    if (!context.Arguments.empty())
        return vm::RunUnattended(context);
    std::fprintf(stderr, "Volumark: this build has no windows; give command-line arguments.\n");
    return 1;
#endif
}
