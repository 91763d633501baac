// The main window with 100,000 links: opening the database into the list up
// to the first paint of the window, and a sort from a click on a column up to
// the repaint. Runs offscreen.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <vector>

#include "bench/engine_file.h"
#include "core/program_values.h"
#include "core/start_up.h"
#include "ui/main_frm.h"

namespace {

void BM_OpenIntoList(benchmark::State& state) {
    const qmp::bench::EngineFile file(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        qmp::InitDefaults();
        {
            qmp::ui::TMainForm form{qmp::ui::DialogCommands{}};
            form.resize(960, 600);
            form.show();
            state.ResumeTiming();
            form.ProcessCommandLine({file.path()});
            benchmark::DoNotOptimize(form.grab());
            state.PauseTiming();
            if (form.ViewModel()->rowCount() != state.range(0))
                state.SkipWithError("links missing after the open");
        }
        qmp::InitDefaults();
        state.ResumeTiming();
    }
}

// Arg: the column clicked (1 category, 2 URL, 3 caption, 4 description, 5 keywords).
void BM_ColumnClickSort(benchmark::State& state) {
    const qmp::bench::EngineFile file(100000);
    qmp::InitDefaults();
    qmp::ui::TMainForm form{qmp::ui::DialogCommands{}};
    form.resize(960, 600);
    form.show();
    form.ProcessCommandLine({file.path()});
    const std::vector<qmp::TBaseRecord> unsorted = qmp::Links.Records();
    QHeaderView* header = form.LinksView()->horizontalHeader();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        qmp::Links.Clear();
        for (const qmp::TBaseRecord& link : unsorted)
            qmp::Links.Append(link);
        state.ResumeTiming();
        emit header->sectionClicked(column);
        benchmark::DoNotOptimize(form.grab());
    }
    qmp::InitDefaults();
}

BENCHMARK(BM_OpenIntoList)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ColumnClickSort)->DenseRange(1, 5)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
