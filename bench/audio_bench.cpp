// The audio readers: whole reads of real files through the file system, the
// frame search at its worst, and the Ogg checksum.

#include <benchmark/benchmark.h>

#include <span>
#include <string>
#include <vector>

#include "media/audio_info.h"
#include "media/memory_byte_source.h"
#include "media/mpeg_audio.h"
#include "media/ogg_vorbis.h"

namespace {

const std::string kFixtures = QMP_AUDIO_FIXTURES;

void ReadFixture(benchmark::State& state, const std::string& name) {
    const std::string path = kFixtures + name;
    for (auto _ : state) {
        qmp::TStreamDescription stream;
        qmp::TAudioTagRecord tag;
        if (qmp::ReadAudioInfo(path, stream, tag) != qmp::AudioResult::Ok) {
            state.SkipWithError("fixture not read");
            break;
        }
        benchmark::DoNotOptimize(stream.Duration);
    }
}
BENCHMARK_CAPTURE(ReadFixture, cbr_mpeg1, std::string("cbr_mpeg1.mp3"));
BENCHMARK_CAPTURE(ReadFixture, big_picture_mp3, std::string("big_picture.mp3"));
BENCHMARK_CAPTURE(ReadFixture, tags_ogg, std::string("tags.ogg"));
BENCHMARK_CAPTURE(ReadFixture, big_picture_ogg, std::string("big_picture.ogg"));

// A first block full of headers that no following header confirms: every
// fourth byte starts a candidate, and those near the block's end send the
// check to a block of its own and back.
void BM_FrameSearchWorstCase(benchmark::State& state) {
    std::vector<std::uint8_t> file;
    while (file.size() < 60000) {
        for (const std::uint8_t byte : {0xFF, 0xFB, 0x90, 0x64})
            file.push_back(byte);
    }
    for (auto _ : state) {
        qmp::TMemoryByteSource source(file);
        source.Open();
        qmp::TStreamDescription stream;
        qmp::TAudioTagRecord tag;
        benchmark::DoNotOptimize(qmp::ReadMp3Info(source, "worst.mp3", stream, tag));
    }
}
BENCHMARK(BM_FrameSearchWorstCase);

void BM_OggCrc(benchmark::State& state) {
    const std::vector<std::uint8_t> page(65307, 0x5A);
    for (auto _ : state)
        benchmark::DoNotOptimize(qmp::OggCrc(page));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_OggCrc);

}  // namespace
