#include "media/block_reads.h"

#include <algorithm>

namespace qmp {

bool BlockHolds(const TExtractMachine& source, std::uint32_t offset, std::uint32_t count) {
    const std::uint64_t origin = source.BlockOrigin();
    const std::uint64_t end = origin + source.BlockCount();
    return source.HasBlock() && offset >= origin && std::uint64_t{offset} + count <= end;
}

AudioResult ReadBytesAt(TExtractMachine& source, std::uint32_t offset, std::uint8_t* destination,
                        std::uint32_t count, std::uint32_t& copied, std::uint32_t loadSize) {
    copied = 0;
    if (!BlockHolds(source, offset, count)) {
        const AudioResult loaded = source.LoadBlock(offset, std::max(count, loadSize));
        if (loaded != AudioResult::Ok) return loaded;
    }
    source.SeekInBlock(offset - source.BlockOrigin());
    return source.ReadBlockBytes(destination, count, copied);
}

}  // namespace qmp
