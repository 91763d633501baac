#pragma once
// ID3 tags of MP3 files: version 2 at the start of the file, version 1 (and
// 1.1) in its last 128 bytes, and how the two are merged.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "media/audio_records.h"
#include "media/audio_result.h"
#include "media/byte_source.h"

namespace qmp {

inline constexpr std::uint32_t kId3v1GenreCount = 126;

// The ID3v1 genre name of `index` (0..125); empty for any other index.
std::string_view Id3v1GenreName(std::uint32_t index);

struct Id3v2Header {
    std::uint8_t MajorVersion = 0;
    std::uint8_t Flags = 0;
    std::uint32_t TagSize = 0;  // the syncsafe size: the tag without its header
};

// The ID3v2 header held by the first ten bytes of a file, when they hold one.
std::optional<Id3v2Header> ParseId3v2Header(std::span<const std::uint8_t> firstBytes);

// File offset just past an ID3v2 tag at offset 0: its header, its body and,
// when the header announces one, its footer.
std::uint64_t Id3v2TagEnd(const Id3v2Header& header);

// The code of a four-letter ID3v2 frame identifier (1 "TENC" .. 12 "TIT2");
// 0 for an identifier the readers do not use.
int Id3v2FrameCode(std::string_view identifier);

// Reads the ID3v2 tag at the start of the file into `tag` (which the caller
// passes empty). No tag is no failure: `tag.HasTag` stays false.
AudioResult ReadId3v2Tag(TExtractMachine& source, TAudioTagRecord& tag);

// Reads the ID3v1 tag in the last 128 bytes of the file into `tag`.
AudioResult ReadId3v1Tag(TExtractMachine& source, TAudioTagRecord& tag);

// The caller's record from both tags: each text is the ID3v1 text unless that
// is blank, then the ID3v2 text. Without an ID3v1 tag the record stays empty.
TAudioTagRecord MergeId3Tags(const TAudioTagRecord& id3v2, const TAudioTagRecord& id3v1);

}  // namespace qmp
