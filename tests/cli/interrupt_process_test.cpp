// Ctrl+C to a running qmp: the scan stops before its next file, what it found
// is saved, and qmp ends as interrupted. The interrupt comes from inside the
// scan at a known file: a document filter (run for an audio file that gives
// no keywords) sends SIGINT to its parent, the qmp process.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/support/test_paths.h"

namespace qmp {
namespace {

namespace fs = std::filesystem;

TEST(InterruptProcess, CtrlCStopsTheScanAndSaves) {
    test::TempFolder folder;
    // A copy of qmp with a filters.ini of its own beside it.
    fs::create_directories(folder.path() / "bin");
    const fs::path qmp = folder.path() / "bin" / "qmp";
    fs::copy_file(fs::path(test::RuntimeDir()) / "qmp", qmp);
    const std::string script = folder.Write("interrupt.sh", "kill -INT $PPID\n");
    folder.Write("bin/filters.ini", "[Filters]\n.mp3=/bin/sh " + script + " %1\n");

    constexpr std::string_view kEmpty =
        "//Settings\r\nvar cg=new Array(\r\n'All Categories'\r\n);\r\n//DatabaseEnd\r\n";
    const std::string database = folder.Write("site/searchdb.js", kEmpty);
    // No keywords are kept, so the audio file goes on to its document filter.
    folder.Write("site/set.xml", "<settings><KeysCount value=\"0\"/></settings>");
    folder.Write("site/tags.xml", "<tags></tags>");
    folder.Write("site/words.xml", "<words></words>");
    folder.Write("site/a.html", "<title>A</title>");
    folder.Write("site/b.mp3", "not really audio");
    folder.Write("site/c.html", "<title>C</title>");
    folder.Write("site/d/e.html", "<title>E</title>");
    const std::string errors = (folder.path() / "stderr.txt").string();
    const std::string output = (folder.path() / "stdout.txt").string();

    // Read one after another, the file being read when Ctrl+C came is still
    // added. Read ahead, it is added only when its turn came before the
    // interrupt did; nothing after it ever is.
    for (const char* jobs : {"1", "3"}) {
        SCOPED_TRACE(jobs);
        folder.Write("site/searchdb.js", kEmpty);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            dup2(open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
            dup2(open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
            const std::string site = folder.dir() + "site";
            execl(qmp.c_str(), "qmp", "addsite", database.c_str(), site.c_str(), "--jobs", jobs,
                  nullptr);
            _exit(127);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);

        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
        EXPECT_EQ(test::ReadFileBytes(errors),
                  "Stopped: the links found so far are kept and saved.\n");
        const std::string saved = test::ReadFileBytes(database);
        const std::string links[] = {"var ln=new Array(\r\n'0^A^a.html',\r\n'0^^b.mp3'\r\n);",
                                     "var ln=new Array(\r\n'0^A^a.html'\r\n);",
                                     "var ln=new Array(\r\n''\r\n);"};
        const auto kept = std::find_if(std::begin(links), std::end(links), [&](const auto& l) {
            return saved.find(l) != std::string::npos;
        });
        ASSERT_NE(kept, std::end(links)) << saved;
        const auto added = 2 - (kept - std::begin(links));
        if (std::string_view(jobs) == "1") {
            EXPECT_EQ(added, 2);
        }
        EXPECT_EQ(test::ReadFileBytes(output),
                  "Links added: " + std::to_string(added) +
                      ". Links in the database: " + std::to_string(added) + ".\n");
    }
}

}  // namespace
}  // namespace qmp
