#pragma once
// Ogg Vorbis files: the identification and comment headers of the first two
// pages, and the play time from the last page.

#include <cstdint>
#include <span>
#include <string_view>

#include "media/audio_records.h"
#include "media/audio_result.h"
#include "media/byte_source.h"

namespace qmp {

// The CRC-32 of the Ogg bitstream format (polynomial 0x04C11DB7, most
// significant bit first, initial value 0, no final inversion).
std::uint32_t OggCrc(std::span<const std::uint8_t> bytes);

// Reads the stream properties and the Vorbis comments of the Ogg Vorbis file
// at the system ANSI path `location`. `tag` is passed empty.
AudioResult ReadOggInfo(std::string_view location, TStreamDescription& stream,
                        TAudioTagRecord& tag);

// The same over an opened source (its first block loaded); `location` gives
// the stream's Name.
AudioResult ReadOggInfo(TExtractMachine& source, std::string_view location,
                        TStreamDescription& stream, TAudioTagRecord& tag);

// Reads a Vorbis identification header packet (type 1) that starts `body`
// into `stream`; false when it is not a valid one.
bool ParseVorbisIdentification(std::span<const std::uint8_t> body, TStreamDescription& stream);

// Reads a Vorbis comment header packet (type 3) that starts `body` into `tag`,
// every length checked against `body`; false when it is not a valid one.
bool ParseVorbisComments(std::span<const std::uint8_t> body, TAudioTagRecord& tag);

}  // namespace qmp
