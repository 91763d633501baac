#include "system/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "system/os_path.h"
#include "system/paths.h"
#include "system/temp_files.h"

namespace qmp {
namespace {

class PosixNewFile final : public NewFile {
public:
    explicit PosixNewFile(int fd) : fd_(fd) {}
    ~PosixNewFile() override {
        if (fd_ >= 0) ::close(fd_);
    }
    PosixNewFile(const PosixNewFile&) = delete;
    PosixNewFile& operator=(const PosixNewFile&) = delete;

    bool Write(std::string_view bytes) override {
        if (fd_ < 0 || error_ != 0) return false;
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                // A full disk ends here (ENOSPC), a file size limit too (EFBIG).
                error_ = n < 0 ? errno : ENOSPC;
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    bool SetModeAndOwner(unsigned mode, unsigned owner, unsigned group) override {
        if (fd_ < 0) return false;
        // Only a privileged process may give a file away; others keep it as theirs.
        if (::fchown(fd_, owner, group) != 0) (void)::fchown(fd_, static_cast<uid_t>(-1), group);
        if (::fchmod(fd_, static_cast<mode_t>(mode & 07777)) != 0) {
            error_ = errno;
            return false;
        }
        return true;
    }

    bool Commit() override {
        if (fd_ < 0) return false;
        if (error_ == 0 && ::fsync(fd_) != 0) error_ = errno;
        if (::close(fd_) != 0 && error_ == 0) error_ = errno;
        fd_ = -1;
        return error_ == 0;
    }

    int Error() const override { return error_; }

private:
    int fd_;
    int error_ = 0;
};

}  // namespace

std::unique_ptr<NewFile> FileOps::Create(const std::string& path) {
    // A file of that name goes first, so that a link planted under the name
    // is replaced rather than followed.
    const std::string osPath = ToOsPath(path);
    if (osPath.find('\0') != std::string::npos) {
        errno = EINVAL;
        return nullptr;
    }
    ::unlink(osPath.c_str());
    const int fd = ::open(osPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixNewFile>(fd);
}

bool FileOps::Rename(const std::string& from, const std::string& to) {
    return std::rename(ToOsPath(from).c_str(), ToOsPath(to).c_str()) == 0;
}

bool FileOps::Link(const std::string& from, const std::string& to) {
    return ::link(ToOsPath(from).c_str(), ToOsPath(to).c_str()) == 0;
}

bool FileOps::Remove(const std::string& path) {
    return ::unlink(ToOsPath(path).c_str()) == 0;
}

bool FileOps::Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(ToOsPath(path).c_str(), &info) == 0;
}

void FileOps::SyncFolder(const std::string& folder) {
    const std::string dir = folder.empty() ? std::string(".") : ToOsPath(folder);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

namespace {

// Moves the first `size` bytes of `data` into an allocation of `capacity` bytes.
void Reallocate(std::unique_ptr<char[]>& data, std::size_t size, std::size_t capacity) {
    std::unique_ptr<char[]> moved;
    if (capacity > 0) {
        moved = std::make_unique_for_overwrite<char[]>(capacity);
        if (size > 0) std::memcpy(moved.get(), data.get(), size);
    }
    data = std::move(moved);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::unique_ptr<char[]>& data, std::size_t& size,
                   int* error) {
    data.reset();
    size = 0;
    int failure = 0;
    const auto fail = [&](int cause) {
        if (error != nullptr) *error = cause;
        return false;
    };
    const std::string osPath = ToOsPath(path);
    // The system would read the name only up to the NUL: another file.
    if (osPath.find('\0') != std::string::npos) return fail(ENOENT);
    const int fd = ::open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return fail(errno);
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) failure = errno;
    if (ok && !S_ISREG(info.st_mode)) {
        ok = false;
        failure = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    }
    std::size_t capacity = ok && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
    Reallocate(data, 0, capacity);
    // Read until the end, whatever size the file claimed: a file that grows
    // or shrinks meanwhile gives what was actually read.
    char chunk[1 << 16];
    while (ok) {
        const bool full = size == capacity;
        char* into = full ? chunk : data.get() + size;
        const ssize_t got = ::read(fd, into, full ? sizeof chunk : capacity - size);
        if (got == 0) break;
        if (got < 0) {
            ok = errno == EINTR;
            if (!ok) failure = errno;
            continue;
        }
        const auto count = static_cast<std::size_t>(got);
        if (full) {
            Reallocate(data, size, 2 * (capacity + count));
            capacity = 2 * (capacity + count);
            std::memcpy(data.get() + size, chunk, count);
        }
        size += count;
    }
    ::close(fd);
    // The bytes end exactly where the allocation does, so that a read past
    // them is an error that AddressSanitizer reports.
    if (ok && size != capacity) Reallocate(data, size, size);
    if (!ok) {
        data.reset();
        size = 0;
        return fail(failure);
    }
    return true;
}

bool ReadFileContent(const std::string& path, std::string& content) {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    const bool ok = ReadWholeFile(path, data, size);
    content.assign(data.get() != nullptr ? data.get() : "", size);
    return ok;
}

bool ReadFileStart(const std::string& path, std::size_t limit, std::unique_ptr<char[]>& data,
                   std::size_t& size, std::uint64_t& fileSize) {
    data.reset();
    size = 0;
    fileSize = 0;
    const int fd = ::open(ToOsPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    fileSize = ok && info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    const std::size_t capacity = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, limit));
    Reallocate(data, 0, capacity);
    // A file that shrinks meanwhile gives what was there; one that grows
    // gives no more than the size it had.
    while (ok && size < capacity) {
        const ssize_t got = ::read(fd, data.get() + size, capacity - size);
        if (got == 0) break;
        if (got < 0) {
            ok = errno == EINTR;
            continue;
        }
        size += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (ok && size != capacity) Reallocate(data, size, size);
    if (!ok) {
        data.reset();
        size = 0;
        fileSize = 0;
    }
    return ok;
}

FileOps& SystemFileOps() {
    static FileOps ops;
    return ops;
}

std::string SystemErrorText(int error) {
    char buffer[256];
    return ::strerror_r(error, buffer, sizeof buffer);
}

bool ReplaceFileContent(FileOps& ops, const std::string& path, std::string_view content) {
    const std::string temp = path + "~temp~";
    std::unique_ptr<NewFile> file = ops.Create(temp);
    if (!file) return false;
    const ScratchFile scratch(temp);
    const bool written = file->Write(content) && file->Commit();
    file.reset();
    if (!written || !ops.Rename(temp, path)) {
        ops.Remove(temp);
        return false;
    }
    ops.SyncFolder(ExtractFilePath(path));
    return true;
}

}  // namespace qmp
