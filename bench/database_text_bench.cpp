// Throughput of the database-text conversions over megabytes of mixed text.

#include <benchmark/benchmark.h>

#include <random>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "decoding/database_text.h"

namespace {

// Mostly ASCII words with some accented letters, as real pages are.
std::string MakeAnsiText(std::size_t size) {
    std::mt19937 rng(42);
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyz     ABCDEF\xE9\xE8\xFC\xDF\xF1";
    std::string text(size, ' ');
    for (char& c : text)
        c = alphabet[rng() % alphabet.size()];
    return text;
}

void BM_ToDatabaseText(benchmark::State& state) {
    qmp::ScopedUtf8Mode mode(true);
    const std::string text = MakeAnsiText(4 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(qmp::ToDatabaseText(text, "windows-1252"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ToDatabaseText);

void BM_FromDatabaseText(benchmark::State& state) {
    qmp::ScopedUtf8Mode mode(true);
    const std::string text = qmp::ToDatabaseText(MakeAnsiText(4 << 20), "");
    for (auto _ : state)
        benchmark::DoNotOptimize(qmp::FromDatabaseText(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FromDatabaseText);

void BM_UrlEncode(benchmark::State& state) {
    const std::string text = MakeAnsiText(4 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(qmp::UrlEncode(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_UrlEncode);

void BM_UrlDecode(benchmark::State& state) {
    const std::string text = qmp::UrlEncode(MakeAnsiText(4 << 20));
    for (auto _ : state)
        benchmark::DoNotOptimize(qmp::UrlDecode(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_UrlDecode);

}  // namespace
