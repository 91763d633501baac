// Keyword rating of a realistic 30 kB page: the tokenizer alone, the rating
// with settings already loaded, and the per-document work of extraction
// (loading the three settings files, then rating the file). The rating also
// runs over a 47 kB page whose markup outweighs its text, as the pages of
// site generators and content systems do.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "core/file_buffer.h"
#include "decoding/database_text.h"
#include "indexing/keyword_rating.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/project_settings.h"
#include "indexing/rating_settings.h"
#include "system/temp_files.h"

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

const std::string& SamplePage() {
    static const std::string page =
        ReadWhole(std::string(QMP_SOURCE_DIR) + "tests/data/indexing/sample_page.html");
    return page;
}

const std::string& MarkupPage() {
    static const std::string page =
        ReadWhole(std::string(QMP_SOURCE_DIR) + "tests/data/indexing/markup_page.html");
    return page;
}

std::string DataFile(const char* name) {
    return std::string(QMP_SOURCE_DIR) + "data/" + name;
}

bool LoadShippedSettings(qmp::TRating& rating) {
    return qmp::LoadRatingSettings(rating, DataFile("tags.xml"), DataFile("words.xml"),
                                   DataFile("set.xml"));
}

// The sample page written to a file, removed at the end.
class PageFile final {
public:
    PageFile() : path_(qmp::TempFileName("qmpbench") + ".html") {
        std::ofstream(path_, std::ios::binary) << SamplePage();
    }
    ~PageFile() { std::remove(path_.c_str()); }
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void SetPageCounters(benchmark::State& state, const std::string& page = SamplePage()) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Tokenize(benchmark::State& state) {
    qmp::ResetProjectSettings();
    qmp::FileBuffer buffer = qmp::FileBufferFromBytes(SamplePage());
    qmp::Token token;
    std::size_t tokens = 0;
    for (auto _ : state) {
        qmp::SeekBuffer(buffer, 0, qmp::SeekOrigin::kBegin);
        do {
            qmp::NextToken(buffer, token);
            ++tokens;
        } while (token.Kind != qmp::tkEnd);
    }
    benchmark::DoNotOptimize(tokens);
    SetPageCounters(state);
}
BENCHMARK(BM_Tokenize);

// The tokens of a whole page read by one reader, their texts borrowed: the
// way the rating reads a document.
void BM_TokenReader(benchmark::State& state) {
    qmp::ResetProjectSettings();
    qmp::FileBuffer buffer = qmp::FileBufferFromBytes(SamplePage());
    qmp::TokenView token;
    std::size_t tokens = 0;
    for (auto _ : state) {
        qmp::SeekBuffer(buffer, 0, qmp::SeekOrigin::kBegin);
        qmp::TokenReader reader(buffer);
        do {
            reader.Next(token);
            ++tokens;
        } while (token.Kind != qmp::tkEnd);
    }
    benchmark::DoNotOptimize(tokens);
    SetPageCounters(state);
}
BENCHMARK(BM_TokenReader);

// The rating of `page` with the settings already loaded.
void RateLoaded(benchmark::State& state, const std::string& page, std::string_view namePath) {
    qmp::ResetProjectSettings();
    qmp::TRating loaded;
    if (!LoadShippedSettings(loaded)) state.SkipWithError("settings files not read");
    qmp::FileBuffer buffer = qmp::FileBufferFromBytes(page);
    std::string excerpt;
    for (auto _ : state) {
        qmp::TRating rating = loaded;
        qmp::RateBuffer(rating, buffer, namePath, excerpt, "utf-8");
        benchmark::DoNotOptimize(rating.WordList.data());
    }
    SetPageCounters(state, page);
}

void BM_RateBuffer(benchmark::State& state) {
    RateLoaded(state, SamplePage(), "/site/walks/quarry-trails.html");
}
BENCHMARK(BM_RateBuffer);

void BM_RateBufferMarkupPage(benchmark::State& state) {
    RateLoaded(state, MarkupPage(), "/site/events/guided-walks.html");
}
BENCHMARK(BM_RateBufferMarkupPage);

void BM_RateFile(benchmark::State& state) {
    qmp::ResetProjectSettings();
    qmp::TRating loaded;
    if (!LoadShippedSettings(loaded)) state.SkipWithError("settings files not read");
    const PageFile page;
    std::string excerpt;
    for (auto _ : state) {
        qmp::TRating rating = loaded;
        qmp::RateFile(rating, page.path(), page.path(), excerpt, "utf-8");
        benchmark::DoNotOptimize(rating.WordList.data());
    }
    SetPageCounters(state);
}
BENCHMARK(BM_RateFile);

// What extraction does for every document: a fresh rating loaded from the
// three files, then the rating of the file.
void BM_LoadSettingsAndRateFile(benchmark::State& state) {
    qmp::ResetProjectSettings();
    const PageFile page;
    std::string excerpt;
    for (auto _ : state) {
        qmp::TRating rating;
        LoadShippedSettings(rating);
        qmp::RateFile(rating, page.path(), page.path(), excerpt, "utf-8");
        benchmark::DoNotOptimize(rating.WordList.data());
    }
    SetPageCounters(state);
}
BENCHMARK(BM_LoadSettingsAndRateFile);

void BM_LoadSettings(benchmark::State& state) {
    qmp::ResetProjectSettings();
    for (auto _ : state) {
        qmp::TRating rating;
        benchmark::DoNotOptimize(LoadShippedSettings(rating));
    }
}
BENCHMARK(BM_LoadSettings);

}  // namespace
