#include "app/QtResources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterVolumarkResources()
{
    Q_INIT_RESOURCE(volumark);
}

namespace vm {

void InitResources()
{
    static std::once_flag once;
    std::call_once(once, RegisterVolumarkResources);
}

} // namespace vm
