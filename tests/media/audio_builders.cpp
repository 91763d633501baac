#include "tests/media/audio_builders.h"

#include <span>

#include "media/memory_byte_source.h"
#include "media/mpeg_audio.h"
#include "media/ogg_vorbis.h"

namespace qmp::test {

std::uint32_t MpegHeader(int version, int layer, int bitRateIndex, int sampleRateIndex,
                         bool padding, int channelMode, bool crc) {
    const std::uint32_t versionBits = version == 1 ? 3 : version == 2 ? 2 : version == 3 ? 0 : 1;
    const std::uint32_t layerBits = layer == 0 ? 0 : static_cast<std::uint32_t>(4 - layer);
    return 0xFFE00000u | versionBits << 19 | layerBits << 17 | (crc ? 0u : 1u) << 16 |
           static_cast<std::uint32_t>(bitRateIndex) << 12 |
           static_cast<std::uint32_t>(sampleRateIndex) << 10 | (padding ? 1u : 0u) << 9 |
           static_cast<std::uint32_t>(channelMode) << 6;
}

std::string BigEndianBytes(std::uint32_t word) {
    return {static_cast<char>(word >> 24), static_cast<char>(word >> 16),
            static_cast<char>(word >> 8), static_cast<char>(word)};
}

std::string LittleEndianBytes(std::uint32_t word) {
    return {static_cast<char>(word), static_cast<char>(word >> 8), static_cast<char>(word >> 16),
            static_cast<char>(word >> 24)};
}

std::string LittleEndianBytes64(std::uint64_t word) {
    return LittleEndianBytes(static_cast<std::uint32_t>(word)) +
           LittleEndianBytes(static_cast<std::uint32_t>(word >> 32));
}

std::string MpegFrame(std::uint32_t header, std::size_t length) {
    std::string frame = BigEndianBytes(header);
    frame.resize(length, '\0');
    return frame;
}

std::string MpegFrames(std::uint32_t header, std::size_t length, std::size_t count) {
    std::string frames;
    for (std::size_t i = 0; i < count; ++i)
        frames += MpegFrame(header, length);
    return frames;
}

std::string XingFrame(std::uint32_t header, std::size_t length, std::size_t xingOffset,
                      std::uint32_t flags, std::uint32_t frames, std::uint32_t bytes,
                      std::uint32_t quality) {
    std::string fields = "Xing" + BigEndianBytes(flags);
    if ((flags & 1) != 0) fields += BigEndianBytes(frames);
    if ((flags & 2) != 0) fields += BigEndianBytes(bytes);
    if ((flags & 4) != 0) fields += std::string(100, '\x7F');
    if ((flags & 8) != 0) fields += BigEndianBytes(quality);
    std::string frame = MpegFrame(header, length);
    frame.replace(xingOffset, fields.size(), fields);
    return frame;
}

namespace {
std::string Syncsafe(std::uint32_t size) {
    return {static_cast<char>((size >> 21) & 0x7F), static_cast<char>((size >> 14) & 0x7F),
            static_cast<char>((size >> 7) & 0x7F), static_cast<char>(size & 0x7F)};
}
}  // namespace

std::string Id3v2Frame(std::string_view id, std::string_view data) {
    return std::string(id) + Syncsafe(static_cast<std::uint32_t>(data.size())) +
           std::string(2, '\0') + std::string(data);
}

std::string Id3v2Tag(std::string_view body, std::size_t padding, std::uint8_t major,
                     std::uint8_t flags) {
    const std::uint32_t size = static_cast<std::uint32_t>(body.size() + padding);
    return std::string("ID3") + static_cast<char>(major) + '\0' + static_cast<char>(flags) +
           Syncsafe(size) + std::string(body) + std::string(padding, '\0');
}

std::string Id3v1Tag(std::string_view title, std::string_view artist, std::string_view album,
                     std::string_view year, std::string_view comment, std::uint8_t track,
                     std::uint8_t genre) {
    const auto field = [](std::string_view text, std::size_t width) {
        std::string bytes(text.substr(0, width));
        bytes.resize(width, '\0');
        return bytes;
    };
    std::string tag = "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) +
                      field(year, 4) + field(comment, 30);
    if (track != 0) {
        tag[125] = '\0';
        tag[126] = static_cast<char>(track);
    }
    tag += static_cast<char>(genre);
    return tag;
}

std::string OggPage(std::string_view body, std::uint64_t granule, std::uint32_t sequence,
                    bool continued, std::uint8_t headerType) {
    std::string lacing;
    std::size_t rest = body.size();
    while (rest >= 255) {
        lacing += '\xFF';
        rest -= 255;
    }
    if (!continued) lacing += static_cast<char>(rest);
    std::string page = "OggS";
    page += '\0';
    page += static_cast<char>(headerType);
    page += LittleEndianBytes64(granule);
    page += LittleEndianBytes(0x1234);  // serial number
    page += LittleEndianBytes(sequence);
    page += LittleEndianBytes(0);  // checksum, filled in below
    page += static_cast<char>(lacing.size());
    page += lacing;
    page += body;
    const std::uint32_t crc =
        OggCrc(std::span(reinterpret_cast<const std::uint8_t*>(page.data()), page.size()));
    page.replace(22, 4, LittleEndianBytes(crc));
    return page;
}

std::string VorbisIdentification(std::uint8_t channels, std::uint32_t sampleRate,
                                 std::int32_t nominalBitRate, std::uint32_t version,
                                 std::uint8_t framing) {
    std::string packet = "\x01vorbis";
    packet += LittleEndianBytes(version);
    packet += static_cast<char>(channels);
    packet += LittleEndianBytes(sampleRate);
    packet += LittleEndianBytes(0);  // maximum bit rate
    packet += LittleEndianBytes(static_cast<std::uint32_t>(nominalBitRate));
    packet += LittleEndianBytes(0);  // minimum bit rate
    packet += '\xB8';                // block sizes
    packet += static_cast<char>(framing);
    return packet;
}

std::string VorbisComments(const std::vector<std::string>& comments, std::string_view vendor,
                           std::uint8_t framing) {
    std::string packet = "\x03vorbis";
    packet += LittleEndianBytes(static_cast<std::uint32_t>(vendor.size()));
    packet += vendor;
    packet += LittleEndianBytes(static_cast<std::uint32_t>(comments.size()));
    for (const std::string& comment : comments) {
        packet += LittleEndianBytes(static_cast<std::uint32_t>(comment.size()));
        packet += comment;
    }
    packet += static_cast<char>(framing);
    return packet;
}

std::string OggVorbisFile(const std::string& identification, const std::string& comments,
                          std::uint64_t granule) {
    return OggPage(identification, 0, 0, false, 2) + OggPage(comments, 0, 1) +
           OggPage(std::string(100, '\x55'), granule, 2, false, 4);
}

TAudioTagRecord TagRecord(
    const std::vector<std::pair<std::string TAudioTagRecord::*, std::string>>& texts) {
    TAudioTagRecord tag;
    for (const auto& [field, text] : texts)
        tag.*field = text;
    tag.HasTag = !texts.empty();
    return tag;
}

namespace {
template <typename Reader>
AudioRead ReadBytes(std::string_view bytes, std::string_view location, Reader reader) {
    // An exact-size copy, so that a read past the input's end is caught.
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    TMemoryByteSource source(copy);
    AudioRead read;
    read.Result = source.Open();
    if (read.Result == AudioResult::Ok)
        read.Result = reader(source, location, read.Stream, read.Tag);
    return read;
}
}  // namespace

AudioRead ReadMp3Bytes(std::string_view bytes, std::string_view location) {
    return ReadBytes(bytes, location,
                     [](TExtractMachine& s, std::string_view l, TStreamDescription& d,
                        TAudioTagRecord& t) { return ReadMp3Info(s, l, d, t); });
}

AudioRead ReadOggBytes(std::string_view bytes, std::string_view location) {
    return ReadBytes(bytes, location,
                     [](TExtractMachine& s, std::string_view l, TStreamDescription& d,
                        TAudioTagRecord& t) { return ReadOggInfo(s, l, d, t); });
}

}  // namespace qmp::test
