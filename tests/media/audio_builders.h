#pragma once
// Byte-crafted MPEG frames, ID3 tags and Ogg pages for the audio reader tests.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "media/audio_records.h"
#include "media/audio_result.h"
#include "media/memory_byte_source.h"

namespace qmp::test {

// A frame header word. `version` 1 (MPEG-1), 2 (MPEG-2), 3 (MPEG-2.5) or 0 for
// the reserved version bits; `layer` 1..3 or 0 for the reserved layer bits.
std::uint32_t MpegHeader(int version, int layer, int bitRateIndex, int sampleRateIndex,
                         bool padding = false, int channelMode = 0, bool crc = false);

// The four bytes of `word`, most significant first.
std::string BigEndianBytes(std::uint32_t word);
std::string LittleEndianBytes(std::uint32_t word);
std::string LittleEndianBytes64(std::uint64_t word);

// A frame: `header` followed by zeros up to `length` bytes.
std::string MpegFrame(std::uint32_t header, std::size_t length);

// `count` frames of `length` bytes.
std::string MpegFrames(std::uint32_t header, std::size_t length, std::size_t count);

// A first frame of `length` bytes that carries a Xing header at `xingOffset`
// with `flags`, and frame count, byte count, seek table and quality as flagged.
std::string XingFrame(std::uint32_t header, std::size_t length, std::size_t xingOffset,
                      std::uint32_t flags, std::uint32_t frames, std::uint32_t bytes = 0,
                      std::uint32_t quality = 0);

// An ID3v2 frame: identifier, syncsafe size, two flag bytes, data.
std::string Id3v2Frame(std::string_view id, std::string_view data);

// An ID3v2 tag of version `major` whose body is `body` followed by `padding`
// zero bytes; `flags` is the header's flags byte.
std::string Id3v2Tag(std::string_view body, std::size_t padding = 0, std::uint8_t major = 3,
                     std::uint8_t flags = 0);

// A 128-byte ID3v1 tag; a `track` of 0 writes version 1.0 (the comment may
// then use all 30 bytes).
std::string Id3v1Tag(std::string_view title, std::string_view artist, std::string_view album,
                     std::string_view year, std::string_view comment, std::uint8_t track,
                     std::uint8_t genre);

// An Ogg page around `body` with a checksum, whose segment table laces the
// body as one packet (or, with `continued`, as a packet that goes on).
std::string OggPage(std::string_view body, std::uint64_t granule, std::uint32_t sequence,
                    bool continued = false, std::uint8_t headerType = 0);

// A 30-byte Vorbis identification header.
std::string VorbisIdentification(std::uint8_t channels, std::uint32_t sampleRate,
                                 std::int32_t nominalBitRate, std::uint32_t version = 0,
                                 std::uint8_t framing = 1);

// A Vorbis comment header holding `comments` in order.
std::string VorbisComments(const std::vector<std::string>& comments,
                           std::string_view vendor = "test vendor", std::uint8_t framing = 1);

// A minimal Ogg Vorbis file: identification page, comment page, and a last
// page with `granule`.
std::string OggVorbisFile(const std::string& identification, const std::string& comments,
                          std::uint64_t granule);

// A tag record holding `texts` (HasTag set when there are any).
TAudioTagRecord TagRecord(
    const std::vector<std::pair<std::string TAudioTagRecord::*, std::string>>& texts);

// Reads `bytes` through an in-memory source with the MP3 or the Ogg reader.
struct AudioRead {
    AudioResult Result = AudioResult::Ok;
    TStreamDescription Stream;
    TAudioTagRecord Tag;
};
AudioRead ReadMp3Bytes(std::string_view bytes, std::string_view location = "test.mp3");
AudioRead ReadOggBytes(std::string_view bytes, std::string_view location = "test.ogg");

// An in-memory source that counts the bytes its blocks hold.
class CountingSource final : public TMemoryByteSource {
public:
    using TMemoryByteSource::TMemoryByteSource;
    AudioResult LoadBlock(std::uint32_t offset, std::uint32_t size) override {
        const AudioResult result = TMemoryByteSource::LoadBlock(offset, size);
        BytesLoaded += BlockCount();
        return result;
    }
    std::uint64_t BytesLoaded = 0;
};

}  // namespace qmp::test
