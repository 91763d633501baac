#include "media/audio_description_page.h"

#include "media/audio_info.h"

namespace qmp {
namespace {

// A tag text without the control bytes and spaces around it.
std::string_view TrimmedTag(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 0x20)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 0x20)
        --last;
    return text.substr(first, last - first);
}

std::string DescriptionText(const TStreamDescription& stream, const TAudioTagRecord& tag) {
    std::string text;
    if (stream.Format == AudioFormat::Mp3) text += "Mp3";
    if (stream.Format == AudioFormat::OggVorbis) text += "Ogg";
    text += " (" + std::to_string(stream.BitRate) + "kbps, " +
            std::to_string(stream.Duration / 60) + ":" + std::to_string(stream.Duration % 60) + ")";
    const std::string_view album = TrimmedTag(tag.Album);
    if (!album.empty()) {
        text += " Album: ";
        text += album;
        const std::string_view year = TrimmedTag(tag.Year);
        if (!year.empty()) {
            text += " (";
            text += year;
            text += ")";
        }
    }
    for (const std::string_view extra : {TrimmedTag(tag.Comment), TrimmedTag(tag.Genre)}) {
        if (extra.empty()) continue;
        text += " / ";
        text += extra;
    }
    return text;
}

}  // namespace

std::string CaptionFromFileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    std::string caption(slash == std::string_view::npos ? path : path.substr(slash + 1));
    for (char& c : caption) {
        if (c == '_' || c == '-' || c == '\'' || c == '`') c = ' ';
    }
    return caption;
}

std::string BuildAudioDescriptionPage(std::string_view path, const TStreamDescription& stream,
                                      const TAudioTagRecord& tag) {
    std::string page = "<html><head><title>";
    const std::string_view track = TrimmedTag(tag.Track);
    const std::string_view artist = TrimmedTag(tag.Artist);
    if (!track.empty()) {
        page += track;
        page += " - ";
    }
    if (!artist.empty()) {
        page += artist;
        page += " - ";
    }
    page += TrimmedTag(tag.Title);
    page += "</title>";
    const std::string description = DescriptionText(stream, tag);
    page += "<meta name=\"description\" content=\"" + description + "\"></head><body>" +
            description + CaptionFromFileName(path) + "</body></html>";
    return page;
}

std::string AudioDescriptionPage(std::string_view path) {
    TStreamDescription stream;
    TAudioTagRecord tag;
    if (ReadAudioInfo(path, stream, tag) != AudioResult::Ok) return std::string(path);
    return BuildAudioDescriptionPage(path, stream, tag);
}

}  // namespace qmp
