#pragma once
// Writing files so that a failure never costs what was on disk before: new
// content goes to a file of its own, is flushed to disk, and only then takes
// the old file's name. Every step is a virtual call of FileOps, so a test can
// make any one of them fail.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qmp {

// Somewhere bytes can be written; Write gives false when not every byte went.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(std::string_view bytes) = 0;
};

// A sink that collects the bytes in memory.
class StringSink final : public ByteSink {
public:
    bool Write(std::string_view bytes) override {
        text.append(bytes);
        return true;
    }
    std::string text;
};

// A file being written. Closed without Commit (on destruction), it is closed
// but left as it is; the caller removes it.
class NewFile : public ByteSink {
public:
    // Gives the file the permission bits `mode` and, when the system lets
    // it, the owner `owner` and group `group`; false when the mode cannot be set.
    virtual bool SetModeAndOwner(unsigned mode, unsigned owner, unsigned group) = 0;
    // Flushes the file to disk and closes it; false when that or any earlier
    // write failed.
    virtual bool Commit() = 0;
    // The system's error number of the write or flush that failed (0 when none did).
    virtual int Error() const = 0;
};

// File-system steps, paths in system ANSI text. The base class does them on
// the real file system; tests derive from it to make a chosen step fail.
// A step that fails leaves the system's error number in errno.
class FileOps {
public:
    virtual ~FileOps() = default;
    // Creates the file for writing, replacing one of that name; nullptr on failure.
    virtual std::unique_ptr<NewFile> Create(const std::string& path);
    // Gives `from` the name `to` (a file there is replaced); false on failure.
    virtual bool Rename(const std::string& from, const std::string& to);
    // Gives the file `from` the further name `to` (a hard link; nothing there
    // may exist yet); false on failure.
    virtual bool Link(const std::string& from, const std::string& to);
    // Deletes the file; false when it could not be deleted (or was not there).
    virtual bool Remove(const std::string& path);
    // True when a file or folder of that name exists.
    virtual bool Exists(const std::string& path);
    // Flushes a folder's entries (the names just given by renames) to disk.
    virtual void SyncFolder(const std::string& folder);
};

// The real file system.
FileOps& SystemFileOps();

// Reads the whole regular file at `path` into an allocation of exactly its
// size (none for an empty file); false, with nothing held, when it cannot be
// opened or read, and then `error`, when given, says why (EISDIR for a
// folder, EINVAL for anything else that is not a regular file). Opening never
// blocks on a named pipe, devices are not read, and a path holding a NUL
// byte names no file.
bool ReadWholeFile(const std::string& path, std::unique_ptr<char[]>& data, std::size_t& size,
                   int* error = nullptr);

// Reads the whole regular file at `path` into `content`; false (and
// `content` empty) when it cannot be opened or read. Opening never blocks on
// a named pipe, and devices are not read.
bool ReadFileContent(const std::string& path, std::string& content);

// The system's text for the error number `error` ("No space left on device").
std::string SystemErrorText(int error);

// Reads the first `limit` bytes (all of them when there are fewer) of the
// regular file at `path` into an allocation of exactly the count read, and
// gives in `fileSize` how many bytes the whole file holds; false, with
// nothing held, as ReadWholeFile. What lies past the limit is never read, so
// a file of any size costs at most `limit` bytes.
bool ReadFileStart(const std::string& path, std::size_t limit, std::unique_ptr<char[]>& data,
                   std::size_t& size, std::uint64_t& fileSize);

// Replaces (or creates) the file `path` with `content`: written to path +
// "~temp~", flushed, then renamed over `path`. On failure the file at `path`
// is as it was, no temporary file is left, and the result is false.
bool ReplaceFileContent(FileOps& ops, const std::string& path, std::string_view content);

}  // namespace qmp
