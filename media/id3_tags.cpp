#include "media/id3_tags.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "media/audio_arithmetic.h"
#include "media/block_reads.h"

namespace qmp {
namespace {

// clang-format off
constexpr std::array<std::string_view, kId3v1GenreCount> kGenreNames = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk",
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave",
    "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy",
    "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American",
    "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
    "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk",
    "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic",
    "Bluegrass", "Avantgarde", "Gothic Rock", "Progessive Rock", "Psychedelic Rock",
    "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour",
    "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",
    "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella",
    "Euro-House", "Dance Hall"};
// clang-format on

constexpr std::uint32_t FourCc(const char (&id)[5]) {
    return (std::uint32_t(std::uint8_t(id[0])) << 24) | (std::uint32_t(std::uint8_t(id[1])) << 16) |
           (std::uint32_t(std::uint8_t(id[2])) << 8) | std::uint32_t(std::uint8_t(id[3]));
}

// Frame identifiers in matching order, as big-endian words (the scan tests
// one at every byte of a tag); "TDRC", the version 2.4 date, shares the code
// of "TYER".
struct FrameIdentifier {
    std::uint32_t Id;
    int Code;
};
constexpr std::array<FrameIdentifier, 13> kFrameIdentifiers = {{{FourCc("TENC"), 1},
                                                                {FourCc("WXXX"), 2},
                                                                {FourCc("TCOP"), 3},
                                                                {FourCc("TOPE"), 4},
                                                                {FourCc("TCOM"), 5},
                                                                {FourCc("TCON"), 6},
                                                                {FourCc("TRCK"), 7},
                                                                {FourCc("COMM"), 8},
                                                                {FourCc("TYER"), 9},
                                                                {FourCc("TDRC"), 9},
                                                                {FourCc("TALB"), 10},
                                                                {FourCc("TPE1"), 11},
                                                                {FourCc("TIT2"), 12}}};

int FrameCodeOf(std::uint32_t identifier) {
    for (const FrameIdentifier& known : kFrameIdentifiers) {
        if (known.Id == identifier) return known.Code;
    }
    return 0;
}

// The record field each frame code fills, indexed by code.
constexpr std::array<std::string TAudioTagRecord::*, 13> kFieldOfCode = {
    nullptr,
    &TAudioTagRecord::EncodedBy,
    &TAudioTagRecord::Url,
    &TAudioTagRecord::Copyright,
    &TAudioTagRecord::OriginalArtist,
    &TAudioTagRecord::Composer,
    &TAudioTagRecord::Genre,
    &TAudioTagRecord::Track,
    &TAudioTagRecord::Comment,
    &TAudioTagRecord::Year,
    &TAudioTagRecord::Album,
    &TAudioTagRecord::Artist,
    &TAudioTagRecord::Title};

constexpr int kCodeUrl = 2;
constexpr int kCodeComment = 8;
constexpr std::uint8_t kFlagExtendedHeader = 0x40;
constexpr std::uint8_t kFlagFooter = 0x10;
constexpr std::uint32_t kId3v1Size = 128;

std::uint32_t SyncsafeSize(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 21) + (std::uint32_t{bytes[1]} << 14) +
           (std::uint32_t{bytes[2]} << 7) + std::uint32_t{bytes[3]};
}

// Frame sizes combine the four bytes with OR and mask none of them, whatever
// the tag version says.
std::uint32_t FrameSize(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 21) | (std::uint32_t{bytes[1]} << 14) |
           (std::uint32_t{bytes[2]} << 7) | std::uint32_t{bytes[3]};
}

// The bytes from `text` up to its first NUL.
std::string TextToNul(std::span<const std::uint8_t> text) {
    std::string result;
    for (const std::uint8_t byte : text) {
        if (byte == 0) break;
        result.push_back(static_cast<char>(byte));
    }
    return result;
}

// Stores the text of one frame; frames in another encoding than ISO-8859-1
// are ignored.
void StoreFrameText(int code, std::span<const std::uint8_t> data, TAudioTagRecord& tag) {
    if (data.empty() || data[0] != 0) return;
    std::size_t start = 1;
    if (code == kCodeUrl) start = 2;      // after encoding and an empty description
    if (code == kCodeComment) start = 5;  // after encoding, language and description
    tag.*kFieldOfCode[code] = start < data.size() ? TextToNul(data.subspan(start)) : std::string();
}

}  // namespace

std::string_view Id3v1GenreName(std::uint32_t index) {
    return index < kGenreNames.size() ? kGenreNames[index] : std::string_view();
}

std::optional<Id3v2Header> ParseId3v2Header(std::span<const std::uint8_t> firstBytes) {
    if (firstBytes.size() < 10) return std::nullopt;
    const std::uint8_t* b = firstBytes.data();
    if (b[0] != 'I' || b[1] != 'D' || b[2] != '3') return std::nullopt;
    if (b[3] == 0xFF || b[4] == 0xFF || (b[5] & 0x0F) != 0) return std::nullopt;
    for (int i = 6; i < 10; ++i) {
        if (b[i] >= 0x80) return std::nullopt;
    }
    Id3v2Header header;
    header.MajorVersion = b[3];
    header.Flags = b[5];
    header.TagSize = SyncsafeSize(b + 6);
    return header;
}

std::uint64_t Id3v2TagEnd(const Id3v2Header& header) {
    return 10 + std::uint64_t{header.TagSize} + ((header.Flags & kFlagFooter) != 0 ? 10 : 0);
}

int Id3v2FrameCode(std::string_view identifier) {
    if (identifier.size() != 4) return 0;
    return FrameCodeOf(BigEndian32(reinterpret_cast<const std::uint8_t*>(identifier.data())));
}

AudioResult ReadId3v2Tag(TExtractMachine& source, TAudioTagRecord& tag) {
    tag.HasTag = false;
    if (!source.HasBlock() || source.BlockOrigin() != 0) {
        const AudioResult loaded = source.LoadBlock(0, kFirstBlockSize);
        if (loaded != AudioResult::Ok) return loaded;
    }
    source.SeekInBlock(0);
    std::array<std::uint8_t, 10> head{};
    std::uint32_t got = 0;
    source.ReadBlockBytes(head.data(), 10, got);
    if (got < 10) return AudioResult::NoValidStream;
    const std::optional<Id3v2Header> header = ParseId3v2Header(head);
    if (!header) return AudioResult::Ok;
    const std::uint32_t tagLimit = header->TagSize + 10;

    if ((header->Flags & kFlagExtendedHeader) != 0) {
        std::array<std::uint8_t, 6> extended{};
        source.ReadBlockBytes(extended.data(), 6, got);
        if (got < 6) return AudioResult::NoValidStream;
        const std::uint32_t extendedSize = SyncsafeSize(extended.data());
        if (extendedSize < 6) return AudioResult::NoValidStream;
        const std::uint64_t after = std::uint64_t{source.BlockPosition()} + (extendedSize - 6);
        if (after > source.BlockCount()) return AudioResult::NoValidStream;
        source.SeekInBlock(static_cast<std::uint32_t>(after));
    }

    std::vector<std::uint8_t> data;
    while (source.BlockPosition() <= tagLimit) {
        std::array<std::uint8_t, 4> identifier{};
        source.ReadBlockBytes(identifier.data(), 4, got);
        if (got < 4) break;  // the end of the loaded block
        const int code = FrameCodeOf(BigEndian32(identifier.data()));
        if (code == 0) {
            // Unknown frames are passed over byte by byte.
            source.SeekInBlock(source.BlockPosition() - 3);
            continue;
        }
        std::array<std::uint8_t, 6> frameHeader{};
        source.ReadBlockBytes(frameHeader.data(), 6, got);
        if (got < 6) break;
        std::uint32_t size = FrameSize(frameHeader.data());
        if (size == 0) size = 1;
        const std::uint32_t wanted = std::min(size, tagLimit);
        // A frame cut by the end of the block ends the scan: its text is not
        // all there, and nothing after it is either.
        if (wanted > source.BlockCount() - source.BlockPosition()) break;
        data.resize(wanted);
        source.ReadBlockBytes(data.data(), wanted, got);
        StoreFrameText(code, data, tag);
    }
    tag.HasTag = true;
    return AudioResult::Ok;
}

AudioResult ReadId3v1Tag(TExtractMachine& source, TAudioTagRecord& tag) {
    tag.HasTag = false;
    // A file shorter than a tag holds none.
    if (source.FileSize() < kId3v1Size) return AudioResult::Ok;
    const AudioResult loaded = source.LoadBlock(source.FileSize() - kId3v1Size, kId3v1Size);
    if (loaded != AudioResult::Ok) return loaded;
    std::array<std::uint8_t, kId3v1Size> t{};
    std::uint32_t got = 0;
    source.ReadBlockBytes(t.data(), kId3v1Size, got);
    if (got < kId3v1Size || t[0] != 'T' || t[1] != 'A' || t[2] != 'G') return AudioResult::Ok;

    const std::span<const std::uint8_t> bytes(t);
    tag.Title = TextToNul(bytes.subspan(3, 30));
    tag.Artist = TextToNul(bytes.subspan(33, 30));
    tag.Album = TextToNul(bytes.subspan(63, 30));
    tag.Year = TextToNul(bytes.subspan(93, 4));
    tag.Comment = TextToNul(bytes.subspan(97, 30));
    // Version 1.1 keeps the track in the last comment byte, after a NUL.
    tag.Track = tag.Comment.size() > 28 || t[126] == 0 ? std::string() : std::to_string(t[126]);
    tag.Genre = std::string(Id3v1GenreName(t[127]));
    tag.HasTag = true;
    return AudioResult::Ok;
}

TAudioTagRecord MergeId3Tags(const TAudioTagRecord& id3v2, const TAudioTagRecord& id3v1) {
    if (!id3v1.HasTag) return TAudioTagRecord{};
    if (!id3v2.HasTag) return id3v1;
    TAudioTagRecord merged;
    for (const auto field : kAudioTagTexts) {
        merged.*field = IsBlankText(id3v1.*field) ? id3v2.*field : id3v1.*field;
    }
    merged.HasTag = true;
    return merged;
}

}  // namespace qmp
