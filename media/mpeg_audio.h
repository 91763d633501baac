#pragma once
// MPEG audio streams (MP3 and its layer 1 and 2 kin): frame headers, the
// search for the first frame, the Xing header, and the file's tags.

#include <cstdint>
#include <string_view>

#include "media/audio_records.h"
#include "media/audio_result.h"
#include "media/byte_source.h"

namespace qmp {

// Bit rate in kbit/s for a version (1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5), a layer
// (1..3) and a header bit-rate index (0..15); 0 for the free and bad indexes
// and for anything out of range.
std::uint32_t MpegBitRate(int version, int layer, std::uint32_t index);

// Sample rate in Hz for a version and a header sample-rate index (0..3); 0 for
// index 3 and for anything out of range.
std::uint32_t MpegSampleRate(int version, std::uint32_t index);

// PCM samples one frame holds for a version and a layer.
std::uint32_t MpegSamplesPerFrame(int version, int layer);

// Decodes the frame header `header` (its four bytes in file order, most
// significant first) into `stream`, clearing every other field of it, with
// `fileSize` as the stream's file size. True when the header is a valid one.
bool DecodeFrameHeader(std::uint32_t header, std::uint32_t fileSize, TStreamDescription& stream);

// Reads the stream properties and the merged ID3 tags of the MP3 file at the
// system ANSI path `location`. `tag` is passed empty.
AudioResult ReadMp3Info(std::string_view location, TStreamDescription& stream,
                        TAudioTagRecord& tag);

// The same over an opened source (its first block loaded); `location` gives
// the stream's Name.
AudioResult ReadMp3Info(TExtractMachine& source, std::string_view location,
                        TStreamDescription& stream, TAudioTagRecord& tag);

}  // namespace qmp
