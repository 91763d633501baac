#include "media/mpeg_audio.h"

#include <array>
#include <cstring>
#include <limits>

#include "media/audio_arithmetic.h"
#include "media/block_reads.h"
#include "media/id3_tags.h"

namespace qmp {
namespace {

// kbit/s by version group (MPEG-1; MPEG-2 and 2.5), layer - 1 and index.
constexpr std::array<std::array<std::array<std::uint16_t, 16>, 3>, 2> kBitRates = {{
    {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}}},
    {{{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}},
}};

// Hz by version - 1 (MPEG-1, MPEG-2, MPEG-2.5) and index.
constexpr std::array<std::array<std::uint32_t, 4>, 3> kSampleRates = {{
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
    {11025, 12000, 8000, 0},
}};

constexpr std::uint32_t kSyncMask = 0xFFE00000u;
constexpr int kMpeg1 = 1;
constexpr std::uint8_t kSingleChannel = 3;
constexpr std::uint32_t kXingFieldsSize = 116;

std::uint32_t FrameLengthOf(const TStreamDescription& s) {
    if (s.SampleRate == 0) return 0;
    const std::uint32_t bitRate = static_cast<std::uint32_t>(s.BitRate);
    const std::uint32_t padding = s.PaddingBit ? 1 : 0;
    switch (s.Layer) {
        case 1:
            return (12000 * bitRate / s.SampleRate + padding) * 4;
        case 2:
            return 144000 * bitRate / s.SampleRate + padding;
        case 3:
            // A layer 3 frame of MPEG-2 and 2.5 holds half the samples.
            return (s.Version == kMpeg1 ? 144000 : 72000) * bitRate / s.SampleRate + padding;
        default:
            return 0;
    }
}

// Finds the first frame header that the next frame's header confirms,
// scanning the block of the file that starts at `searchOrigin`. On success
// `stream` holds the confirming header's fields and `firstFrame` the offset.
AudioResult FindFirstFrame(TExtractMachine& source, std::uint32_t searchOrigin,
                           TStreamDescription& stream, std::uint32_t& firstFrame) {
    const std::uint32_t fileSize = source.FileSize();
    if (!source.HasBlock() || source.BlockOrigin() != searchOrigin) {
        const AudioResult loaded = source.LoadBlock(searchOrigin, kFirstBlockSize);
        if (loaded != AudioResult::Ok) return loaded;
    }
    std::uint32_t start = 0;  // where the next window starts in the search block
    for (;;) {
        if (source.SeekInBlock(start) < 0) return AudioResult::NoValidStream;
        std::array<std::uint8_t, 4> bytes{};
        std::uint32_t got = 0;
        source.ReadBlockBytes(bytes.data(), 4, got);
        if (got < 4) return AudioResult::NoValidStream;
        std::uint32_t window = BigEndian32(bytes.data());
        std::uint32_t lastGot = 4;
        // A window whose last read found no byte is still tested once, with 0
        // as its low byte.
        while (!DecodeFrameHeader(window, fileSize, stream)) {
            if (lastGot == 0) return AudioResult::NoValidStream;
            std::uint8_t next = 0;
            source.ReadBlockBytes(&next, 1, lastGot);
            window = (window << 8) | (lastGot != 0 ? next : 0);
        }
        const std::uint32_t candidate = searchOrigin + source.BlockPosition() - 4;
        const std::int64_t following = std::int64_t{fileSize} + (stream.Protected ? 2 : 0) -
                                       std::int64_t{candidate} - stream.FrameLength;
        if (following > 0) {
            const std::uint64_t nextHeader = std::uint64_t{candidate} + stream.FrameLength;
            std::array<std::uint8_t, 4> header{};
            std::uint32_t headerGot = 0;
            bool leftSearchBlock = false;
            if (nextHeader <= std::numeric_limits<std::uint32_t>::max()) {
                const std::uint32_t at = static_cast<std::uint32_t>(nextHeader);
                leftSearchBlock = !BlockHolds(source, at, 4);
                const AudioResult read = ReadBytesAt(source, at, header.data(), 4, headerGot);
                if (read != AudioResult::Ok) return read;
            }
            if (headerGot == 4 && DecodeFrameHeader(BigEndian32(header.data()), fileSize, stream)) {
                firstFrame = candidate;
                return AudioResult::Ok;
            }
            if (leftSearchBlock) {
                const AudioResult back = source.LoadBlock(searchOrigin, kFirstBlockSize);
                if (back != AudioResult::Ok) return back;
            }
        }
        start = candidate + 1 - searchOrigin;
    }
}

// Reads the Xing header that a variable-bit-rate stream may keep in its first
// frame; without one the stream stays as its frame header described it.
AudioResult ReadXingHeader(TExtractMachine& source, std::uint32_t firstFrame,
                           TStreamDescription& stream) {
    const bool mono = stream.ChannelMode == kSingleChannel;
    const std::uint32_t sideInfoEnd =
        stream.Version == kMpeg1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
    const std::uint64_t at = std::uint64_t{firstFrame} + sideInfoEnd;
    if (at + 4 > stream.FileSize) return AudioResult::Ok;
    const std::uint32_t xingAt = static_cast<std::uint32_t>(at);

    std::array<std::uint8_t, 4> magic{};
    std::uint32_t got = 0;
    AudioResult read = ReadBytesAt(source, xingAt, magic.data(), 4, got, 4 + kXingFieldsSize);
    if (read != AudioResult::Ok) return read;
    if (got < 4 || std::memcmp(magic.data(), "Xing", 4) != 0) return AudioResult::Ok;

    stream.BitRate = -1;
    std::array<std::uint8_t, kXingFieldsSize> fields{};
    read = ReadBytesAt(source, xingAt + 4, fields.data(), kXingFieldsSize, got, kXingFieldsSize);
    if (read != AudioResult::Ok) return read;
    if (got < kXingFieldsSize) return AudioResult::NoValidStream;

    std::size_t p = 0;
    const auto next32 = [&] {
        const std::uint32_t value = BigEndian32(fields.data() + p);
        p += 4;
        return value;
    };
    stream.XingFlags = next32();
    if ((stream.XingFlags & 1) != 0) stream.XingFrames = next32();
    if ((stream.XingFlags & 2) != 0) stream.XingBytes = next32();
    if ((stream.XingFlags & 4) != 0) p += 100;  // the seek table
    if ((stream.XingFlags & 8) != 0) stream.XingQuality = next32();

    if (stream.XingFrames != 0) {
        // Samples per frame depend on version and layer: 1152 would double the
        // play time of an MPEG-2 layer 3 file.
        const std::uint64_t samples =
            std::uint64_t{MpegSamplesPerFrame(stream.Version, stream.Layer)} * stream.XingFrames;
        stream.Duration = SaturateTo32(RoundedQuotient(samples, stream.SampleRate));
        stream.FrameLength = stream.FileSize / stream.XingFrames;
    }
    return AudioResult::Ok;
}

}  // namespace

std::uint32_t MpegBitRate(int version, int layer, std::uint32_t index) {
    if (version < 1 || version > 3 || layer < 1 || layer > 3 || index > 15) return 0;
    return kBitRates[version == kMpeg1 ? 0 : 1][layer - 1][index];
}

std::uint32_t MpegSampleRate(int version, std::uint32_t index) {
    if (version < 1 || version > 3 || index > 3) return 0;
    return kSampleRates[version - 1][index];
}

std::uint32_t MpegSamplesPerFrame(int version, int layer) {
    if (layer == 1) return 384;
    if (layer == 3 && version != kMpeg1) return 576;
    return 1152;
}

bool DecodeFrameHeader(std::uint32_t header, std::uint32_t fileSize, TStreamDescription& stream) {
    stream = TStreamDescription{};
    stream.FileSize = fileSize;
    if (header < kSyncMask) return false;
    switch ((header >> 19) & 3) {
        case 0:
            stream.Version = 3;
            break;
        case 1:
            return false;  // reserved
        case 2:
            stream.Version = 2;
            break;
        default:
            stream.Version = 1;
            break;
    }
    const std::uint32_t layerBits = (header >> 17) & 3;
    stream.Layer = static_cast<std::uint8_t>(layerBits == 0 ? 0 : 4 - layerBits);
    stream.SampleRate = MpegSampleRate(stream.Version, (header >> 10) & 3);
    stream.Protected = ((header >> 16) & 1) == 0;
    stream.Copyright = ((header >> 3) & 1) != 0;
    stream.OriginalBit = ((header >> 2) & 1) != 0;
    stream.ChannelMode = static_cast<std::uint8_t>((header >> 6) & 3);
    stream.PaddingBit = ((header >> 9) & 1) != 0;
    if (stream.Layer != 0) {
        stream.BitRate = static_cast<std::int32_t>(
            MpegBitRate(stream.Version, stream.Layer, (header >> 12) & 15));
    }
    // 64-bit: eight times the size of a file over 512 MiB does not fit 32 bits.
    if (stream.BitRate != 0) {
        stream.Duration = static_cast<std::uint32_t>(std::uint64_t{fileSize} * 8 /
                                                     (std::uint64_t(stream.BitRate) * 1000));
    }
    stream.FrameLength = FrameLengthOf(stream);
    return fileSize > 5 && stream.Layer != 0 && stream.BitRate != 0 && stream.SampleRate > 0;
}

AudioResult ReadMp3Info(std::string_view location, TStreamDescription& stream,
                        TAudioTagRecord& tag) {
    OpenedByteSource opened = OpenByteSource(location);
    if (opened.result != AudioResult::Ok) return opened.result;
    return ReadMp3Info(*opened.source, location, stream, tag);
}

AudioResult ReadMp3Info(TExtractMachine& source, std::string_view location,
                        TStreamDescription& stream, TAudioTagRecord& tag) {
    // A tag at the start (cover art, typically) may be larger than a block:
    // the stream starts where the tag ends.
    std::uint32_t searchOrigin = 0;
    std::array<std::uint8_t, 10> head{};
    std::uint32_t got = 0;
    AudioResult result = ReadBytesAt(source, 0, head.data(), 10, got, kFirstBlockSize);
    if (result != AudioResult::Ok) return result;
    if (const auto id3v2 = ParseId3v2Header(std::span(head.data(), got))) {
        searchOrigin = static_cast<std::uint32_t>(Id3v2TagEnd(*id3v2));
    }

    std::uint32_t firstFrame = 0;
    result = FindFirstFrame(source, searchOrigin, stream, firstFrame);
    if (result != AudioResult::Ok) return result;
    stream.FirstFrameOffset = firstFrame;
    // The play time of a constant bit rate is that of the stream's bytes: a
    // tag before the first frame (cover art can be hundreds of kB) is no sound.
    if (stream.BitRate > 0) {
        stream.Duration = static_cast<std::uint32_t>(std::uint64_t{stream.FileSize - firstFrame} *
                                                     8 / (std::uint64_t(stream.BitRate) * 1000));
    }
    result = ReadXingHeader(source, firstFrame, stream);
    if (result != AudioResult::Ok) return result;
    stream.Format = AudioFormat::Mp3;
    stream.Name = AudioNameFromLocation(location);

    TAudioTagRecord id3v2;
    result = ReadId3v2Tag(source, id3v2);
    if (result != AudioResult::Ok) return result;
    TAudioTagRecord id3v1;
    result = ReadId3v1Tag(source, id3v1);
    if (result != AudioResult::Ok) return result;
    tag = MergeId3Tags(id3v2, id3v1);
    return AudioResult::Ok;
}

}  // namespace qmp
