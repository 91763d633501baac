#include "media/filter_process.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>

extern char** environ;

namespace qmp {
namespace {

// Owns a file descriptor.
class Descriptor final {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// Owns the file actions of one spawn.
class SpawnActions final {
public:
    SpawnActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
    ~SpawnActions() {
        if (ok_) ::posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    bool ok() const { return ok_; }
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

bool WaitForExitZero(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::optional<std::string> RunFilterProgram(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments[0].empty()) return std::nullopt;
    std::array<int, 2> ends{-1, -1};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0) return std::nullopt;
    Descriptor readEnd(ends[0]);
    Descriptor writeEnd(ends[1]);

    SpawnActions actions;
    if (!actions.ok() ||
        ::posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), 1) != 0 ||
        ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0) != 0 ||
        ::posix_spawn_file_actions_addopen(actions.get(), 2, "/dev/null", O_WRONLY, 0) != 0) {
        return std::nullopt;
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ) != 0) {
        return std::nullopt;
    }
    writeEnd.Close();  // the child holds the only write end now: its exit ends the reads

    std::string output;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t got = ::read(readEnd.get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (got == 0) break;
        const std::size_t room = kMaxFilterOutput - output.size();
        output.append(buffer.data(), std::min(room, static_cast<std::size_t>(got)));
    }
    readEnd.Close();
    if (!WaitForExitZero(pid)) return std::nullopt;
    return output;
}

}  // namespace qmp
