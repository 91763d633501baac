// Arbitrary bytes as an Ogg Vorbis file, read through an in-memory byte
// source, and the description page built from whatever was read.

#include <cstddef>
#include <cstdint>
#include <span>

#include "media/audio_description_page.h"
#include "media/memory_byte_source.h"
#include "media/ogg_vorbis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qmp::TMemoryByteSource source(std::span(data, size));
    if (source.Open() != qmp::AudioResult::Ok) return 0;
    qmp::TStreamDescription stream;
    qmp::TAudioTagRecord tag;
    if (qmp::ReadOggInfo(source, "fuzz.ogg", stream, tag) != qmp::AudioResult::Ok) return 0;
    if (stream.SampleRate == 0 || stream.FileSize != size) __builtin_trap();
    (void)qmp::BuildAudioDescriptionPage("fuzz.ogg", stream, tag);
    return 0;
}
