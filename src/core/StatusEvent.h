// The progress callbacks of long operations over logs.
#pragma once

#include <functional>
#include <string>

namespace vm {

// Progress of long operations: a status text and a stop flag the handler may set.
using TStatusEvent = std::function<void(const std::string& text, bool& stop)>;
// Lets the user interface process pending messages (called between directories of a scan).
using TMessagePump = std::function<void()>;

} // namespace vm
