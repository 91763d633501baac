#pragma once
// The entry point of the audio readers: picks the reader by extension.

#include <string_view>

#include "media/audio_records.h"
#include "media/audio_result.h"

namespace qmp {

// Reads the stream properties and tags of the audio file at the system ANSI
// path `location`: ".mp3" as MP3, ".ogg" as Ogg Vorbis (both exactly so, in
// small letters), anything else as MP3 and, when that finds no stream, as Ogg.
AudioResult ReadAudioInfo(std::string_view location, TStreamDescription& stream,
                          TAudioTagRecord& tag);

}  // namespace qmp
