#include "support/FakeMounts.h"

#include <climits>
#include <cstdlib>
#include <stdexcept>

namespace vmtest {

namespace {

// mountinfo writes blanks and backslashes in mount points as octal escapes.
std::string Escape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == ' ')
            out += "\\040";
        else if (c == '\\')
            out += "\\134";
        else
            out += c;
    }
    return out;
}

} // namespace

FakeMounts::FakeMounts(const TempDir& dir) : dir_(dir)
{
    char buf[PATH_MAX];
    if (!realpath(dir.Path().c_str(), buf))
        throw std::runtime_error("realpath failed for " + dir.Path());
    root_ = buf;
    text_ = "1 0 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n";
}

FakeMounts& FakeMounts::Add(const std::string& mountPoint, const std::string& type,
                            const std::string& source, const std::string& options)
{
    std::string id = std::to_string(next_++);
    text_ += id + " 1 0:" + id + " / " + Escape(mountPoint) + " rw,relatime - " + type + " " +
             source + " " + options + "\n";
    return *this;
}

std::string FakeMounts::Write() const
{
    dir_.WriteFile("mountinfo", text_);
    return dir_ / "mountinfo";
}

} // namespace vmtest
