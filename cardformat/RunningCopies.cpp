// The sweep of copies whose player is gone. It runs at every player's start but lives in the
// movie control's library, not in the player template every card carries.
#include "FileIO.h"
#include "Platform.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardformat {

namespace {

// The process id in a running copy's name ("vmcard-" pid "-" six characters ".tmp"), or 0.
int creatorOf(const char* name) {
    if (std::memcmp(name, "vmcard-", 7) != 0) {
        return 0;
    }
    const char* p = name + 7;
    int pid = 0;
    while (*p >= '0' && *p <= '9' && pid < 100000000) {
        pid = pid * 10 + (*p++ - '0');
    }
    if (p == name + 7 || *p != '-' || std::strlen(p) != 11 || std::memcmp(p + 7, ".tmp", 4) != 0) {
        return 0;
    }
    return pid;
}

} // namespace

int removeOrphanedRunningCopies() {
    const std::string pattern = fileBeside(temporaryFolder(), "vmcard-*-??????.tmp");
    glob_t found{};
    if (::glob(pattern.c_str(), GLOB_NOSORT, nullptr, &found) != 0) {
        return 0;
    }
    int removed = 0;
    for (std::size_t i = 0; i < found.gl_pathc; ++i) {
        const char* path = found.gl_pathv[i];
        const char* name = path;
        for (const char* p = path; *p != '\0'; ++p) {
            name = *p == '/' ? p + 1 : name;
        }
        const int pid = creatorOf(name);
        // Only a process that certainly does not exist leaves its copy to us; one that runs
        // under another user answers EPERM and keeps it.
        if (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH) {
            continue;
        }
        // Only this user's regular files: a link is not followed, a pipe not waited for.
        const UniqueFd fd(::open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (fd.get() >= 0 && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::getuid() && ::unlink(path) == 0) {
            ++removed;
        }
    }
    ::globfree(&found);
    return removed;
}

} // namespace cardformat
