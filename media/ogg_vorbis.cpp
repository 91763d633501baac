#include "media/ogg_vorbis.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "media/audio_arithmetic.h"
#include "media/block_reads.h"

namespace qmp {
namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = i << 24;
        for (int bit = 0; bit < 8; ++bit) {
            r = (r & 0x80000000u) != 0 ? (r << 1) ^ 0x04C11DB7u : r << 1;
        }
        table[i] = r;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

constexpr std::uint32_t kCapturePattern = 0x5367674Fu;  // "OggS" read little-endian
constexpr std::uint32_t kPageHeaderSize = 27;
constexpr std::uint32_t kMaxPageSize = kPageHeaderSize + 255 + 255 * 255;
constexpr std::uint32_t kLastBlockSize = 65563;
constexpr std::size_t kChecksumOffset = 22;
constexpr std::uint8_t kIdentificationPacket = 1;
constexpr std::uint8_t kCommentPacket = 3;

bool IsVorbisPacket(std::span<const std::uint8_t> body, std::uint8_t type) {
    return body.size() >= 7 && body[0] == type && std::memcmp(body.data() + 1, "vorbis", 6) == 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view name) {
    if (text.size() < name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != name[i]) return false;
    }
    return true;
}

struct CommentName {
    std::string_view Name;
    std::string TAudioTagRecord::*Field;
};
// Matched in this order against the first letters of each comment.
const std::array<CommentName, 10> kCommentNames = {{
    {"TITLE", &TAudioTagRecord::Title},
    {"ALBUM", &TAudioTagRecord::Album},
    {"TRACKNUMBER", &TAudioTagRecord::Track},
    {"ARTIST", &TAudioTagRecord::Artist},
    {"PERFORMER", &TAudioTagRecord::OriginalArtist},
    {"COPYRIGHT", &TAudioTagRecord::Copyright},
    {"GENRE", &TAudioTagRecord::Genre},
    {"DATE", &TAudioTagRecord::Year},
    {"CONTACT", &TAudioTagRecord::Url},
    {"COMMENT", &TAudioTagRecord::Comment},
}};

void StoreComment(std::string_view text, TAudioTagRecord& tag) {
    for (const CommentName& known : kCommentNames) {
        if (StartsWithNoCase(text, known.Name)) {
            const std::size_t valueStart = known.Name.size() + 1;  // after the name and "="
            tag.*known.Field =
                valueStart < text.size() ? std::string(text.substr(valueStart)) : std::string();
            return;
        }
    }
    tag.Comment = std::string(text);
}

// Copies bytes [from, from + count) of the page that starts at file offset
// `pageStart`. A header page (a comment packet with a picture, typically) may
// run past the block: it is then read from the block that starts with it.
// NoValidStream when the file ends before those bytes do.
AudioResult ReadPageBytes(TExtractMachine& source, std::uint32_t pageStart, std::uint32_t from,
                          std::uint8_t* destination, std::uint32_t count) {
    const std::uint64_t start = std::uint64_t{pageStart} + from;
    if (start + count > source.FileSize()) return AudioResult::NoValidStream;
    if (!BlockHolds(source, static_cast<std::uint32_t>(start), count)) {
        const AudioResult loaded = source.LoadBlock(pageStart, kMaxPageSize);
        if (loaded != AudioResult::Ok) return loaded;
        if (!BlockHolds(source, static_cast<std::uint32_t>(start), count)) {
            return AudioResult::NoValidStream;
        }
    }
    source.SeekInBlock(static_cast<std::uint32_t>(start) - source.BlockOrigin());
    std::uint32_t got = 0;
    source.ReadBlockBytes(destination, count, got);
    return got == count ? AudioResult::Ok : AudioResult::NoValidStream;
}

// Reads one of the two header pages: finds its capture pattern from file
// offset `searchAt` on, checks it and parses its first packet. `pageEnd` gets
// the offset just past the page.
AudioResult ReadHeaderPage(TExtractMachine& source, std::uint32_t searchAt,
                           TStreamDescription& stream, TAudioTagRecord& tag, bool& identified,
                           std::uint32_t& pageEnd) {
    if (!BlockHolds(source, searchAt, 4)) {
        const AudioResult loaded = source.LoadBlock(searchAt, kFirstBlockSize);
        if (loaded != AudioResult::Ok) return loaded;
    }
    source.SeekInBlock(searchAt - source.BlockOrigin());
    std::array<std::uint8_t, 4> bytes{};
    std::uint32_t got = 0;
    source.ReadBlockBytes(bytes.data(), 4, got);
    if (got < 4) return AudioResult::NoValidStream;
    std::uint32_t window = LittleEndian32(bytes.data());
    std::uint32_t lastGot = 4;
    while (window != kCapturePattern) {
        if (lastGot == 0) return AudioResult::NoValidStream;
        std::uint8_t next = 0;
        source.ReadBlockBytes(&next, 1, lastGot);
        window = (window >> 8) | (std::uint32_t{lastGot != 0 ? next : std::uint8_t{0}} << 24);
    }
    const std::uint32_t pageStart = source.BlockOrigin() + source.BlockPosition() - 4;

    std::vector<std::uint8_t> page(kPageHeaderSize);
    std::memcpy(page.data(), "OggS", 4);
    AudioResult read = ReadPageBytes(source, pageStart, 4, page.data() + 4, kPageHeaderSize - 4);
    if (read != AudioResult::Ok) return read;
    const std::uint32_t segmentCount = page[kPageHeaderSize - 1];
    if (segmentCount == 0) return AudioResult::NoValidStream;
    page.resize(kPageHeaderSize + segmentCount);
    read = ReadPageBytes(source, pageStart, kPageHeaderSize, page.data() + kPageHeaderSize,
                         segmentCount);
    if (read != AudioResult::Ok) return read;
    const std::span<const std::uint8_t> lacing(page.data() + kPageHeaderSize, segmentCount);
    std::uint32_t bodySize = 0;
    for (const std::uint8_t size : lacing)
        bodySize += size;
    // The first packet ends at the first lacing value below 255; with none it
    // continues on the next page.
    const bool firstPacketComplete =
        std::any_of(lacing.begin(), lacing.end(), [](std::uint8_t size) { return size < 255; });
    const std::uint32_t bodyStart = static_cast<std::uint32_t>(page.size());
    page.resize(bodyStart + bodySize);
    read = ReadPageBytes(source, pageStart, bodyStart, page.data() + bodyStart, bodySize);
    if (read != AudioResult::Ok) return read;

    const std::uint32_t stored = LittleEndian32(page.data() + kChecksumOffset);
    std::fill_n(page.begin() + kChecksumOffset, 4, std::uint8_t{0});
    if (OggCrc(page) != stored) return AudioResult::NoValidStream;

    const std::span<const std::uint8_t> body(page.data() + bodyStart, bodySize);
    if (IsVorbisPacket(body, kIdentificationPacket)) {
        if (!ParseVorbisIdentification(body, stream)) return AudioResult::NoValidStream;
        identified = true;
    } else if (IsVorbisPacket(body, kCommentPacket)) {
        if (firstPacketComplete) {
            if (!ParseVorbisComments(body, tag)) return AudioResult::NoValidStream;
        } else {
            // Comments too large for their page (a picture among them): the
            // file is described without tag texts.
            tag = TAudioTagRecord{};
        }
    } else {
        return AudioResult::NoValidStream;
    }
    pageEnd = pageStart + static_cast<std::uint32_t>(page.size());
    return AudioResult::Ok;
}

// The granule position of the last page whose header the file holds whole.
AudioResult ReadLastGranule(TExtractMachine& source, std::uint64_t& granule) {
    const std::uint32_t fileSize = source.FileSize();
    const std::uint32_t size = std::min(kLastBlockSize, fileSize);
    const AudioResult loaded = source.LoadBlock(fileSize - size, size);
    if (loaded != AudioResult::Ok) return loaded;
    std::vector<std::uint8_t> block(source.BlockCount());
    std::uint32_t got = 0;
    source.ReadBlockBytes(block.data(), source.BlockCount(), got);
    block.resize(got);
    for (std::size_t i = block.size() < 4 ? 0 : block.size() - 3; i-- > 0;) {
        if (std::memcmp(block.data() + i, "OggS", 4) != 0) continue;
        // A last page cut inside its header holds no granule: the one before counts.
        if (i + kPageHeaderSize > block.size()) continue;
        granule = LittleEndian64(block.data() + i + 6);
        return AudioResult::Ok;
    }
    return AudioResult::NoValidStream;
}

}  // namespace

std::uint32_t OggCrc(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0;
    for (const std::uint8_t byte : bytes) {
        crc = (crc << 8) ^ kCrcTable[((crc >> 24) ^ byte) & 0xFFu];
    }
    return crc;
}

bool ParseVorbisIdentification(std::span<const std::uint8_t> body, TStreamDescription& stream) {
    if (body.size() < 30 || !IsVorbisPacket(body, kIdentificationPacket)) return false;
    const std::uint32_t version = LittleEndian32(body.data() + 7);
    const std::uint8_t channels = body[11];
    const std::uint32_t sampleRate = LittleEndian32(body.data() + 12);
    const auto nominal = static_cast<std::int32_t>(LittleEndian32(body.data() + 20));
    if (version != 0 || channels == 0 || sampleRate == 0 || body[29] != 1) return false;
    stream.Version = 0;
    stream.ChannelMode = channels;
    stream.SampleRate = sampleRate;
    stream.BitRate = static_cast<std::int32_t>(RoundedQuotientSigned(nominal, 1000));
    stream.Protected = true;
    stream.Duration = 0;
    stream.Layer = 0;
    stream.Copyright = false;
    stream.OriginalBit = false;
    stream.PaddingBit = false;
    stream.FrameLength = 0;
    return true;
}

bool ParseVorbisComments(std::span<const std::uint8_t> body, TAudioTagRecord& tag) {
    if (!IsVorbisPacket(body, kCommentPacket)) return false;
    std::size_t p = 7;
    const auto next32 = [&](std::uint32_t& value) {
        if (body.size() - p < 4) return false;
        value = LittleEndian32(body.data() + p);
        p += 4;
        return true;
    };
    std::uint32_t vendorLength = 0;
    if (!next32(vendorLength) || static_cast<std::int32_t>(vendorLength) < 0) return false;
    if (vendorLength > body.size() - p) return false;
    p += vendorLength;
    std::uint32_t count = 0;
    if (!next32(count) || static_cast<std::int32_t>(count) < 0) return false;
    tag = TAudioTagRecord{};
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t length = 0;
        if (!next32(length) || length > body.size() - p) return false;
        StoreComment(std::string_view(reinterpret_cast<const char*>(body.data() + p), length), tag);
        p += length;
    }
    if (p >= body.size() || body[p] != 1) return false;  // the framing byte
    tag.HasTag = count != 0;
    return true;
}

AudioResult ReadOggInfo(std::string_view location, TStreamDescription& stream,
                        TAudioTagRecord& tag) {
    OpenedByteSource opened = OpenByteSource(location);
    if (opened.result != AudioResult::Ok) return opened.result;
    return ReadOggInfo(*opened.source, location, stream, tag);
}

AudioResult ReadOggInfo(TExtractMachine& source, std::string_view location,
                        TStreamDescription& stream, TAudioTagRecord& tag) {
    std::uint32_t searchAt = 0;
    bool identified = false;
    for (int page = 0; page < 2; ++page) {
        const AudioResult read =
            ReadHeaderPage(source, searchAt, stream, tag, identified, searchAt);
        if (read != AudioResult::Ok) return read;
    }
    // Without an identification header there is no sample rate to divide by.
    if (!identified) return AudioResult::NoValidStream;

    std::uint64_t granule = 0;
    const AudioResult last = ReadLastGranule(source, granule);
    if (last != AudioResult::Ok) return last;
    stream.Duration = SaturateTo32(RoundedQuotient(granule, stream.SampleRate));
    stream.FileSize = source.FileSize();
    stream.Name = AudioNameFromLocation(location);
    stream.Format = AudioFormat::OggVorbis;
    return AudioResult::Ok;
}

}  // namespace qmp
