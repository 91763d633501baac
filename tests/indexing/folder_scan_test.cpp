#include "indexing/folder_scan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/program_values.h"
#include "indexing/link_update.h"
#include "indexing/link_url_index.h"
#include "indexing/link_urls.h"
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
    std::filesystem::create_symlink(dir / "nowhere.html", dir / "dangling.html");
    Scan(project);
    EXPECT_EQ(LinkUrls(), (Urls{"alias.html", "dangling.html", "real%2Fpage.html"}));
    EXPECT_EQ(Links.Get(0).Caption, "Real");
    EXPECT_EQ(Links.Get(1).Caption, "");
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
