// A whole folder scan: a generated website of 10,000 realistic pages (20 to
// 60 kB each, in nested folders) scanned into an empty database and saved,
// with the documents read by one thread, by two and by one for each core.
// Reports pages per second, the CPU time of all threads per page and the
// process's peak memory. The site is made once in the temporary folder and
// kept for later runs. A last benchmark shows that a page costs the same with
// a words.xml of a few kilobytes and of 2.4 MB.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/database.h"
#include "core/program_values.h"
#include "core/start_up.h"
#include "indexing/folder_scan.h"
#include "indexing/project_settings.h"
#include "indexing/rating_settings.h"
#include "system/paths.h"
#include "system/temp_files.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 10000;
constexpr int kSections = 10;     // top folders
constexpr int kSubsections = 10;  // folders in each
constexpr int kPagesPerFolder = kPages / (kSections * kSubsections);

const std::vector<std::string>& Vocabulary() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> list;
        const char* stems[] = {
            "quarry",   "granite",  "slate",    "limestone", "railway",  "incline", "village",
            "valley",   "river",    "bridge",   "footpath",  "moorland", "heather", "kiln",
            "engine",   "workers",  "strike",   "history",   "museum",   "archive", "letter",
            "walk",     "trail",    "map",      "distance",  "parking",  "weather", "summit",
            "cottage",  "chapel",   "market",   "harbour",   "steamer",  "wagon",   "winding",
            "drum",     "chisel",   "hammer",   "powder",    "blast",    "sett",    "mason",
            "carver",   "memorial", "society",  "member",    "meeting",  "minutes", "school",
            "teacher",  "children", "family",   "emigrant",  "ship",     "america", "vermont",
            "autumn",   "winter",   "spring",   "summer",    "morning",  "evening", "century",
            "record",   "survey",   "geology",  "fossil",    "mineral",  "crystal", "quartz",
            "feldspar", "mica",     "cleavage", "bedding",   "fault",    "seam",    "face",
            "gallery",  "level",    "shaft",    "adit",      "tip",      "spoil",   "dressing",
        };
        const char* small[] = {"the",  "a",  "of",  "and",  "to", "in",  "on", "for", "with", "by",
                               "from", "at", "was", "were", "is", "are", "it", "its", "they"};
        for (const char* s : stems) {
            list.push_back(s);
            list.push_back(std::string(s) + "s");
        }
        for (const char* s : small)
            for (int i = 0; i < 4; ++i)
                list.push_back(s);  // common words are common
        return list;
    }();
    return words;
}

std::string Sentence(std::mt19937& random, int words) {
    const auto& vocabulary = Vocabulary();
    std::uniform_int_distribution<std::size_t> pick(0, vocabulary.size() - 1);
    std::string text;
    for (int i = 0; i < words; ++i) {
        std::string word = vocabulary[pick(random)];
        if (i == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
        if (i > 0) text.push_back(' ');
        text.append(word);
        if (random() % 23 == 0) {
            text.push_back(' ');
            text.append(std::to_string(random() % 2000));
        }
    }
    return text + ". ";
}

// One page of 20 to 60 kB: a head with metas, a style and a script block,
// navigation, paragraphs with inline markup and links, a table, a footer.
std::string Page(std::mt19937& random, int number) {
    std::ostringstream page;
    const std::size_t size = 20000 + random() % 40000;
    page << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         << "<title>" << Sentence(random, 6) << "(page " << number << ")</title>\n"
         << "<meta name=\"description\" content=\"" << Sentence(random, 18) << "\">\n"
         << "<meta name=\"keywords\" content=\"quarry, " << Vocabulary()[random() % 40] << ", "
         << Vocabulary()[random() % 60] << "\">\n"
         << "<link rel=\"stylesheet\" href=\"../../css/site.css\">\n"
         << "<style>\n  body { font-family: Georgia, serif; max-width: 60em; }\n"
         << "  nav li { display: inline-block; margin-right: 1em; }\n</style>\n"
         << "<script>\n  var folded = JSON.parse(localStorage.getItem('folded') || '[]');\n"
         << "  function toggle(id) { document.getElementById(id).classList.toggle('f'); }\n"
         << "</script>\n</head>\n<body>\n<nav><ul>\n";
    for (int i = 0; i < 8; ++i)
        page << "<li><a href=\"../s" << i << "/index.html\">" << Vocabulary()[random() % 80]
             << "</a></li>\n";
    page << "</ul></nav>\n<main>\n<article>\n<h1>" << Sentence(random, 5) << "</h1>\n";
    int paragraph = 0;
    while (static_cast<std::size_t>(page.tellp()) + 400 < size) {
        if (++paragraph % 7 == 0)
            page << "<h2 id=\"p" << paragraph << "\">" << Sentence(random, 4) << "</h2>\n";
        page << "<p>" << Sentence(random, 12) << "<a href=\"page" << random() % 100 << ".html\">"
             << Sentence(random, 3) << "</a> " << Sentence(random, 15) << "<em>"
             << Sentence(random, 2) << "</em>" << Sentence(random, 20) << "</p>\n";
        if (paragraph % 11 == 0) {
            page << "<table class=\"walks\"><tr><th>Walk</th><th>km</th></tr>\n";
            for (int row = 0; row < 5; ++row)
                page << "<tr><td>" << Sentence(random, 3) << "</td><td>" << random() % 30 << "."
                     << random() % 10 << "</td></tr>\n";
            page << "</table>\n";
        }
    }
    page << "</article>\n</main>\n<footer><p>&copy; 2024 The Quarry Society &ndash; "
         << "<a href=\"../../contact.html\">contact</a></p></footer>\n</body>\n</html>\n";
    return page.str();
}

// The generated site, made once; a marker file says it is complete.
const std::string& Site() {
    static const std::string site = [] {
        const fs::path root = fs::path(qmp::TempDir()) / "qmp-scan-bench-site-v1";
        const fs::path done = root / ".complete";
        if (!fs::exists(done)) {
            fs::remove_all(root);
            std::mt19937 random(20240611);
            int number = 0;
            for (int s = 0; s < kSections; ++s) {
                for (int t = 0; t < kSubsections; ++t) {
                    const fs::path folder =
                        root / ("section" + std::to_string(s)) / ("topic" + std::to_string(t));
                    fs::create_directories(folder);
                    for (int p = 0; p < kPagesPerFolder; ++p) {
                        std::ofstream(folder / ("page" + std::to_string(p) + ".html"),
                                      std::ios::binary)
                            << Page(random, ++number);
                    }
                }
            }
            std::ofstream(done) << "ok\n";
        }
        return root.string() + "/";
    }();
    return site;
}

double PeakMemoryMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// The CPU time of the whole process, every thread, in seconds.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

class SilentScan final : public qmp::ScanHost {
public:
    void ShowProgress(std::string_view, int) override {}
    void ReportPageNotFound(std::string_view) override {}
};

// Puts an empty database at `database`.
void EmptyDatabase(const std::string& database) {
    fs::copy_file(std::string(QMP_SOURCE_DIR) + "data/Templates/Full page/searchdb.js", database,
                  fs::copy_options::overwrite_existing);
}

// Scans `site` into the database at `database` and saves it; gives the CPU
// time it took, every thread's.
double Scan(benchmark::State& state, const std::string& site, const std::string& database) {
    const double before = ProcessCpuSeconds();
    qmp::NullHost host;
    SilentScan scan;
    qmp::OpenDatabase(host, database);
    qmp::StopRequested = false;
    qmp::ScanFolder(scan, site, 0, true, false);
    qmp::StopRequested = true;
    if (!qmp::SaveDatabase(host)) state.SkipWithError("the save failed");
    return ProcessCpuSeconds() - before;
}

// Scan into an empty database, from the program's start-up state with the
// project's settings loaded, as the window has them after opening it.
double ScanIntoEmptyDatabase(benchmark::State& state, const std::string& site,
                             const std::string& database) {
    state.PauseTiming();
    EmptyDatabase(database);
    qmp::InitDefaults();
    qmp::ResetProjectSettings();
    qmp::LoadProjectSettings(database);
    state.ResumeTiming();
    return Scan(state, site, database);
}

void ReportPages(benchmark::State& state, int pages, double cpuSeconds) {
    const double read = static_cast<double>(pages) * static_cast<double>(state.iterations());
    state.counters["pages/s"] = benchmark::Counter(read, benchmark::Counter::kIsRate);
    state.counters["cpu_us/page"] = cpuSeconds * 1e6 / read;
}

// The argument is the number of documents read at once; 0: one for each core.
void BM_ScanSite(benchmark::State& state) {
    const std::string site = Site();
    qmp::SetProgramDirOverride(std::string(QMP_SOURCE_DIR) + "data/");
    qmp::ScanJobs = static_cast<int>(state.range(0));
    double cpu = 0.0;
    for (auto _ : state)
        cpu += ScanIntoEmptyDatabase(state, site, site + "searchdb.js");
    if (qmp::Links.Count() != kPages) state.SkipWithError("not every page was added");
    ReportPages(state, kPages, cpu);
    state.counters["threads"] = qmp::ScanJobCount();
    state.counters["peak_MB"] = PeakMemoryMegabytes();
    qmp::ScanJobs = 0;
    qmp::SetProgramDirOverride("");
}
BENCHMARK(BM_ScanSite)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->Arg(0)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The same scan again over the full database: every file is found linked
// already, so the cost is the lookup of its URL among 10,000 (no extraction).
void BM_RescanSite(benchmark::State& state) {
    const std::string site = Site();
    qmp::SetProgramDirOverride(std::string(QMP_SOURCE_DIR) + "data/");
    qmp::NullHost host;
    SilentScan scan;
    qmp::OpenDatabase(host, site + "searchdb.js");  // as the scan above left it
    if (qmp::Links.Count() != kPages) state.SkipWithError("run BM_ScanSite first");
    for (auto _ : state) {
        qmp::StopRequested = false;
        qmp::ScanFolder(scan, site, 0, true, false);
        qmp::StopRequested = true;
    }
    if (qmp::Links.Count() != kPages) state.SkipWithError("a file was added again");
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(kPages) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
    qmp::SetProgramDirOverride("");
}
BENCHMARK(BM_RescanSite)->Unit(benchmark::kMillisecond);

// A small site whose project folder holds a words.xml of `kilobytes` (none:
// 0, the program's own is used), made once: 200 of the pages above.
std::string SettingsSite(int kilobytes) {
    const fs::path root =
        fs::path(qmp::TempDir()) / ("qmp-scan-bench-words-" + std::to_string(kilobytes) + "-v1");
    const fs::path done = root / ".complete";
    if (!fs::exists(done)) {
        fs::remove_all(root);
        fs::create_directories(root / "pages");
        std::mt19937 random(20240612);
        for (int p = 0; p < 200; ++p)
            std::ofstream(root / "pages" / ("page" + std::to_string(p) + ".html"), std::ios::binary)
                << Page(random, p);
        if (kilobytes > 0) {
            // Groups of made-up words, rated like favoured words.
            std::ofstream words(root / "words.xml", std::ios::binary);
            words << "<words>\n";
            std::size_t size = 0;
            while (size < static_cast<std::size_t>(kilobytes) * 1024) {
                std::string group = "<group rating=\"50\">";
                for (int w = 0; w < 500; ++w) {
                    for (int c = 0; c < 8; ++c)
                        group.push_back(static_cast<char>('a' + random() % 26));
                    group.push_back(' ');
                }
                group += "</group>\n";
                size += group.size();
                words << group;
            }
            words << "</words>\n";
        }
        std::ofstream(done) << "ok\n";
    }
    return root.string() + "/";
}

// The argument is the size of the project's words.xml in kilobytes.
void BM_PageCostBySettingsSize(benchmark::State& state) {
    const std::string site = SettingsSite(static_cast<int>(state.range(0)));
    qmp::SetProgramDirOverride(std::string(QMP_SOURCE_DIR) + "data/");
    qmp::ScanJobs = 1;
    // The first reading of the files in a run (again when set.xml turns
    // UTF-8 mode on) is a cost of the scan, not of its pages: a first scan,
    // not timed, has made it, as an earlier scan in the window has.
    const std::string database = site + "searchdb.js";
    EmptyDatabase(database);
    qmp::InitDefaults();
    qmp::ResetProjectSettings();
    qmp::LoadProjectSettings(database);
    Scan(state, site + "pages/", database);
    double cpu = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        EmptyDatabase(database);
        state.ResumeTiming();
        cpu += Scan(state, site + "pages/", database);
    }
    if (qmp::Links.Count() != 200) state.SkipWithError("not every page was added");
    ReportPages(state, 200, cpu);
    qmp::ScanJobs = 0;
    qmp::SetProgramDirOverride("");
}
BENCHMARK(BM_PageCostBySettingsSize)
    ->ArgName("words_kB")
    ->Arg(0)
    ->Arg(2400)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
