#include "support/Unprivileged.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vmtest {

namespace {
constexpr uid_t kNobody = 65534;

// Lets others walk through the test's own directory (not read it). Its parents are left as they
// are: when one of them keeps others out, the child cannot drop its privileges usefully and the
// caller learns so.
bool OpenWayTo(const std::string& dir)
{
    struct stat st
    {
    };
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    chmod(dir.c_str(), (st.st_mode & 07777) | S_IXOTH | S_IROTH);
    for (std::string up = dir; up.size() > 1;) {
        up.resize(up.find_last_of('/') == 0 ? 1 : up.find_last_of('/'));
        if (stat(up.c_str(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return false;
    }
    return true;
}
} // namespace

std::optional<bool> RunUnprivileged(const std::string& dir, const std::function<bool()>& body)
{
    bool root = geteuid() == 0;
    if (root && !OpenWayTo(dir))
        return std::nullopt;
    pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        if (root && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(3);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

} // namespace vmtest
