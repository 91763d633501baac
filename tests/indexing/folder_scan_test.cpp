#include "indexing/folder_scan.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/database.h"
#include "core/program_values.h"
#include "decoding/ansi_code_page.h"
#include "indexing/link_update.h"
#include "indexing/link_url_index.h"
#include "indexing/link_urls.h"
#include "tests/indexing/project_fixture.h"
#include "tests/support/unprivileged.h"

namespace qmp {
namespace {

using test::Project;
using test::RecordingScanHost;
using test::StoppingHost;
using Urls = std::vector<std::string>;

Urls LinkUrls() {
    Urls urls;
    for (const TBaseRecord& record : Links.Records())
        urls.push_back(record.URL);
    return urls;
}

void Scan(const Project& project, bool recurse = true, bool addExisting = false,
          std::int32_t category = 0) {
    RecordingScanHost host;
    ScanFolder(host, project.Dir(), category, recurse, addExisting);
}

TEST(FolderScan, TakesListedFilesInNameOrder) {
    Project project("<StopDirs value=\"drafts, notes.txt\"/>\n");
    project.Write("b.html", "b");
    project.Write("a.htm", "a");
    project.Write("sub/c.txt", "c");
    project.Write("sub/drafts/hidden.html", "x");
    project.Write("drafts/hidden.html", "x");
    project.Write("notes.txt", "a file named like a stop folder");
    project.Write(".hidden.html", "hidden files are taken");
    project.Write("letter.doc", "x");
    project.Write("picture.png", "x");
    project.Write("README", "x");
    project.Write("v1.2/readme", "x");
    RecordingScanHost host;
    ScanFolder(host, project.Dir(), 0, true, false);
    // The settings files of the project are never links either.
    EXPECT_EQ(LinkUrls(), (Urls{".hidden.html", "a.htm", "b.html", "notes.txt", "sub%2Fc.txt"}));
    EXPECT_TRUE(host.warnings.empty());
    EXPECT_EQ(host.shown.front(), project.Dir() + ".hidden.html\r\nFiles indexed: 0");
    EXPECT_EQ(host.shown.back(), project.Dir() + "sub/c.txt\r\nFiles indexed: 4");
}

TEST(FolderScan, CategoryAndRecursion) {
    Project project;
    project.Write("a.html", "<meta name=\"quarrymap-category\" content=\"5\">");
    project.Write("sub/b.html", "b");
    Scan(project, false, false, 2);
    ASSERT_EQ(LinkUrls(), (Urls{"a.html"}));
    EXPECT_EQ(Links.Get(0).Category, 2);
}

TEST(FolderScan, SecondScanAddsNothingUnlessAskedTo) {
    Project project;
    project.Write("a.html", "a");
    project.Write("sub/b.html", "b");
    Scan(project);
    Scan(project);
    EXPECT_EQ(LinkUrls(), (Urls{"a.html", "sub%2Fb.html"}));
    Scan(project, true, true);
    EXPECT_EQ(LinkUrls(), (Urls{"a.html", "sub%2Fb.html", "a.html", "sub%2Fb.html"}));
}

TEST(FolderScan, SymbolicLinks) {
    Project project;
    project.Write("real/page.html", "<title>Real</title>");
    const std::filesystem::path dir = project.Dir();
    std::filesystem::create_directory_symlink(dir / "real", dir / "linked");
    std::filesystem::create_directory_symlink(dir, dir / "real" / "loop");
    std::filesystem::create_symlink(dir / "real" / "page.html", dir / "alias.html");
    std::filesystem::create_symlink("real/page.html", dir / "relative.html");
    Scan(project);
    EXPECT_EQ(LinkUrls(), (Urls{"alias.html", "real%2Fpage.html", "relative.html"}));
    EXPECT_EQ(Links.Get(0).Caption, "Real");
    EXPECT_EQ(Links.Get(2).Caption, "Real");
}

// Entries no link should be made of: each is left out with a note that
// names it and says why, in the order of the walk; the others are linked.
TEST(FolderScan, LeavesOutWhatItCannotLinkAndSaysWhy) {
    SetSystemCodePage(kCharsetWindows1252);
    Project project;
    test::TempFolder elsewhere;
    const std::string secret = elsewhere.Write("passwd", "root:x:0:0");
    const std::filesystem::path dir = project.Dir();
    namespace fs = std::filesystem;
    const auto fifo = [](const fs::path& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); };
    const auto socket = [](const fs::path& path) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path.string().size(), sizeof address.sun_path);
        std::strcpy(address.sun_path, path.c_str());
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    };
    const auto page = [](const fs::path& path) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "<title>x</title>";
    };
    const struct {
        std::string name;  // as the system spells it; sorted
        std::function<void(const fs::path&)> make;
        std::string shown;  // as the note names it; empty: linked or left out in silence
        std::string why;
    } entries[] = {
        {"a.html", page, "", ""},
        {"alias.html", [&](const fs::path& p) { fs::create_symlink(dir / "a.html", p); }, "", ""},
        {"bad\xE9.html", page, "bad\\xE9.html", "is not valid UTF-8"},
        {"dangling.html", [&](const fs::path& p) { fs::create_symlink(dir / "none.html", p); },
         "dangling.html", "leads to no file"},
        {"dangling.png", [&](const fs::path& p) { fs::create_symlink(dir / "none.png", p); }, "",
         ""},
        {"esc\x1B[2J.html", fifo, "esc\\x1B[2J.html", "named pipe"},
        {"null.txt", [](const fs::path& p) { fs::create_symlink("/dev/null", p); }, "null.txt",
         "is a device"},
        {"passwd.html", [&](const fs::path& p) { fs::create_symlink(secret, p); }, "passwd.html",
         "outside the scanned folder"},
        {"pipe.bak", fifo, "", ""},
        {"pipe.html", fifo, "pipe.html", "named pipe"},
        {"socket.m3u", socket, "socket.m3u", "socket"},
        {"\xD0\x96\xD1\x83\xD0\xBA", [&](const fs::path& p) { page(p / "in.html"); },
         "\xD0\x96\xD1\x83\xD0\xBA/", "QMPLIT_CODEPAGE=windows-1251"},
        {"\xD0\x96\xD1\x83\xD0\xBA.html", page, "\xD0\x96\xD1\x83\xD0\xBA.html",
         "QMPLIT_CODEPAGE=windows-1251"},
        {"\xE6\xBC\xA2.html", page, "\xE6\xBC\xA2.html", "rename it"},
    };
    std::vector<std::string> notes;
    for (const auto& entry : entries) {
        entry.make(dir / entry.name);
        if (!entry.shown.empty()) notes.push_back(entry.shown);
    }
    RecordingScanHost host;
    EXPECT_EQ(ScanFolder(host, project.Dir(), 0, true, false), "");
    EXPECT_EQ(LinkUrls(), (Urls{"a.html", "alias.html"}));
    ASSERT_EQ(host.skipped.size(), notes.size());
    std::size_t note = 0;
    for (const auto& entry : entries) {
        if (entry.shown.empty()) continue;
        const std::string& text = host.skipped[note++];
        EXPECT_NE(text.find(project.Dir() + entry.shown), std::string::npos) << text;
        EXPECT_NE(text.find(entry.why), std::string::npos) << text;
    }
    // Each note in its place among the progress of the files.
    EXPECT_EQ(host.shown.front(), project.Dir() + "a.html\r\nFiles indexed: 0");
    EXPECT_EQ(host.shown[2], "skipped: " + host.skipped.front());
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// Folders the scan may not read: each sub-folder is noted and left out; the
// scanned folder itself is an error, and nothing is added.
TEST(FolderScan, FoldersThatCannotBeRead) {
    Project project;
    for (const char* name : {"a.html", "locked/b.html", "listed/c.html", "open/d.html"})
        project.Write(name, "x");
    test::TempFolder top;
    top.Write("e.html", "x");
    namespace fs = std::filesystem;
    const fs::path dir = project.Dir();
    fs::permissions(dir, fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    fs::permissions(dir / "locked", fs::perms::none);
    fs::permissions(dir / "listed", fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(top.path(), fs::perms::none);
    const std::string out = test::InUnprivilegedChild([&] {
        RecordingScanHost host;
        const std::string error = ScanFolder(host, top.dir(), 0, true, false);
        const int before = Links.Count();
        const std::string none = ScanFolder(host, project.Dir(), 0, true, false);
        return std::to_string(before) + "\n" + error + "\n" + none + "\n" + Joined(LinkUrls()) +
               Joined(host.skipped);
    });
    for (const fs::path& path : {dir / "locked", dir / "listed", top.path()})
        fs::permissions(path, fs::perms::owner_all);
    EXPECT_EQ(out, "0\nThe folder " + top.dir() + " cannot be read: Permission denied.\n\n" +
                       "a.html\nopen%2Fd.html\nThe folder " + project.Dir() +
                       "listed/ cannot be read (Permission denied); its files are left out.\n" +
                       "The folder " + project.Dir() +
                       "locked/ cannot be read (Permission denied); its files are left out.\n");
}

// Removes the folder `name` in the folder `parent` with all it holds, however
// deep: the paths of such a tree may be too long for the system.
void RemoveTree(int parent, const char* name) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd >= 0) {
        DIR* dir = ::fdopendir(fd);
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir))
            if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..")
                names.emplace_back(entry->d_name);
        for (const std::string& child : names)
            if (::unlinkat(fd, child.c_str(), 0) != 0) RemoveTree(fd, child.c_str());
        ::closedir(dir);
    }
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

// A tree deeper than the system's path limit: what lies past the limit is
// noted and left out, what lies within it is linked as usual.
TEST(FolderScan, PathsPastTheSystemsLimit) {
    Project project;
    const std::string level(200, 'd');
    const std::size_t levels = (PATH_MAX - 8 - project.Dir().size()) / (level.size() + 1);
    int fd = ::open(project.Dir().c_str(), O_RDONLY | O_DIRECTORY);
    std::string deep = project.Dir();
    for (std::size_t i = 0; i < levels; ++i) {
        ASSERT_EQ(::mkdirat(fd, level.c_str(), 0755), 0);
        const int next = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        deep += level + "/";
    }
    // The folder is within the limit; the long name and the sub-folder are not.
    const std::string longName = std::string(250, 'n') + ".html";
    ASSERT_LT(deep.size() + 6, static_cast<std::size_t>(PATH_MAX));
    ASSERT_GE(deep.size() + longName.size(), static_cast<std::size_t>(PATH_MAX));
    for (const std::string& name : {std::string("a.html"), longName})
        ::close(::openat(fd, name.c_str(), O_WRONLY | O_CREAT, 0644));
    ASSERT_EQ(::mkdirat(fd, level.c_str(), 0755), 0);
    ::close(fd);

    RecordingScanHost host;
    EXPECT_EQ(ScanFolder(host, project.Dir(), 0, true, false), "");
    const int top = ::open(project.Dir().c_str(), O_RDONLY | O_DIRECTORY);
    RemoveTree(top, level.c_str());
    ::close(top);
    ASSERT_EQ(Links.Count(), 1);
    EXPECT_TRUE(Links.Get(0).URL.ends_with("%2Fa.html"));
    // In the order of the names: the folder "d..." before the file "n...".
    const std::vector<std::string> notes = {
        "The path of the folder " + deep + level +
            "/ is longer than the system allows; its files are left out.",
        "The path of " + deep + longName + " is longer than the system allows; it is left out."};
    EXPECT_TRUE(host.skipped == notes) << Joined(host.skipped).substr(0, 300);
}

// However the database and the folder were typed, or reached, one file gets
// one URL, and the update finds every page again.
TEST(FolderScan, UrlsDoNotDependOnHowThePathsWereTyped) {
    Project project;
    project.Write("site/about.html", "<title>About</title>");
    project.Write("site/docs/a b.html", "x");
    const std::string dir = project.Dir();
    std::filesystem::create_directory_symlink(dir, dir + "linked");
    std::filesystem::create_directory_symlink(dir + "site", dir + "site-link");
    const struct {
        std::string database;
        std::string folder;
    } cases[] = {
        {dir + "searchdb.js", dir + "site/"},
        {dir + "site/../searchdb.js", dir + "site/../site"},
        {dir + "./searchdb.js", dir + "./site/./"},
        {dir + "/searchdb.js", dir + "site//"},
        {dir + "linked/searchdb.js", dir + "site"},
        {dir + "searchdb.js", dir + "linked/site/"},
        {dir + "searchdb.js", dir + "site-link"},
        {dir + "site-link/../searchdb.js", dir + "site/docs/.."},
    };
    for (const auto& c : cases) {
        NullHost null;
        OpenDatabase(null, c.database);
        RecordingScanHost host;
        EXPECT_EQ(ScanFolder(host, c.folder, 0, true, false), "");
        EXPECT_EQ(LinkUrls(), (Urls{"site%2Fabout.html", "site%2Fdocs%2Fa%20b.html"}))
            << c.database << " " << c.folder;
        EXPECT_EQ(UpdateLinks(host).notFound, 0) << c.database;
    }
}

TEST(FolderScan, MissingFolderAddsNothing) {
    Project project;
    Scan(project);
    RecordingScanHost host;
    ScanFolder(host, project.Dir() + "no such folder/", 0, true, false);
    EXPECT_EQ(Links.Count(), 0);
    EXPECT_TRUE(host.shown.empty());
}

TEST(FolderScan, StoppedScanKeepsWhatItFound) {
    Project project;
    for (const char* name : {"a.html", "b.html", "c/d.html", "c/e.html", "f.html"})
        project.Write(name, "x");
    StoppingHost host(3);
    ScanFolder(host, project.Dir(), 0, true, false);
    // The file being read when Stop came is still added; nothing after it.
    EXPECT_EQ(LinkUrls(), (Urls{"a.html", "b.html", "c%2Fd.html"}));
}

TEST(FolderScan, IsLinkPresentFollowsTheTable) {
    Project project;
    const std::string a = project.Dir() + "a.html";
    const std::string b = project.Dir() + "b.html";
    const auto linear = [](std::string_view path) {
        const std::string url = RelativeUrl(DatabasePath, path);
        return std::any_of(Links.Records().begin(), Links.Records().end(),
                           [&](const TBaseRecord& r) { return r.URL == url; });
    };
    const auto check = [&](const char* step) {
        EXPECT_EQ(IsLinkPresent(a), linear(a)) << step;
        EXPECT_EQ(IsLinkPresent(b), linear(b)) << step;
    };
    check("empty");
    Links.Add(TBaseRecord{0, "", "a.html", "", {}});
    check("added");
    Links.Add(TBaseRecord{0, "", "b.html", "", {}});
    check("added another");
    Links.Delete(0);
    check("deleted");
    Links.Put(0, TBaseRecord{0, "", "c.html", "", {}});
    check("replaced");
    Links.At(0)->URL = "a.html";
    check("changed in place");
    TBase other;
    other.Add(TBaseRecord{0, "", "b.html", "", {}});
    Links = other;
    check("assigned");
    Links.Clear();
    check("cleared");
}

TEST(LinkUpdate, RefreshesLocalPagesAndLeavesTheRest) {
    Project project;
    project.Write("a.html", "<title>New A</title><p>alpha</p>");
    project.Write("100%.html", "<title>Per cent</title>");
    project.Write("locked.html", "<title>New</title>");
    project.Write("Locked2.html", "<title>New</title>");
    project.Write("gone.html/inside.html", "a folder named like a page");
    project.Write("elsewhere/full.html", "<title>Full path</title>");
    const auto link = [](std::int32_t category, std::string url, std::vector<std::string> keys) {
        return TBaseRecord{category, "old", std::move(url), "old", std::move(keys)};
    };
    Links.Add(link(3, "a.html", {"old"}));
    Links.Add(link(1, "http%3A%2F%2Fexample.com%2Fa.html", {"old"}));
    Links.Add(link(1, "picture.png", {"old"}));
    Links.Add(link(1, "locked.html", {"old", "~"}));
    Links.Add(link(1, "locked.html", {"dont_update"}));
    Links.Add(link(2, "Locked2.html", {"Dont_Update"}));
    Links.Add(link(1, "docs%2Fold%20page.html", {"old"}));
    Links.Add(link(1, "gone.html", {"old"}));
    Links.Add(link(4, "100%25.html", {"old"}));
    Links.Add(link(1, "%2F" + std::string("nowhere%2Fx.html"), {"old"}));
    const std::string full = project.Dir() + "elsewhere/full.html";
    std::string fullUrl;
    for (char c : full)
        fullUrl += c == '/' ? std::string("%2F") : std::string(1, c);
    Links.Add(link(5, fullUrl, {"old"}));
    Links.Add(link(1, "http://example.com/b.html", {"old"}));
    const TBase before = Links;

    RecordingScanHost host;
    const UpdateCounts counts = UpdateLinks(host);

    EXPECT_EQ(counts.updated, 4);
    EXPECT_EQ(counts.notFound, 3);
    EXPECT_EQ(host.warnings, (std::vector<std::string>{"The page docs/old page.html is not found.",
                                                       "The page gone.html is not found.",
                                                       "The page /nowhere/x.html is not found."}));
    const auto unchanged = [&](int i) { return Links.Get(i) == before.Get(i); };
    EXPECT_EQ(Links.Get(0),
              (TBaseRecord{3, "New A", "a.html", "... New A alpha...", {"a", "new", "alpha"}}));
    // Remote links (typed ones are stored percent-encoded), unlisted types,
    // locked links and missing pages stay as they were.
    for (int i : {1, 2, 3, 4, 6, 7, 9, 11})
        EXPECT_TRUE(unchanged(i)) << i;
    EXPECT_EQ(Links.Get(5).Caption, "New");  // a locking word in another case does not lock
    EXPECT_EQ(Links.Get(5).Category, 2);
    EXPECT_EQ(Links.Get(8).Caption, "Per cent");
    EXPECT_EQ(Links.Get(8).Category, 4);
    EXPECT_EQ(Links.Get(10).Caption, "Full path");
    EXPECT_EQ(Links.Get(10).Category, 5);
}

TEST(LinkUpdate, StopsBeforeTheNextFile) {
    Project project;
    project.Write("a.html", "<title>A</title>");
    project.Write("b.html", "<title>B</title>");
    Links.Add(TBaseRecord{0, "old", "a.html", "", {}});
    Links.Add(TBaseRecord{0, "old", "b.html", "", {}});
    StoppingHost host(1);
    UpdateLinks(host);
    EXPECT_EQ(Links.Get(0).Caption, "A");
    EXPECT_EQ(Links.Get(1).Caption, "old");
}

}  // namespace
}  // namespace qmp
