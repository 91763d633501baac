// The five link sorts over 100,000 links.

#include <benchmark/benchmark.h>

#include "bench/link_generator.h"
#include "core/link_table.h"

namespace {

void RunSort(benchmark::State& state, void (qmp::TBase::*sort)()) {
    qmp::TBase source;
    for (qmp::TBaseRecord& r : qmp::bench::MakeLinks(static_cast<std::size_t>(state.range(0))))
        source.Add(std::move(r));
    for (auto _ : state) {
        state.PauseTiming();
        qmp::TBase links = source;
        state.ResumeTiming();
        (links.*sort)();
        benchmark::DoNotOptimize(links.Records().data());
        state.PauseTiming();
        links.Clear();  // freeing the copy is not part of the sort
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SortByCat(benchmark::State& state) {
    RunSort(state, &qmp::TBase::SortByCat);
}
void BM_SortByCaption(benchmark::State& state) {
    RunSort(state, &qmp::TBase::SortByCaption);
}
void BM_SortByDescription(benchmark::State& state) {
    RunSort(state, &qmp::TBase::SortByDescription);
}
void BM_SortByURL(benchmark::State& state) {
    RunSort(state, &qmp::TBase::SortByURL);
}
void BM_SortByKeys(benchmark::State& state) {
    RunSort(state, &qmp::TBase::SortByKeys);
}

BENCHMARK(BM_SortByCat)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByCaption)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByDescription)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByURL)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByKeys)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
