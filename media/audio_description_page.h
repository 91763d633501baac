#pragma once
// The small HTML page that describes an audio file to the indexer: its title
// is the link's caption, its description meta the link's description, and its
// body the text whose words are rated.

#include <string>
#include <string_view>

#include "media/audio_records.h"

namespace qmp {

// The page for the audio file at the system ANSI path `path`; the path itself
// when the file cannot be read as MP3 or Ogg Vorbis.
std::string AudioDescriptionPage(std::string_view path);

// The page for an audio file already read.
std::string BuildAudioDescriptionPage(std::string_view path, const TStreamDescription& stream,
                                      const TAudioTagRecord& tag);

// The file-name part of `path` (extension kept), with every "_", "-", "'" and
// "`" turned into a space.
std::string CaptionFromFileName(std::string_view path);

}  // namespace qmp
