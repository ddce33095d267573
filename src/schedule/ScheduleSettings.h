// The scheduler dialogs' settings in the settings store: the computer last used and the
// program location that jobs run VM_BATCH.CMD from.
#pragma once

#include <optional>
#include <string>

namespace vm {

inline const char* const kScheduleServerValue = "ScheduleServer";
inline const char* const kServerProgramPathValue = "ServerProgramPath";

// The stored text; nothing when the value is missing or the store cannot be read.
std::optional<std::string> ReadScheduleSetting(const char* name);
// Stores the text. A store that cannot be written loses the setting but stops nothing: the
// dialogs go on with what they show.
void WriteScheduleSetting(const char* name, const std::string& value);

} // namespace vm
