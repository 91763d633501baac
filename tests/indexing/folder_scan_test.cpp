#include "indexing/folder_scan.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/program_values.h"
#include "decoding/ansi_code_page.h"
#include "indexing/link_update.h"
#include "indexing/link_url_index.h"
#include "indexing/link_urls.h"
#include "system/paths.h"
#include "tests/indexing/project_fixture.h"

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

// Entries no link should be made of are left out, each with a note in the
// order of the walk that names it and says why; and so is what lies past the
// system's path limit.
TEST(FolderScan, LeavesOutWhatItCannotLinkAndSaysWhy) {
    SetSystemCodePage(kCharsetWindows1252);
    Project project;
    const std::string dir = project.Dir();
    // Folders that take the path to 100 bytes short of the system's limit.
    const std::string level(200, 'd');
    std::string deep = dir;
    while (deep.size() + level.size() < PATH_MAX - 150)
        deep += level + "/";
    deep += std::string(PATH_MAX - 101 - deep.size(), 'e') + "/";
    const std::string inDeep = deep.substr(dir.size());
    const struct {
        std::string name;    // sorted as the system's bytes
        std::string target;  // "|": a named pipe; "": a page; else a link's target
        std::string why;     // empty: linked, or left out in silence
    } entries[] = {
        {"a.html", "", ""},
        {"alias.html", "a.html", ""},
        {"bad\xE9.html", "", "bad\\xE9.html is not valid UTF-8"},
        {"dangling.html", "none.html", "dangling.html is a symbolic link that leads to no"},
        {"dangling.png", "none.png", ""},
        {inDeep + "a.html", "", ""},
        {inDeep + level + "/", "", level + "/ is longer than the system allows"},
        {inDeep + std::string(250, 'n') + ".html", "", "n.html is longer than the system allows"},
        {"esc\x1B[2J.html", "|", "esc\\x1B[2J.html is a named pipe"},
        {"null.txt", "/dev/null", "null.txt is a device"},
        {"passwd.html", "/etc/passwd", "passwd.html is a symbolic link to a file outside"},
        {"pipe.bak", "|", ""},
        {"\xD0\x96\xD1\x83\xD0\xBA/in.html", "", "\xD0\x96\xD1\x83\xD0\xBA/ has characters"},
        {"\xD0\x96\xD1\x83\xD0\xBA.html", "", "QMPLIT_CODEPAGE=windows-1251, a code page"},
        {"\xE6\xBC\xA2.html", "", "no code page the program knows has them all"},
    };
    std::vector<std::string> notes;
    for (const auto& e : entries) {
        // Made from the entry's folder: its whole path may be past the limit.
        const std::string path = dir + e.name;
        const bool folder = path.ends_with("/");
        const std::string parent = ExtractFilePath(path.substr(0, path.size() - folder));
        const std::string name = path.substr(parent.size(), path.size() - parent.size() - folder);
        std::filesystem::create_directories(parent);
        const int at = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY);
        if (e.target == "|") {
            EXPECT_EQ(::mkfifoat(at, name.c_str(), 0600), 0);
        } else if (!e.target.empty()) {
            EXPECT_EQ(::symlinkat(e.target.c_str(), at, name.c_str()), 0);
        } else if (folder) {
            EXPECT_EQ(::mkdirat(at, name.c_str(), 0755), 0);
        } else {
            EXPECT_EQ(::close(::openat(at, name.c_str(), O_WRONLY | O_CREAT, 0644)), 0);
        }
        ::close(at);
        if (!e.why.empty()) notes.push_back(e.why);
    }
    RecordingScanHost host;
    EXPECT_EQ(ScanFolder(host, dir, 0, true, false), "");
    EXPECT_EQ(LinkUrls(),
              (Urls{"a.html", "alias.html", RelativeUrl(DatabasePath, deep + "a.html")}));
    ASSERT_EQ(host.skipped.size(), notes.size());
    for (std::size_t i = 0; i < notes.size(); ++i)
        EXPECT_NE(host.skipped[i].find(notes[i]), std::string::npos)
            << host.skipped[i].substr(0, 99);
    // Each note in its place among the progress of the files.
    EXPECT_EQ(host.shown[2], "skipped: " + host.skipped.front());
}

TEST(FolderScan, MissingFolderIsAnError) {
    Project project;
    Scan(project);
    RecordingScanHost host;
    EXPECT_EQ(ScanFolder(host, project.Dir() + "none/", 0, true, false),
              "The folder " + project.Dir() + "none/ cannot be read: No such file or directory.");
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
