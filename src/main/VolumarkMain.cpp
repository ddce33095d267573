// The program's entry: without arguments the windows, with arguments the unattended command
// line. The current directory is the data directory.
#include "app/Startup.h"
#include "main/Unattended.h"

#ifdef VOLUMARK_GUI
#include "app/QtInteractive.h"
#endif

#include <cstdio>

int main(int argc, char** argv)
{
    vm::TAppContext context = vm::MakeAppContext(argc, argv);
    // The reference store repairs itself before anything else reads it.
    vm::PrepareReferenceStore(context);
    if (!context.Arguments.empty())
        return vm::RunUnattended(context);
#ifdef VOLUMARK_GUI
    if (!vm::DisplayAvailable()) {
        std::fprintf(stderr, "%s\n", vm::kNeedsDisplayMessage);
        return 1;
    }
    return vm::RunInteractive(context, argc, argv);
#else
    std::fprintf(stderr, "Volumark: this build has no windows; give command-line arguments.\n");
    return 1;
#endif
}
