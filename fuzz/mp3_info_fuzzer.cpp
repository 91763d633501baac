// Arbitrary bytes as an MP3 file, read through an in-memory byte source, and
// the description page built from whatever was read.

#include <cstddef>
#include <cstdint>
#include <span>

#include "media/audio_description_page.h"
#include "media/memory_byte_source.h"
#include "media/mpeg_audio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qmp::TMemoryByteSource source(std::span(data, size));
    if (source.Open() != qmp::AudioResult::Ok) return 0;
    qmp::TStreamDescription stream;
    qmp::TAudioTagRecord tag;
    if (qmp::ReadMp3Info(source, "fuzz.mp3", stream, tag) != qmp::AudioResult::Ok) return 0;
    // An accepted stream starts inside the file.
    if (stream.FirstFrameOffset >= size || stream.FileSize != size) __builtin_trap();
    (void)qmp::BuildAudioDescriptionPage("fuzz.mp3", stream, tag);
    return 0;
}
