#include "system/file_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <memory>
#include <thread>
#include <utility>

#include "system/os_path.h"
#include "system/temp_files.h"

namespace qmp {
FileLock::FileLock() = default;

FileLock::~FileLock() {
    Release();
}

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      error_(other.error_),
      path_(std::move(other.path_)),
      holder_(std::move(other.holder_)),
      scratch_(std::move(other.scratch_)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
        error_ = other.error_;
        path_ = std::move(other.path_);
        holder_ = std::move(other.holder_);
        scratch_ = std::move(other.scratch_);
    }
    return *this;
}

FileLock::Result FileLock::Take(const std::string& path, bool wait) {
    Release();
    error_ = 0;
    holder_.clear();
    const std::string osPath = ToOsPath(path);
    for (;;) {
        // A link planted under the name is not followed.
        int fd = ::open(osPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0 && errno == EACCES)
            fd = ::open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            error_ = errno;
            return Result::kFailed;
        }
        int locked;
        while ((locked = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            const int cause = errno;
            ::close(fd);
            if (cause == EWOULDBLOCK) {
                // A holder names itself just after it took the lock.
                for (int tries = 0; tries < 50 && (holder_ = LockHolderText(path)).empty(); ++tries)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                return Result::kBusy;
            }
            error_ = cause;
            return Result::kFailed;
        }
        // The holder before may have removed the file while this one waited:
        // the lock then belongs to a file nobody else will look at. Start over.
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::lstat(osPath.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            fd_ = fd;
            break;
        }
        ::close(fd);
    }
    path_ = path;
    const std::string holder =
        std::to_string(::getpid()) + " " + program_invocation_short_name + "\n";
    if (::ftruncate(fd_, 0) == 0) (void)!::pwrite(fd_, holder.data(), holder.size(), 0);
    scratch_ = std::make_unique<ScratchFile>(path_);
    return Result::kTaken;
}

void FileLock::Release() {
    if (fd_ < 0) return;
    // Removed while still held, so that nobody can take a file on its way out.
    ::unlink(ToOsPath(path_).c_str());
    ::close(fd_);
    fd_ = -1;
    scratch_.reset();
}

std::string LockHolderText(const std::string& path) {
    const int fd = ::open(ToOsPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return {};
    char buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n <= 0) return {};
    const std::string_view text(buffer, static_cast<std::size_t>(n));
    std::size_t at = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
        ++at;
    if (at == 0 || at > 10) return {};
    const std::string process = "process " + std::string(text.substr(0, at));
    std::size_t end = at;
    while (end < text.size() && text[end] != '\n')
        ++end;
    const std::string_view program = text.substr(at, end - at);
    if (program.size() < 2 || program[0] != ' ') return process;
    return FromOsName(program.substr(1)) + " (" + process + ")";
}

}  // namespace qmp
