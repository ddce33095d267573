// What the explore and compare windows can show. Their trees and lists keep 32-bit offsets, so a
// log or comparison past 2 GiB (the extended format allows it) is refused with a reason instead
// of being shown wrong; vmlog reads such files whole.
#pragma once

#include "platform/Stream.h"

#include <string>

namespace vm {

// Raises std::runtime_error naming the file when stream is larger than a window can show.
void CheckWindowCanShow(TStream& stream, const std::string& fileName);

} // namespace vm
