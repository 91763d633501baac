#pragma once
// Running a piece of a test as a user whom the system refuses what a file's
// or folder's mode forbids: the tests may run as root, who may read anything.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace qmp::test {

// The user and group a child takes when the tests run as root.
inline constexpr uid_t kUnprivilegedId = 65534;  // nobody, nogroup

// Runs `body` in a child process, as kUnprivilegedId when the tests run as
// root, and gives what it returned; "child failed" when the child did not
// end normally. The child must be able to reach every folder it needs.
inline std::string InUnprivilegedChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return "child failed";
    const pid_t child = ::fork();
    if (child < 0) return "child failed";
    if (child == 0) {
        ::close(fds[0]);
        if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 ||
                                ::setuid(kUnprivilegedId) != 0))
            ::_exit(3);
        const std::string out = body();
        for (std::size_t at = 0; at < out.size();) {
            const ssize_t n = ::write(fds[1], out.data() + at, out.size() - at);
            if (n <= 0) ::_exit(4);
            at += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child failed";
    return out;
}

}  // namespace qmp::test
