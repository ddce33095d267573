#include "support/Unprivileged.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vmtest {

namespace {
constexpr uid_t kNobody = 65534;

// Lets others walk through every directory from dir up to the root (not read them).
void OpenWayTo(std::string dir)
{
    while (!dir.empty() && dir != "/") {
        struct stat st
        {
        };
        if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            chmod(dir.c_str(), st.st_mode | S_IXOTH | S_IROTH);
        size_t slash = dir.find_last_of('/');
        if (slash == std::string::npos)
            break;
        dir.resize(slash);
    }
}
} // namespace

std::optional<bool> RunUnprivileged(const std::string& dir, const std::function<bool()>& body)
{
    bool root = geteuid() == 0;
    if (root)
        OpenWayTo(dir);
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
