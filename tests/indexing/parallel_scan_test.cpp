// Scans and updates with documents read on several threads: the database,
// the progress shown and the warnings are those of one thread, a Stop keeps
// only what was added in order, and an edit of the settings during a scan
// takes effect from then on.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "core/database.h"
#include "indexing/link_update.h"
#include "system/paths.h"
#include "tests/indexing/project_fixture.h"

namespace qmp {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RecordingScanHost;
using test::StoppingHost;
using test::TempFolder;

constexpr int kJobCounts[] = {1, 2, 8};
constexpr int kMoreJobs[] = {2, 8};  // compared with one

// ScanJobs for the time of a test.
class ScopedJobs final {
public:
    explicit ScopedJobs(int jobs) { ScanJobs = jobs; }
    ~ScopedJobs() { ScanJobs = 0; }
    ScopedJobs(const ScopedJobs&) = delete;
    ScopedJobs& operator=(const ScopedJobs&) = delete;
};

// What a scan or an update did: the database file, and what the host saw.
struct Outcome {
    std::string database;
    std::vector<std::string> shown;
    std::vector<std::string> warnings;
    bool operator==(const Outcome&) const = default;
};

// Scans `site` into a database that holds `start`, or updates that database,
// with `jobs` readers; the program's rating files are the shipped ones.
Outcome Run(const std::string& site, std::string_view start, bool update, int jobs) {
    test::ProgramState state;
    ScopedJobs scopedJobs(jobs);
    SetProgramDirOverride(test::SourceDir() + "data/");
    const std::string database = site + "searchdb.js";
    std::ofstream(database, std::ios::binary) << start;
    NullHost host;
    OpenDatabase(host, database);
    LoadProjectSettings(database);
    RecordingScanHost scan;
    if (update) {
        UpdateLinks(scan);
    } else {
        ScanFolder(scan, site, 0, true, false);
    }
    StopRequested = true;
    EXPECT_TRUE(SaveDatabase(host));
    SetProgramDirOverride("");
    return {ReadFileBytes(database), std::move(scan.shown), std::move(scan.warnings)};
}

std::string EmptyDatabase() {
    return ReadFileBytes(test::SourceDir() + "data/Templates/Full page/searchdb.js");
}

// Scans `site` and then updates it after `change` with every job count:
// every count must do what one reader does. `pages`: the files to link, when
// known.
template <typename Change>
void ExpectTheSameForEveryJobCount(const std::string& site, std::optional<int> pages,
                                   Change change) {
    const Outcome scanned = Run(site, EmptyDatabase(), false, 1);
    ASSERT_FALSE(scanned.shown.empty());
    if (pages) {
        ASSERT_EQ(scanned.shown.size(), static_cast<std::size_t>(*pages));
    }
    for (int jobs : kMoreJobs)
        EXPECT_TRUE(Run(site, EmptyDatabase(), false, jobs) == scanned) << jobs << " jobs";

    change();
    const Outcome updated = Run(site, scanned.database, true, 1);
    EXPECT_NE(updated.database, scanned.database);
    EXPECT_FALSE(updated.warnings.empty());
    for (int jobs : kMoreJobs)
        EXPECT_TRUE(Run(site, scanned.database, true, jobs) == updated) << jobs << " jobs";
}

TEST(ParallelScan, ExampleSiteComesOutTheSameForEveryJobCount) {
    TempFolder folder;
    fs::copy(test::SourceDir() + "examples/site", folder.path(), fs::copy_options::recursive);
    const std::string site = folder.dir();
    ExpectTheSameForEveryJobCount(site, std::nullopt, [&] {
        folder.Write("set.xml", ReadFileBytes(site + "set.xml") + "<KeysCount value=\"4\"/>");
        fs::remove(site + "walks/ridge-walk.html");
    });
}

// A site of many small pages of every kind the reader knows: metas, marks,
// references, UTF-8, hidden and left-out text, pages cut by the depth limit
// right after a word and a blank, stop folders and settings files.
int WriteGeneratedSite(const TempFolder& site, int pages) {
    site.Write(
        "set.xml",
        "<settings><KeysCount value=\"6\"/><BeginOfFile value=\"150\"/>"
        "<EndOfFile value=\"50\"/><WordPositionWeight value=\"100\"/>"
        "<WordCaseWeight value=\"100\"/><YyyRating value=\"120\"/><zzzRating value=\"90\"/>"
        "<TagWeight value=\"100\"/><CountWeight value=\"30\"/><ExistingWeight value=\"100\"/>"
        "<FileNameWeight value=\"40\"/><KeywordRating value=\"300\"/>"
        "<DescOffset value=\"3\"/><DescLength value=\"60\"/><IndexDepthLimit value=\"1\"/>"
        "<UTF8Mode value=\"1\"/><StopDirs value=\"skip\"/></settings>");
    site.Write("tags.xml",
               "<tags><title rating=\"300\"/><h1 rating=\"200\"/>"
               "<em rating=\"50\"/><script rating=\"-100\"/></tags>");
    site.Write("words.xml",
               "<words><group rating=\"-100\">the and of a</group>"
               "<group rating=\"200\">granite slate</group></words>");
    const char* words[] = {"granite", "Slate",   "quarry", "the",         "and", "caf\xC3\xA9",
                           "kiln",    "WAGON",   "of",     "gr\xC3\xBCn", "mp3", "e-mail",
                           "2024",    "incline", "a",      "don't"};
    std::mt19937 random(20250611);
    const auto text = [&](int count) {
        std::string out;
        for (int i = 0; i < count; ++i)
            out += std::string(words[random() % std::size(words)]) + (random() % 9 ? " " : ", ");
        return out;
    };
    int linked = 0;
    for (int i = 0; i < pages; ++i) {
        const bool skipped = i % 97 == 0;
        std::string name =
            (skipped ? "skip/"
                     : "s" + std::to_string(i % 10) + "/t" + std::to_string(i / 10 % 10) + "/") +
            "p" + std::to_string(i) + (i % 17 == 0 ? ".txt" : ".html");
        std::string page = "<html><head><title>" + text(3) + "</title>";
        if (i % 3 == 0) page += "<meta name=\"description\" content=\"" + text(5) + "\">";
        if (i % 5 == 0) page += "<meta name=\"keywords\" content=\"" + text(2) + "\">";
        if (i % 7 == 0) page += "<meta name=\"quarrymap-category\" content=\"2\">";
        page += "</head><body><h1>" + text(2) + "</h1><p>" + text(12) + "&amp; &eacute;t&eacute; " +
                std::to_string(random() % 500) + ". <em>" + text(2) + "</em></p>";
        if (i % 11 == 0) page += "<!-- qmpnoindex -->" + text(4) + "<!-- qmpindex -->";
        if (i % 13 == 0) page += "<script>var hidden = 'granite';</script>";
        if (i % 19 == 0) {
            // Cut by the depth limit (1 KB) right after a word and its blank.
            std::string filler;
            while (filler.size() + page.size() < 1024)
                filler += "x ";
            page += filler + "wagon kiln";
        }
        page += "<p>" + text(6) + "</p></body></html>\n";
        site.Write(name, page);
        linked += skipped ? 0 : 1;
    }
    site.Write("s1/set.xml", "<settings></settings>");  // never a link
    return linked;
}

// Labelled "large" (see tests/CMakeLists.txt): it reads ten thousand pages
// six times, in about half a minute under the sanitizers.
TEST(ParallelScanLarge, GeneratedSiteComesOutTheSameForEveryJobCount) {
    TempFolder folder;
    const int pages = WriteGeneratedSite(folder, 10000);
    const std::string site = folder.dir();
    ExpectTheSameForEveryJobCount(site, pages, [&] {
        folder.Write("set.xml", ReadFileBytes(site + "set.xml") + "<KeysCount value=\"3\"/>");
        for (int i : {1, 2, 5000, 9998})
            fs::remove(site + "s" + std::to_string(i % 10) + "/t" + std::to_string(i / 10 % 10) +
                       "/p" + std::to_string(i) + ".html");
    });
}

std::vector<std::string> LinkUrls() {
    std::vector<std::string> urls;
    for (const TBaseRecord& record : Links.Records())
        urls.push_back(record.URL);
    return urls;
}

// Entries left out are noted in their place among the files' progress, the
// same for every number of readers.
TEST(ParallelScan, LeftOutEntriesAreNotedInTheirPlace) {
    TempFolder folder;
    int leftOut = 0;
    for (int i = 0; i < 60; ++i) {
        const std::string name = folder.dir() + "p" + std::to_string(10 + i) + ".html";
        leftOut += i % 7 == 3 ? ::mkfifo(name.c_str(), 0600) + 1 : 0;
        if (i % 7 != 3) folder.Write(name.substr(folder.dir().size()), "<title>P</title>");
    }
    const Outcome one = qmp::Run(folder.dir(), EmptyDatabase(), false, 1);
    EXPECT_EQ(std::count_if(one.shown.begin(), one.shown.end(),
                            [](const std::string& s) { return s.starts_with("skipped: "); }),
              leftOut);
    for (int jobs : kMoreJobs)
        EXPECT_TRUE(qmp::Run(folder.dir(), EmptyDatabase(), false, jobs) == one) << jobs << " jobs";
}

TEST(ParallelScan, StopKeepsTheFilesAddedInOrder) {
    for (int jobs : kJobCounts) {
        test::Project project;
        ScopedJobs scopedJobs(jobs);
        for (int i = 0; i < 20; ++i)
            project.Write("p" + std::to_string(10 + i) + ".html", "<title>P</title>");
        StoppingHost host(3);
        ScanFolder(host, project.Dir(), 0, true, false);
        EXPECT_EQ(LinkUrls(), (std::vector<std::string>{"p10.html", "p11.html", "p12.html"}))
            << jobs;
        EXPECT_EQ(host.shown.size(), 3u) << jobs;
    }
}

// A host that presses Stop while the scan waits for the slow file.
class WaitingHost final : public RecordingScanHost {
public:
    void WhileWaiting() override {
        if (shown.empty() || shown.back().find("b.mp3") == std::string::npos) return;
        ++waits;
        StopRequested = true;
    }
    int waits = 0;
};

TEST(ParallelScan, WaitingForASlowFileLetsTheWindowStopTheScan) {
    for (int jobs : {2, 8}) {
        test::Project project("<KeysCount value=\"0\"/>");  // audio goes on to its filter
        ScopedJobs scopedJobs(jobs);
        TempFolder program;
        const std::string script = program.Write("slow.sh", "sleep 1; echo slow words\n");
        program.Write("filters.ini", "[Filters]\n.mp3=/bin/sh " + script + " %1\n");
        SetProgramDirOverride(program.dir());
        for (const char* name : {"a.html", "b.mp3", "c.html", "d.html", "e.html"})
            project.Write(name, "x");
        WaitingHost host;
        ScanFolder(host, project.Dir(), 0, true, false);
        SetProgramDirOverride("");
        // The file waited for is still added; nothing read ahead after it is.
        EXPECT_GE(host.waits, 1) << jobs;
        EXPECT_EQ(LinkUrls(), (std::vector<std::string>{"a.html", "b.mp3"})) << jobs;
    }
}

// A host that rewrites the project's set.xml while the n-th file is shown.
class EditingHost final : public RecordingScanHost {
public:
    EditingHost(const test::Project& project, std::size_t editAt)
        : project_(project), editAt_(editAt) {}
    void ShowProgress(std::string_view path, int linkCount) override {
        RecordingScanHost::ShowProgress(path, linkCount);
        if (shown.size() == editAt_)
            project_.Write("set.xml", test::SetXml("<KeysCount value=\"1\"/>"));
    }

private:
    const test::Project& project_;
    std::size_t editAt_;
};

TEST(ParallelScan, AnEditOfTheSettingsTakesEffectFromThenOn) {
    for (int jobs : kJobCounts) {
        test::Project project;  // three keywords a page
        ScopedJobs scopedJobs(jobs);
        for (int i = 0; i < 40; ++i)
            project.Write("p" + std::to_string(10 + i) + ".html", "alpha beta gamma");
        EditingHost host(project, 5);
        ScanFolder(host, project.Dir(), 0, true, false);
        ASSERT_EQ(Links.Count(), 40) << jobs;
        std::vector<std::size_t> kept;
        for (const TBaseRecord& record : Links.Records())
            kept.push_back(record.Keywords.size());
        EXPECT_EQ(kept.front(), 3u) << jobs;
        EXPECT_EQ(kept.back(), 1u) << jobs;
        EXPECT_TRUE(std::is_sorted(kept.rbegin(), kept.rend())) << jobs;
    }
}

}  // namespace
}  // namespace qmp
