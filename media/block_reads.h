#pragma once
// Reads at file offsets on top of a byte source's one-block window.

#include <cstdint>

#include "media/byte_source.h"

namespace qmp {

// True when the `count` bytes at file offset `offset` lie wholly inside the
// source's current block.
bool BlockHolds(const TExtractMachine& source, std::uint32_t offset, std::uint32_t count);

// Copies up to `count` bytes at file offset `offset` into `destination` and
// reports in `copied` how many the file holds there. When they are not wholly
// inside the current block, the block of `loadSize` bytes (at least `count`)
// that starts at `offset` is loaded first; a load error is returned.
AudioResult ReadBytesAt(TExtractMachine& source, std::uint32_t offset, std::uint8_t* destination,
                        std::uint32_t count, std::uint32_t& copied, std::uint32_t loadSize = 0);

}  // namespace qmp
