#include "media/audio_info.h"

#include "media/mpeg_audio.h"
#include "media/ogg_vorbis.h"

namespace qmp {

std::string AudioNameFromLocation(std::string_view location) {
    const std::size_t separator = location.find_last_of("/\\");
    std::string_view segment =
        separator == std::string_view::npos ? location : location.substr(separator + 1);
    const std::size_t dot = segment.rfind('.');
    if (dot != std::string_view::npos) segment = segment.substr(0, dot);
    return std::string(segment);
}

AudioResult ReadAudioInfo(std::string_view location, TStreamDescription& stream,
                          TAudioTagRecord& tag) {
    const std::size_t dot = location.rfind('.');
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : location.substr(dot);
    if (extension == ".mp3") return ReadMp3Info(location, stream, tag);
    if (extension == ".ogg") return ReadOggInfo(location, stream, tag);
    const AudioResult asMp3 = ReadMp3Info(location, stream, tag);
    if (asMp3 != AudioResult::NoValidStream) return asMp3;
    // The MP3 attempt may have left partial results behind.
    stream = TStreamDescription{};
    tag = TAudioTagRecord{};
    return ReadOggInfo(location, stream, tag);
}

}  // namespace qmp
