// The unattended run of the program: arguments given, the command line decides what to do.
#pragma once

#include "app/AppContext.h"

namespace vm {

// Repairs the reference store of the data directory; a failure is reported on stderr and the
// program goes on (the references can still be read).
void PrepareReferenceStore(const TAppContext& context);

// Parses the arguments and performs the run with the console user interface; returns the exit
// status.
int RunUnattended(TAppContext& context);

} // namespace vm
