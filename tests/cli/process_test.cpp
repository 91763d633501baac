// qmp as a process in a hostile world: two writers at once, a file size
// limit, and standard output that cannot be written.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "tests/cli/qmp_process.h"

namespace qmp {
namespace {

using test::ExpectNoFilesOfTheSave;
using test::kEmptyDatabase;
using test::ReadFileBytes;
using test::StartQmp;
using test::TempFolder;
using test::Urls;
using test::WaitFor;

std::multiset<std::string> SiteUrls(std::string_view site, int pages) {
    std::multiset<std::string> urls;
    for (int i = 0; i < pages; ++i)
        urls.insert(std::string(site) + "%2Fp" + std::to_string(i) + ".html");
    return urls;
}

TEST(QmpProcess, TwoWritersAtOnceLoseNoLinkAndTellTheTruth) {
    constexpr int kPages = 25;
    TempFolder folder;
    for (const char* site : {"a", "b"}) {
        for (int i = 0; i < kPages; ++i) {
            folder.Write(std::string(site) + "/p" + std::to_string(i) + ".html",
                         "<title>Page " + std::to_string(i) + "</title><p>stone</p>");
        }
    }
    const std::string database = folder.dir() + "searchdb.js";
    const std::string a = folder.dir() + "a";
    const std::string b = folder.dir() + "b";
    int refused = 0;
    for (const bool wait : {true, false}) {
        for (int round = 0; round < 20; ++round) {
            folder.Write("searchdb.js", kEmptyDatabase);
            std::vector<std::string> first = {"addsite", database, a};
            std::vector<std::string> second = {"addsite", database, b};
            if (wait) {
                first.push_back("--wait");
                second.push_back("--wait");
            }
            const std::string errA = folder.dir() + "errA";
            const std::string errB = folder.dir() + "errB";
            const pid_t runA = StartQmp(first, folder.dir() + "outA", errA);
            const pid_t runB = StartQmp(second, folder.dir() + "outB", errB);
            const int statusA = WaitFor(runA);
            const int statusB = WaitFor(runB);

            // Exit 0 means the links were saved; exit 1 that nothing was.
            std::multiset<std::string> expected;
            for (const auto& [status, err, site] :
                 {std::tuple{statusA, errA, "a"}, std::tuple{statusB, errB, "b"}}) {
                ASSERT_TRUE(WIFEXITED(status)) << status;
                if (WEXITSTATUS(status) == 0) {
                    expected.merge(SiteUrls(site, kPages));
                } else {
                    EXPECT_FALSE(wait) << ReadFileBytes(err);
                    EXPECT_EQ(WEXITSTATUS(status), 1);
                    EXPECT_NE(ReadFileBytes(err).find("is in use by qmp (process "),
                              std::string::npos)
                        << ReadFileBytes(err);
                    ++refused;
                }
            }
            EXPECT_EQ(Urls(database), expected) << (wait ? "--wait, " : "") << "round " << round;
            ExpectNoFilesOfTheSave(database);
        }
    }
    RecordProperty("refused", refused);
}

TEST(QmpProcess, AFileSizeLimitIsAFailedWriteLikeAnyOther) {
    TempFolder folder;
    for (int i = 0; i < 40; ++i)
        folder.Write("site/p" + std::to_string(i) + ".html", "<title>A page of stone</title>");
    const std::string database = folder.Write("site/searchdb.js", kEmptyDatabase);
    const pid_t child = StartQmp({"addsite", database, folder.dir() + "site"}, folder.dir() + "out",
                                 folder.dir() + "err", [] {
                                     const rlimit limit{1500, 1500};
                                     setrlimit(RLIMIT_FSIZE, &limit);
                                 });
    const int status = WaitFor(child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(ReadFileBytes(folder.dir() + "err"),
              "Error: Cannot write file " + database +
                  "~temp~: File too large. Saving has not completed.\n");
    EXPECT_EQ(ReadFileBytes(database), kEmptyDatabase);
    ExpectNoFilesOfTheSave(database);
}

TEST(QmpProcess, OutputThatCannotBeWrittenFailsTheRun) {
    TempFolder folder;
    std::string links;
    for (int i = 0; i < 2000; ++i)
        links += "'0^Page " + std::to_string(i) + "^p.html',\r\n";
    const std::string database =
        folder.Write("searchdb.js", "//Settings\r\n//v2format\r\nvar ln=new Array(\r\n" + links +
                                        ");\r\n//DatabaseEnd\r\n");
    const struct {
        const char* name;
        std::string out;
        std::function<void()> inChild;
        std::string err;
    } cases[] = {
        {"full disk",
         "/dev/full",
         {},
         "Error: Cannot write to standard output: No space left on device.\n"},
        {"file size limit", folder.dir() + "out",
         [] {
             const rlimit limit{4096, 4096};
             setrlimit(RLIMIT_FSIZE, &limit);
         },
         "Error: Cannot write to standard output: File too large.\n"},
        {"closed pipe", "-", {}, ""},
    };
    for (const auto& c : cases) {
        const pid_t child =
            StartQmp({"list", database, "--json"}, c.out, folder.dir() + "err", c.inChild);
        const int status = WaitFor(child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << c.name << status;
        EXPECT_EQ(ReadFileBytes(folder.dir() + "err"), c.err) << c.name;
    }
}

}  // namespace
}  // namespace qmp
