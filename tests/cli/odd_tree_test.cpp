// qmp in an odd tree: paths typed in every way, folders it may not read, a
// QMPLIT_CODEPAGE that names nothing, and files of 2 GB under a memory limit
// and a Ctrl+C.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/cli/qmp_run.h"
#include "tests/support/scoped_env.h"

namespace qmp {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RunQmpIn;
using test::TempFolder;

constexpr std::string_view kEmpty =
    "//Settings\r\nvar cg=new Array(\r\n'All Categories'\r\n);\r\n//DatabaseEnd\r\n";

TEST(OddTree, UrlsDoNotDependOnHowThePathsWereTyped) {
    TempFolder root;
    root.Write("site/about.html", "<title>About</title>");
    root.Write("site/docs/a.html", "<title>A</title>");
    fs::create_directory_symlink(root.path(), root.path() / "linked");
    const std::string dir = root.dir();
    const struct {
        std::string currentDir, database, folder;
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
        EXPECT_EQ(run.out, "Links added: 2. Links in the database: 2.\n") << run.err;
        const std::string saved = ReadFileBytes(dir + "searchdb.js");
        for (const char* url : {"^site%2Fabout.html'", "^site%2Fdocs%2Fa.html'"})
            EXPECT_NE(saved.find(url), std::string::npos) << c.database << " " << c.folder;
        // The update finds every page again however the database is reached.
        const auto update = RunQmpIn(c.currentDir, {"update", c.database});
        EXPECT_EQ(update.out, "Links updated: 2. Pages not found: 0.\n") << update.err;
    }
}

TEST(OddTree, CodePageThatNamesNothingIsAnErrorAtStart) {
    for (const char* codePage : {"koi8-r", "windows-9999", "utf-8"}) {
        test::ScopedEnv page("QMPLIT_CODEPAGE", codePage);
        const auto run = RunQmpIn("/", {"templates"});
        const bool known = codePage[0] == 'k';
        EXPECT_EQ(run.status, known ? 0 : 2) << codePage;
        EXPECT_EQ(run.err.starts_with("Error: QMPLIT_CODEPAGE is set to '" + std::string(codePage)),
                  !known)
            << run.err;
    }
}

// Starts qmp with `arguments` as a process of its own, its standard error in
// the file stderr.txt of `folder`. `unprivileged`: as the user nobody when
// the tests run as root (who may read any folder). Under a memory limit
// where the build lets one be set: a sanitizer's own bookkeeping needs more
// address space than a limit would leave, so there only one allocation is
// bounded.
pid_t StartQmp(const TempFolder& folder, const std::vector<std::string>& arguments,
               bool unprivileged = false) {
    const std::string qmp = test::RuntimeDir() + "qmp";
    const std::string errors = folder.dir() + "stderr.txt";
    std::vector<char*> argv{const_cast<char*>("qmp")};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child != 0) return child;
    ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666), STDERR_FILENO);
    ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
    if (unprivileged && ::getuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(126);
#if defined(__SANITIZE_ADDRESS__)
    ::setenv("ASAN_OPTIONS", "max_allocation_size_mb=512", 1);
#elif !defined(__SANITIZE_THREAD__)
    const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};  // 1 GB
    ::setrlimit(RLIMIT_AS, &limit);
#endif
    ::execv(qmp.c_str(), argv.data());
    ::_exit(127);
}

int ExitStatus(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A folder qmp may not read: the scanned folder itself is an error that
// leaves the database as it was; a sub-folder is a warning.
TEST(OddTree, FoldersThatCannotBeRead) {
    TempFolder folder;
    const std::string site = folder.dir() + "site/";
    folder.Write("site/searchdb.js", kEmpty);
    folder.Write("site/a.html", "<title>A</title>");
    folder.Write("site/locked/b.html", "<title>B</title>");
    fs::permissions(folder.path(), fs::perms::all);
    fs::permissions(site, fs::perms::all);
    fs::permissions(site + "searchdb.js", fs::perms::all);
    fs::permissions(site + "locked", fs::perms::none);
    const std::string database = site + "searchdb.js";
    EXPECT_EQ(ExitStatus(StartQmp(folder, {"addsite", database, site + "locked"}, true)), 1);
    EXPECT_EQ(ReadFileBytes(folder.dir() + "stderr.txt"),
              "Error: The folder " + site + "locked/ cannot be read: Permission denied.\n");
    EXPECT_EQ(ReadFileBytes(database), kEmpty);
    EXPECT_EQ(ExitStatus(StartQmp(folder, {"addsite", database, site}, true)), 0);
    EXPECT_EQ(ReadFileBytes(folder.dir() + "stderr.txt"),
              "Warning: The folder " + site +
                  "locked/ cannot be read (Permission denied); its files are left out.\n");
    EXPECT_NE(ReadFileBytes(database).find("'0^A^a.html'"), std::string::npos);
    fs::permissions(site + "locked", fs::perms::owner_all);
}

// Files of 2 GB named like pages cost what their head and the depth limit
// need: the scan ends under the limit, and a Ctrl+C during it is seen at
// once, the links found so far saved.
TEST(OddTree, HugeFilesUnderAMemoryLimit) {
    TempFolder folder;
    const std::string site = folder.dir() + "site/";
    const std::vector<std::string> addSite{"addsite", site + "searchdb.js", site, "--jobs", "2"};
    folder.Write("site/searchdb.js", kEmpty);
    fs::resize_file(folder.Write("site/page.html", "<title>Big</title>"), std::uintmax_t{2} << 30);
    EXPECT_EQ(ExitStatus(StartQmp(folder, addSite)), 0)
        << ReadFileBytes(folder.dir() + "stderr.txt");
    EXPECT_NE(ReadFileBytes(site + "searchdb.js").find("'0^Big^page.html'"), std::string::npos);

    // Enough of them that the scan still runs when Ctrl+C comes.
    for (int i = 0; i < 100; ++i)
        fs::resize_file(folder.Write("site/p" + std::to_string(100 + i) + ".html", ""),
                        std::uintmax_t{2} << 30);
    const pid_t stopped = StartQmp(folder, addSite);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(stopped, SIGINT);
    // Long before one such file could be read whole (over twenty seconds).
    int status = 0;
    pid_t ended = 0;
    for (int wait = 0; wait < 500 && (ended = ::waitpid(stopped, &status, WNOHANG)) == 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (ended == 0) {
        ::kill(stopped, SIGKILL);
        ::waitpid(stopped, &status, 0);
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_EQ(ReadFileBytes(folder.dir() + "stderr.txt"),
              "Stopped: the links found so far are kept and saved.\n");
}

}  // namespace
}  // namespace qmp
