#pragma once
// Byte sources: the audio readers never read a file directly. They ask a
// source for one block of the file at a time and read, seek and re-read
// inside that block, so that only the few regions they need are touched.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "media/audio_result.h"

namespace qmp {

// Size of the block every source loads at offset 0 when it is opened.
inline constexpr std::uint32_t kFirstBlockSize = 40960;

// A local-file source, and the base of every other source: a derived source
// replaces LoadBlock (and CloseSource when it holds a handle of its own).
// File offsets and sizes are 32-bit: files of 4 GiB and more are refused.
class TExtractMachine {
public:
    TExtractMachine() = default;
    virtual ~TExtractMachine();
    TExtractMachine(const TExtractMachine&) = delete;
    TExtractMachine& operator=(const TExtractMachine&) = delete;

    // Opens the local file at the system ANSI path `location` and loads its
    // first block; the result of that load, or the reason the open failed.
    AudioResult OpenLocalFile(std::string_view location);

    // Closes the file handle, if any.
    virtual void CloseSource();

    // Makes the `size` bytes at file offset `offset` (fewer at the end of the
    // file) the current block, read position 0. On failure the previous block,
    // origin and position stay as they were.
    virtual AudioResult LoadBlock(std::uint32_t offset, std::uint32_t size);

    // Moves the read position inside the block; gives the previous position,
    // or -1 (position unchanged) when `position` lies past the block's end.
    std::int64_t SeekInBlock(std::uint32_t position);

    // Copies `wanted` bytes from the read position and advances past them.
    // When fewer remain, copies what remains and leaves the position alone:
    // a short count is how readers learn that the block is exhausted.
    AudioResult ReadBlockBytes(std::uint8_t* destination, std::uint32_t wanted,
                               std::uint32_t& copied);

    std::uint32_t FileSize() const { return fileSize_; }
    std::uint32_t BlockOrigin() const { return blockOrigin_; }
    std::uint32_t BlockPosition() const { return blockPosition_; }
    std::uint32_t BlockCount() const { return static_cast<std::uint32_t>(block_.size()); }
    bool HasBlock() const { return hasBlock_; }

protected:
    // Makes `bytes` the current block, starting at file offset `origin`, with
    // read position 0. `storage` owns the bytes when the source owns them;
    // otherwise they must stay valid until the next block replaces them.
    void ReplaceBlock(std::unique_ptr<std::uint8_t[]> storage, std::span<const std::uint8_t> bytes,
                      std::uint32_t origin);
    void SetFileSize(std::uint32_t size) { fileSize_ = size; }

private:
    int sourceHandle_ = -1;
    std::unique_ptr<std::uint8_t[]> blockData_;
    std::span<const std::uint8_t> block_;
    bool hasBlock_ = false;
    std::uint32_t blockPosition_ = 0;
    std::uint32_t blockOrigin_ = 0;
    std::uint32_t fileSize_ = 0;
};

// A source made for a location, and how opening it went.
struct OpenedByteSource {
    AudioResult result = AudioResult::Ok;
    // Also handed back after a failed open when a source was created.
    std::unique_ptr<TExtractMachine> source;
};

// Opens a byte source on a location: a local file path (system ANSI text),
// opened as given. A network URL (a scheme other than file:// followed by
// "://") cannot be opened and gives BadLocation.
OpenedByteSource OpenByteSource(std::string_view location);

// The result code of the system error `errorNumber` (an errno value) met while
// opening or reading the file at `osPath`.
AudioResult ErrorFromLastError(int errorNumber, std::string_view osPath = {});

// True when `location` starts with a URL scheme and "://" other than file://.
bool IsNetworkUrl(std::string_view location);

}  // namespace qmp
