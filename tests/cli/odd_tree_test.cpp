// qmp in an odd tree: paths typed in every way, entries no link should be
// made of, folders it may not read, a QMPLIT_CODEPAGE that names nothing, and
// files of 2 GB under a memory limit and a Ctrl+C.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/cli/qmp_run.h"
#include "tests/support/scoped_env.h"
#include "tests/support/unprivileged.h"

namespace qmp {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RunQmpIn;
using test::TempFolder;

constexpr std::string_view kEmpty =
    "//Settings\r\nvar cg=new Array(\r\n'All Categories'\r\n);\r\n//DatabaseEnd\r\n";

// The links' URLs as qmp list --json gives them, one a line.
std::string ListedUrls(const std::string& database) {
    const auto list = RunQmpIn("/", {"list", database, "--json"});
    std::string urls;
    for (std::size_t at = 0; (at = list.out.find("\"url\": \"", at)) != std::string::npos;) {
        at += 8;
        urls += list.out.substr(at, list.out.find('"', at) - at) + "\n";
    }
    return urls;
}

TEST(OddTree, UrlsDoNotDependOnHowThePathsWereTyped) {
    TempFolder root;
    root.Write("site/about.html", "<title>About</title>");
    root.Write("site/docs/a.html", "<title>A</title>");
    fs::create_directory_symlink(root.path(), root.path() / "linked");
    const std::string dir = root.dir();
    const struct {
        std::string currentDir;
        std::string database;
        std::string folder;
    } cases[] = {
        {dir, "searchdb.js", "site"},
        {dir + "site", "../searchdb.js", "."},
        {dir, "searchdb.js", "site/../site"},
        {dir, "./searchdb.js", "./site/./"},
        {dir, "searchdb.js", "site//"},
        {dir + "linked", "searchdb.js", "site"},
        {dir, "linked/searchdb.js", dir + "site"},
        {dir + "linked/site/docs", "../../searchdb.js", ".."},
    };
    for (const auto& c : cases) {
        root.Write("searchdb.js", kEmpty);
        const auto run = RunQmpIn(c.currentDir, {"addsite", c.database, c.folder});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ListedUrls(dir + "searchdb.js"), "site%2Fabout.html\nsite%2Fdocs%2Fa.html\n")
            << c.currentDir << ": " << c.database << " " << c.folder;
        // The update finds every page again however the database is reached.
        const auto update = RunQmpIn(c.currentDir, {"update", c.database});
        EXPECT_EQ(update.out, "Links updated: 2. Pages not found: 0.\n") << update.err;
    }
}

TEST(OddTree, EntriesLeftOutAreWarnings) {
    TempFolder site;
    TempFolder elsewhere;
    site.Write("searchdb.js", kEmpty);
    site.Write("a.html", "<title>A</title>");
    fs::create_symlink(elsewhere.Write("passwd", "root:x:0:0"), site.path() / "passwd.html");
    fs::create_symlink(site.path() / "gone.html", site.path() / "dangling.html");
    ASSERT_EQ(::mkfifo((site.dir() + "pipe.html").c_str(), 0600), 0);
    const auto run = RunQmpIn(site.dir(), {"addsite", "searchdb.js", "."});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Links added: 1. Links in the database: 1.\n");
    EXPECT_EQ(run.err,
              "Warning: " + site.dir() +
                  "dangling.html is a symbolic link that leads to no file; it is left out.\n"
                  "Warning: " +
                  site.dir() +
                  "passwd.html is a symbolic link to a file outside the scanned folder; it is "
                  "left out.\nWarning: " +
                  site.dir() + "pipe.html is a named pipe, not a file; it is left out.\n");
    EXPECT_EQ(ReadFileBytes(site.dir() + "searchdb.js").find("root"), std::string::npos);
}

// A folder qmp may not read: the scanned folder itself is an error that
// leaves the database as it was; a sub-folder is a warning.
TEST(OddTree, FoldersThatCannotBeRead) {
    TempFolder site;
    site.Write("searchdb.js", kEmpty);
    site.Write("a.html", "<title>A</title>");
    site.Write("locked/b.html", "<title>B</title>");
    site.Write("top/c.html", "<title>C</title>");
    fs::permissions(site.path(), fs::perms::all);
    fs::permissions(site.path() / "searchdb.js", fs::perms::owner_read | fs::perms::owner_write |
                                                     fs::perms::others_read |
                                                     fs::perms::others_write);
    fs::permissions(site.path() / "locked", fs::perms::none);
    fs::permissions(site.path() / "top", fs::perms::none);
    const std::string out = test::InUnprivilegedChild([&] {
        std::string text;
        for (const char* folder : {"top", "."}) {
            const auto run = RunQmpIn(site.dir(), {"addsite", "searchdb.js", folder});
            text += std::to_string(run.status) + "\n" + run.err + run.out;
            text += ReadFileBytes(site.dir() + "searchdb.js") == kEmpty ? "unchanged\n" : "saved\n";
        }
        return text;
    });
    fs::permissions(site.path() / "locked", fs::perms::owner_all);
    fs::permissions(site.path() / "top", fs::perms::owner_all);
    EXPECT_EQ(out,
              "1\nError: The folder " + site.dir() +
                  "top/ cannot be read: Permission denied.\nunchanged\n0\nWarning: The folder " +
                  site.dir() +
                  "locked/ cannot be read (Permission denied); its files are left out.\n"
                  "Warning: The folder " +
                  site.dir() +
                  "top/ cannot be read (Permission denied); its files are left out.\n"
                  "Links added: 1. Links in the database: 1.\nsaved\n");
}

TEST(OddTree, CodePageThatNamesNothingIsAnErrorAtStart) {
    const struct {
        const char* codePage;
        int status;
    } cases[] = {{"windows-1251", 0}, {"koi8-r", 0}, {"windows-9999", 2}, {"utf-8", 2}};
    for (const auto& c : cases) {
        test::ScopedEnv page("QMPLIT_CODEPAGE", c.codePage);
        const auto run = RunQmpIn("/", {"templates"});
        EXPECT_EQ(run.status, c.status) << c.codePage;
        EXPECT_EQ(run.err.starts_with("Error: QMPLIT_CODEPAGE is set to '" +
                                      std::string(c.codePage) + "'"),
                  c.status != 0)
            << run.err;
    }
}

// Starts qmp addsite on `site` (its searchdb.js) as a process of its own,
// its output in files beside the site, under a memory limit where the build
// lets one be set: a sanitizer's own bookkeeping needs more address space
// than any limit would leave, so there only a single allocation is bounded.
pid_t StartAddSite(const TempFolder& folder, const std::string& site) {
    const std::string qmp = test::RuntimeDir() + "qmp";
    const std::string errors = folder.dir() + "stderr.txt";
    const std::string database = site + "searchdb.js";
    const pid_t child = ::fork();
    if (child != 0) return child;
    ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
#if defined(__SANITIZE_ADDRESS__)
    ::setenv("ASAN_OPTIONS", "max_allocation_size_mb=512", 1);
#elif !defined(__SANITIZE_THREAD__)
    const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};  // 1 GB
    ::setrlimit(RLIMIT_AS, &limit);
#endif
    ::execl(qmp.c_str(), "qmp", "addsite", database.c_str(), site.c_str(), "--jobs", "2", nullptr);
    ::_exit(127);
}

// Files of 2 GB named like pages cost what their head and the depth limit
// need: the scan ends under the limit, and a Ctrl+C during it is seen at
// once, the links found so far saved.
TEST(OddTree, HugeFilesUnderAMemoryLimit) {
    TempFolder folder;
    const std::string site = folder.dir() + "site/";
    folder.Write("site/searchdb.js", kEmpty);
    folder.Write("site/a.html", "<title>A</title>");
    fs::resize_file(folder.Write("site/page.html", "<title>Big</title>"), std::uintmax_t{2} << 30);
    int status = 0;
    const pid_t whole = StartAddSite(folder, site);
    ASSERT_EQ(::waitpid(whole, &status, 0), whole);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << status << ReadFileBytes(folder.dir() + "stderr.txt");
    EXPECT_NE(ReadFileBytes(site + "searchdb.js").find("'0^Big^page.html'"), std::string::npos);

    // Enough of them that the scan is still running when Ctrl+C comes.
    folder.Write("site/searchdb.js", kEmpty);
    for (int i = 0; i < 100; ++i)
        fs::resize_file(folder.Write("site/p" + std::to_string(100 + i) + ".html", ""),
                        std::uintmax_t{2} << 30);
    const pid_t stopped = StartAddSite(folder, site);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(stopped, SIGINT);
    // Long before one such file could be read whole (over twenty seconds).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    pid_t ended = 0;
    while ((ended = ::waitpid(stopped, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (ended == 0) {
        ::kill(stopped, SIGKILL);
        ::waitpid(stopped, &status, 0);
        FAIL() << "Ctrl+C was not seen";
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_EQ(ReadFileBytes(folder.dir() + "stderr.txt"),
              "Stopped: the links found so far are kept and saved.\n");
}

}  // namespace
}  // namespace qmp
