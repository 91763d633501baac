#include "media/memory_byte_source.h"

#include <algorithm>
#include <limits>

namespace qmp {

AudioResult TMemoryByteSource::Open() {
    if (bytes_.size() > std::numeric_limits<std::uint32_t>::max()) return AudioResult::SystemError;
    SetFileSize(static_cast<std::uint32_t>(bytes_.size()));
    return LoadBlock(0, kFirstBlockSize);
}

AudioResult TMemoryByteSource::LoadBlock(std::uint32_t offset, std::uint32_t size) {
    const std::size_t start = std::min<std::size_t>(offset, bytes_.size());
    const std::size_t count = std::min<std::size_t>(size, bytes_.size() - start);
    ReplaceBlock(nullptr, bytes_.subspan(start, count), offset);
    return AudioResult::Ok;
}

}  // namespace qmp
