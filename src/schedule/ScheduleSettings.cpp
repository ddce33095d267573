#include "schedule/ScheduleSettings.h"

#include "platform/Registry.h"

#include <stdexcept>

namespace vm {

std::optional<std::string> ReadScheduleSetting(const char* name)
{
    TRegistry registry;
    if (!registry.OpenKey(kSettingsKey, false))
        return std::nullopt;
    return registry.ReadString(name);
}

void WriteScheduleSetting(const char* name, const std::string& value)
{
    try {
        TRegistry registry;
        if (registry.OpenKey(kSettingsKey, true))
            registry.WriteString(name, value);
    } catch (const std::runtime_error&) {
        // see the header: a setting is not worth stopping the dialog for
    }
}

} // namespace vm
