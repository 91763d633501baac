// Ctrl+C, SIGTERM or SIGHUP to a running qmp: the scan stops before its next
// file, what it found is saved, and qmp ends as the signal ends it. The
// signals come from inside the scan at a known file: a document filter (run
// for an audio file that gives no keywords) sends them to its parent, the
// qmp process.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/cli/qmp_process.h"

namespace qmp {
namespace {

namespace fs = std::filesystem;
using test::ExpectNoFilesOfTheSave;
using test::kEmptyDatabase;
using test::ReadFileBytes;
using test::StartQmp;
using test::TempFolder;
using test::Urls;
using test::WaitFor;

class InterruptProcess : public ::testing::Test {
protected:
    void SetUp() override {
        // A copy of qmp with a filters.ini of its own beside it.
        fs::create_directories(folder_.path() / "bin");
        qmp_ = (folder_.path() / "bin" / "qmp").string();
        fs::copy_file(fs::path(test::RuntimeDir()) / "qmp", qmp_);
        database_ = folder_.Write("site/searchdb.js", kEmptyDatabase);
        // No keywords are kept, so the audio file goes on to its document filter.
        folder_.Write("site/set.xml", "<settings><KeysCount value=\"0\"/></settings>");
        folder_.Write("site/tags.xml", "<tags></tags>");
        folder_.Write("site/words.xml", "<words></words>");
        folder_.Write("site/a.html", "<title>A</title>");
        folder_.Write("site/b.mp3", "not really audio");
        folder_.Write("site/c.html", "<title>C</title>");
        folder_.Write("site/d/e.html", "<title>E</title>");
    }

    // Runs addsite with `script` as the audio file's filter and `jobs`
    // readers; gives the wait status.
    int AddSite(const std::string& script, const std::string& jobs = "1") {
        const std::string path = folder_.Write("signal.sh", script);
        folder_.Write("bin/filters.ini", "[Filters]\n.mp3=/bin/sh " + path + " %1\n");
        return WaitFor(StartQmp({"addsite", database_, folder_.dir() + "site", "--jobs", jobs},
                                Output(), Errors(), {}, qmp_));
    }

    // The scan stopped at the audio file, the two links before saved, and
    // qmp ended by the signal.
    void ExpectStoppedAndSaved(const char* name, int signal) {
        folder_.Write("site/searchdb.js", kEmptyDatabase);
        const int status = AddSite(std::string("kill -") + name + " $PPID\n");
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << name << " " << status;
        EXPECT_EQ(ReadFileBytes(Errors()), "Stopped: the links found so far are kept and saved.\n");
        EXPECT_EQ(ReadFileBytes(Output()), "Links added: 2. Links in the database: 2.\n");
        const std::string saved = ReadFileBytes(database_);
        EXPECT_NE(saved.find("'0^A^a.html',\r\n'0^^b.mp3'\r\n);"), std::string::npos) << saved;
        EXPECT_EQ(saved.find("c.html"), std::string::npos);
        ExpectNoFilesOfTheSave(database_);
    }

    std::string Output() const { return folder_.dir() + "stdout.txt"; }
    std::string Errors() const { return folder_.dir() + "stderr.txt"; }

    TempFolder folder_;
    std::string qmp_;
    std::string database_;
};

TEST_F(InterruptProcess, CtrlCStopsTheScanAndSaves) {
    ExpectStoppedAndSaved("INT", SIGINT);
}

// Read ahead, the file being read when Ctrl+C came is added only when its
// turn came before the interrupt did; nothing after it ever is.
TEST_F(InterruptProcess, CtrlCWithSeveralReadersKeepsTheLinksInOrder) {
    const int status = AddSite("kill -INT $PPID\n", "3");
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_EQ(ReadFileBytes(Errors()), "Stopped: the links found so far are kept and saved.\n");
    const std::string saved = ReadFileBytes(database_);
    const std::string kept[] = {"var ln=new Array(\r\n'0^A^a.html',\r\n'0^^b.mp3'\r\n);",
                                "var ln=new Array(\r\n'0^A^a.html'\r\n);",
                                "var ln=new Array(\r\n''\r\n);"};
    const auto found = std::find_if(std::begin(kept), std::end(kept), [&](const auto& links) {
        return saved.find(links) != std::string::npos;
    });
    ASSERT_NE(found, std::end(kept)) << saved;
    const auto added = 2 - (found - std::begin(kept));
    EXPECT_EQ(ReadFileBytes(Output()), "Links added: " + std::to_string(added) +
                                           ". Links in the database: " + std::to_string(added) +
                                           ".\n");
    ExpectNoFilesOfTheSave(database_);
}

TEST_F(InterruptProcess, TerminateAndHangUpAreTakenLikeCtrlC) {
    ExpectStoppedAndSaved("TERM", SIGTERM);
    ExpectStoppedAndSaved("HUP", SIGHUP);
}

TEST_F(InterruptProcess, ASecondSignalEndsAtOnceAndLeavesNoFileBehind) {
    const int status = AddSite("kill -TERM $PPID; sleep 0.3; kill -HUP $PPID; sleep 0.3\n");
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGHUP) << status;
    EXPECT_EQ(ReadFileBytes(database_), kEmptyDatabase);
    EXPECT_EQ(Urls(database_).size(), 0u);
    ExpectNoFilesOfTheSave(database_);
}

}  // namespace
}  // namespace qmp
