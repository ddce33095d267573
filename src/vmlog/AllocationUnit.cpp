#include "vmlog/AllocationUnit.h"

#include "core/DriveInfo.h"

namespace vm::vmlog {

int32_t DefaultAllocationUnit(const std::string& path)
{
    try {
        int32_t unit = TDriveInfo(path).ClusterSize();
        if (unit > 0)
            return unit;
    } catch (const EDriveInfoError&) {
        // fall back on the volume itself
    }
    int64_t unit = AllocationUnit(path);
    return unit > 0 && unit <= INT32_MAX ? static_cast<int32_t>(unit) : 0;
}

} // namespace vm::vmlog
