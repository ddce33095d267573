// How often a long file operation shows its progress: at most ten times a second, so that a
// deletion or copy of many small files spends its time on the files, not on repainting.
#pragma once

#include <chrono>

namespace vm {

class TProgressPace
{
public:
    // True on the first call and then once at least a tenth of a second has passed.
    bool Due()
    {
        const auto now = std::chrono::steady_clock::now();
        if (started_ && now - last_ < std::chrono::milliseconds(100))
            return false;
        started_ = true;
        last_ = now;
        return true;
    }

private:
    bool started_ = false;
    std::chrono::steady_clock::time_point last_;
};

} // namespace vm
