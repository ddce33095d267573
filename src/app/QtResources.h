// The pictures and help pages built into the program (resources/volumark.qrc).
#pragma once

namespace vm {

// Registers the built-in resources; safe to call more than once. The windows that use them call
// it, because a static library's resources are not registered by themselves.
void InitResources();

} // namespace vm
