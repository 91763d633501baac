#pragma once
// What the audio readers tell about a file: its stream properties and the
// texts of its tags.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qmp {

enum class AudioFormat : std::uint8_t { None = 0, Mp3 = 1, OggVorbis = 2 };

// Stream properties of an MP3 or Ogg Vorbis file.
struct TStreamDescription {
    // Play time in whole seconds. 32 bits wide so that a long recording (an
    // audio book at a low bit rate) is not shown with a wrapped-around time.
    std::uint32_t Duration = 0;
    std::uint32_t FileSize = 0;
    std::uint32_t FirstFrameOffset = 0;  // MP3: file offset of the first accepted frame
    // MP3: 0 reserved, 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5; Ogg: the Vorbis version (0).
    std::int32_t Version = 0;
    std::uint8_t Layer = 0;  // MP3: 1, 2 or 3 (0 reserved); Ogg: 0
    std::uint32_t SampleRate = 0;
    // kbit/s; -1 for an MP3 with a Xing header; Ogg: the nominal bit rate.
    std::int32_t BitRate = 0;
    // MP3: 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel;
    // Ogg: the number of channels.
    std::uint8_t ChannelMode = 0;
    bool Copyright = false;
    bool OriginalBit = false;
    bool Protected = false;  // MP3: frames carry a CRC; Ogg: true
    bool PaddingBit = false;
    // MP3: bytes per frame; with a Xing header, the file size divided by the
    // frame count (which need not fit 16 bits).
    std::uint32_t FrameLength = 0;
    std::string Name;  // the location's last segment without its extension
    AudioFormat Format = AudioFormat::None;
    std::uint32_t XingFlags = 0;
    std::uint32_t XingFrames = 0;
    std::uint32_t XingBytes = 0;
    std::uint32_t XingQuality = 0;
};

// Tag texts, as bytes taken from the file.
struct TAudioTagRecord {
    std::string Track;
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    std::string Composer;
    std::string OriginalArtist;
    std::string Copyright;
    std::string Url;
    std::string EncodedBy;
    std::string Genre;
    bool HasTag = false;  // a tag was found and read
};

// The twelve texts of a tag record, in field order.
inline constexpr std::array<std::string TAudioTagRecord::*, 12> kAudioTagTexts = {
    &TAudioTagRecord::Track,    &TAudioTagRecord::Title,          &TAudioTagRecord::Artist,
    &TAudioTagRecord::Album,    &TAudioTagRecord::Year,           &TAudioTagRecord::Comment,
    &TAudioTagRecord::Composer, &TAudioTagRecord::OriginalArtist, &TAudioTagRecord::Copyright,
    &TAudioTagRecord::Url,      &TAudioTagRecord::EncodedBy,      &TAudioTagRecord::Genre};

// True when `text` is empty or holds only spaces.
constexpr bool IsBlankText(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

// The location's last segment (after its last "/" or "\") without the part
// from its last full stop, when that full stop lies in the segment.
std::string AudioNameFromLocation(std::string_view location);

}  // namespace qmp
