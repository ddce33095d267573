#include "listwindow/WindowLimits.h"

#include "core/LogFormat.h"

#include <stdexcept>

namespace vm {

void CheckWindowCanShow(TStream& stream, const std::string& fileName)
{
    if (stream.Size() > kMaxLogSize)
        throw std::runtime_error("The file " + fileName +
                                 " is larger than 2 GiB, more than this window can show. "
                                 "vmlog dump and vmlog export read it.");
}

} // namespace vm
