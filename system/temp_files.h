#pragma once
// Temporary file names, and the files that live only while an operation runs.

#include <string>
#include <string_view>

namespace qmp {

// $TMPDIR (else /tmp), ending with "/", as system ANSI text.
std::string TempDir();

// A fresh, unused name in TempDir() starting with `prefix` (the file is
// created to reserve the name, then removed at once); empty on failure.
// Callers append their own extension.
std::string TempFileName(std::string_view prefix = "tor");

// A file that exists only while an operation runs (a save's temporary file,
// a lock file), named for the lifetime of the object: should a signal end the
// program meanwhile, its handler removes the file (RemoveScratchFiles).
class ScratchFile final {
public:
    // `path` in system ANSI text, or the system's own name when `osName`.
    explicit ScratchFile(std::string_view path, bool osName = false);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

private:
    int slot_ = -1;  // -1: too many at once, or the name is too long to keep
};

// Removes the files of every ScratchFile alive. Safe in a signal handler.
void RemoveScratchFiles() noexcept;

}  // namespace qmp
