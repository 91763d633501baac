#pragma once
// An advisory lock that one process at a time holds: an exclusive flock on a
// small file that also names its holder ("<process id> <program>"). The
// system drops the lock however its process ends; the holder removes the
// file when it lets go, and a file left by a process that was killed is
// simply taken over.

#include <memory>
#include <string>

namespace qmp {

class ScratchFile;

class FileLock final {
public:
    enum class Result { kTaken, kBusy, kFailed };

    FileLock();
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock of the lock file `path` (system ANSI text), creating the
    // file, after letting go of any lock held before. kBusy: another holder
    // has it (only without `wait`; with it, the call waits until it is free).
    // kFailed: the file cannot be made or locked; Error() gives the system's
    // error number. After kBusy, Holder() says who has it (LockHolderText).
    Result Take(const std::string& path, bool wait);
    // Removes the lock file and lets go of the lock; nothing when none is held.
    void Release();

    bool Held() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    int Error() const { return error_; }
    const std::string& Holder() const { return holder_; }

private:
    int fd_ = -1;
    int error_ = 0;
    std::string path_;
    std::string holder_;
    // The lock file goes when a signal ends the program while it is held.
    std::unique_ptr<ScratchFile> scratch_;
};

// Who holds the lock of the lock file `path`, as the file names it: the
// program and its process ("qmp (process 1234)"), "process 1234" without a
// program, or empty when the file names no process.
std::string LockHolderText(const std::string& path);

}  // namespace qmp
