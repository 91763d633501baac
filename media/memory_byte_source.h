#pragma once
// A byte source over bytes already in memory: tests and fuzz targets hand the
// audio readers whole, truncated or hostile input through it.

#include <cstdint>
#include <span>

#include "media/byte_source.h"

namespace qmp {

class TMemoryByteSource : public TExtractMachine {
public:
    // The bytes are not copied: they must outlive the source. Each block is a
    // view of them, so a block that ends the input ends where the input ends.
    explicit TMemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // Loads the first block, as opening a file does.
    AudioResult Open();

    AudioResult LoadBlock(std::uint32_t offset, std::uint32_t size) override;

private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace qmp
