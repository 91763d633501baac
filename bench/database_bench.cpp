// Opening and saving a database of 100,000 links, and the memory the open
// tables take next to the size of their text.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include "bench/engine_file.h"
#include "core/database.h"
#include "core/database_file.h"
#include "core/program_values.h"

namespace {

// Bytes the heap holds in use (glibc's count; not meaningful under sanitizers).
double HeapBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

void BM_OpenDatabase(benchmark::State& state) {
    const qmp::bench::EngineFile file(static_cast<std::size_t>(state.range(0)));
    qmp::NullHost host;
    double tableBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        qmp::Links.Clear();
        qmp::Categories.Clear();
        const double before = HeapBytesInUse();
        state.ResumeTiming();
        qmp::OpenDatabase(host, file.path());
        state.PauseTiming();
        tableBytes = HeapBytesInUse() - before;
        state.ResumeTiming();
    }
    if (qmp::Links.Count() != state.range(0)) state.SkipWithError("links missing after the open");
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
    state.counters["tables_MB"] = tableBytes / 1e6;
    qmp::Links.Clear();
    qmp::Categories.Clear();
}

void BM_SaveDatabase(benchmark::State& state) {
    const qmp::bench::EngineFile file(static_cast<std::size_t>(state.range(0)));
    qmp::NullHost host;
    qmp::OpenDatabase(host, file.path());
    for (auto _ : state) {
        if (!qmp::SaveDatabase(host)) state.SkipWithError("save failed");
    }
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
    qmp::Links.Clear();
    qmp::Categories.Clear();
}

BENCHMARK(BM_OpenDatabase)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SaveDatabase)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
