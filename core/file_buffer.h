#pragma once
// A whole file held in memory with a read position, and the two text routines
// that read database and markup text from it. Every read is bounded by the
// buffer: nothing here reads before its start or past its end.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qmp {

// Where SeekBuffer counts from.
enum class SeekOrigin : int { kBegin = 0, kCurrent = 1, kEnd = 2 };

class FileBuffer final {
public:
    FileBuffer() = default;
    FileBuffer(FileBuffer&& other) noexcept;
    FileBuffer& operator=(FileBuffer&& other) noexcept;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;
    ~FileBuffer() = default;

    // True when the file was opened (the buffer "has a handle"), even if it is empty.
    bool IsOpen() const { return open_; }
    // Number of bytes held; 0 for an empty file or a failed open.
    std::int64_t Size() const { return size_; }
    // Read offset from 0; may lie outside 0..Size() after a seek.
    std::int64_t Position() const { return position_; }
    // All bytes held.
    std::string_view Data() const { return {data_.get(), static_cast<std::size_t>(size_)}; }
    // Bytes of the file the buffer was read from: Size(), unless only the
    // start of the file was read (OpenFileBufferStart).
    std::int64_t FileSize() const { return fileSize_ >= 0 ? fileSize_ : size_; }

private:
    friend FileBuffer OpenFileBuffer(std::string_view path, int* error);
    friend FileBuffer FileBufferFromBytes(std::string_view bytes);
    friend FileBuffer OpenFileBufferStart(std::string_view path, std::int64_t limit);
    friend void CloseFileBuffer(FileBuffer& buffer);
    friend std::int64_t SeekBuffer(FileBuffer& buffer, std::int64_t offset, SeekOrigin origin);

    // Exactly Size() bytes, so that a read past the end is caught by AddressSanitizer.
    std::unique_ptr<char[]> data_;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    std::int64_t fileSize_ = -1;  // -1: the file's size is Size()
    bool open_ = false;
};

// Reads the whole file at `path` (system ANSI text) into a buffer positioned
// at 0. A file that cannot be opened or read gives a buffer that is not open
// and holds nothing, so every read reports the end at once; `error`, when
// given, then holds the system's error number.
FileBuffer OpenFileBuffer(std::string_view path, int* error = nullptr);

// OpenFileBuffer that reads no more than the first `limit` bytes of the
// file: a file of any size costs at most that much. FileSize() tells how
// large the whole file is.
FileBuffer OpenFileBufferStart(std::string_view path, std::int64_t limit);

// An open buffer over a copy of `bytes`, as if they had been read from a file.
FileBuffer FileBufferFromBytes(std::string_view bytes);

// Frees the bytes; the buffer is then closed and empty.
void CloseFileBuffer(FileBuffer& buffer);

// Moves the read position to `offset` from the start, the current position
// or the end; the position is not clamped. Gives the new position.
std::int64_t SeekBuffer(FileBuffer& buffer, std::int64_t offset, SeekOrigin origin);

// What ReadBytes gives: `ok` and the bytes read (their count is bytes.size()).
// The bytes stay valid while the buffer is neither changed nor freed.
struct ByteRead {
    bool ok = false;
    std::string_view bytes;
};

// Reads up to `n` bytes at the position and advances it by the count read.
// Not ok (count 0) when the buffer is empty or n is 0 or less, when n is 1
// and the position is at or beyond the end, and when the position lies before
// the start. Otherwise ok, with n bytes or the fewer (possibly none) that remain.
ByteRead ReadBytes(FileBuffer& buffer, std::int64_t n);

// Looks for `literal` from offset `position` on, one byte at a time, comparing
// both upper-cased by the system's ANSI rules. Found: `position` and the
// buffer's position become the offset just after the match, and the result is
// true. Not found (or an empty literal): false, and both positions stay as
// they were. A negative start searches from 0.
bool FindText(FileBuffer& buffer, std::string_view literal, std::int64_t& position);

// Skips to just after the next `quote` byte, then collects bytes up to the
// next `quote` byte or the end; the position ends just after the closing
// quote. A carriage return becomes one space and a line feed is dropped. With
// the quote "'" only, a backslash is an escape: backslash and "'" give "'",
// and a backslash before any other byte is dropped and that byte taken as
// usual. No opening quote before the end gives an empty text.
std::string ReadQuoted(FileBuffer& buffer, char quote);

// ReadQuoted for a script string in either quote: the backslash is an escape
// whatever the quote. `closed` tells whether the closing quote came before the end.
std::string ReadScriptString(FileBuffer& buffer, char quote, bool& closed);

}  // namespace qmp
