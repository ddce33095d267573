// The three views of a log or a comparison: which entries a list below a directory shows. The
// list windows fill their lists by them, and the walks over a comparison follow them
// (CompareWalk.h), also where no window draws (statistics, treemap).
#pragma once

namespace vm {

// The directory's own entries, every directory below it, or every file below it.
enum class TView
{
    Standard = 1,
    Folders = 2,
    AllFiles = 3
};

} // namespace vm
