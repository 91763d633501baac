#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "cli/interrupt.h"
#include "core/database_lock.h"
#include "core/host.h"
#include "tests/cli/qmp_run.h"

namespace qmp {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RunQmpIn;
using test::TempFolder;

constexpr std::string_view kEmptyDatabase =
    "//Settings\r\n//v2format\r\n//DatabaseBegin\r\nvar cg=new Array(\r\n'All Categories'\r\n);"
    "\r\nvar ln=new Array(\r\n''\r\n);\r\nvar ds=new Array(\r\n''\r\n);\r\nvar kw=new "
    "Array(\r\n'^^'\r\n);\r\n//DatabaseEnd\r\n";

std::string Template(std::string_view name, std::string_view file) {
    return ReadFileBytes(fs::path(test::SourceDir()) / "data/Templates" / name / file);
}

TEST(Commands, HelpAndVersion) {
    TempFolder folder;
    const auto version = RunQmpIn(folder.dir(), {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("qmp ")) << version.out;
    EXPECT_NE(version.out.find("Corvan Quarrymap Lite"), std::string::npos);
    for (const char* command : {"new", "templates", "addsite", "update", "list", "extract"}) {
        const auto help = RunQmpIn(folder.dir(), {command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_TRUE(help.out.starts_with("Usage: qmp " + std::string(command))) << help.out;
        EXPECT_NE(help.out.find("--quiet"), std::string::npos) << command;
    }
    const auto overview = RunQmpIn(folder.dir(), {"--help"});
    EXPECT_EQ(overview.status, 0);
    EXPECT_NE(overview.out.find("qmp addsite DB FOLDER"), std::string::npos);
}

TEST(Commands, WrongCommandLines) {
    TempFolder folder;
    const std::vector<std::vector<std::string>> lines = {
        {},
        {"bogus"},
        {"--bogus", "list", "x"},
        {"list"},
        {"list", "a", "b"},
        {"list", "a", "--bogus"},
        {"update", "a", "--category", "1"},
        {"addsite", "a", "--category"},
        {"list", "a", "--json=yes"},
        {"update", "a", "--jobs", "0"},
        {"update", "a", "--jobs", "257"},
        {"addsite", "a", "b", "--jobs", "two"},
        {"list", "a", "--jobs", "2"},
    };
    for (const auto& line : lines) {
        const auto run = RunQmpIn(folder.dir(), line);
        EXPECT_EQ(run.status, 2) << (line.empty() ? "" : line[0]);
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.err.empty());
    }
}

TEST(Commands, AddSiteRefusesBeforeAnyWork) {
    TempFolder folder;
    folder.Write("site/a.html", "<title>A</title>");
    const std::string database = folder.Write("searchdb.js", kEmptyDatabase);

    auto run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "site", "--category", "x1"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Error: 'x1' is not a valid integer value\n");

    run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "site", "--jobs", "0"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Error: '0' is not a number of jobs from 1 to 256\n");

    run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "site", "--category", "1"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no category 1"), std::string::npos) << run.err;

    run = RunQmpIn(folder.dir(), {"addsite", "missing.js", "site"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: The database " + folder.dir() + "missing.js does not exist.\n");
    EXPECT_FALSE(fs::exists(folder.path() / "missing.js"));

    run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "no-such-folder"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: The folder " + folder.dir() + "no-such-folder does not exist.\n");

    const std::string plain = folder.Write("plain.js", "var x = 1;\r\n");
    run = RunQmpIn(folder.dir(), {"update", "plain.js"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: A search engine database is not found in the file " + plain + ".\n");
    EXPECT_EQ(ReadFileBytes(plain), "var x = 1;\r\n");
    EXPECT_EQ(ReadFileBytes(database), kEmptyDatabase);
}

TEST(Commands, InterruptedScanSavesWhatItFound) {
    TempFolder folder;
    folder.Write("site/a.html", "<title>A</title>");
    const std::string database = folder.Write("searchdb.js", kEmptyDatabase);
    cli::RequestInterrupt();  // Ctrl+C before the first file
    const auto run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "site"});
    cli::ResetInterrupt();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Stopped: the links found so far are kept and saved.\n");
    EXPECT_EQ(run.out, "Links added: 0. Links in the database: 0.\n");
    EXPECT_EQ(ReadFileBytes(database), kEmptyDatabase);
}

TEST(Commands, QuietLeavesOnlyProblems) {
    TempFolder folder;
    folder.Write("site/a.html", "<title>A</title>");
    folder.Write("searchdb.js", kEmptyDatabase);
    const auto run = RunQmpIn(folder.dir(), {"--quiet", "addsite", "searchdb.js", "site"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_NE(ReadFileBytes(folder.path() / "searchdb.js").find("a.html"), std::string::npos);
}

// Two categories; a link of category 5 (which does not exist) whose keywords
// hold the update lock "~".
constexpr std::string_view kListDatabase =
    "//Settings\r\n//v2format\r\nvar cg=new Array(\r\n'All Categories',\r\n'Stone'\r\n);\r\n"
    "var ln=new Array(\r\n'1^Home^index.html',\r\n'5^A \"b\"^docs%2Fa%20b.html'\r\n);\r\n"
    "var ds=new Array(\r\n'Start page',\r\n''\r\n);\r\n"
    "var kw=new Array(\r\n'^home^start^',\r\n'^~^alpha^beta^'\r\n);\r\n//DatabaseEnd\r\n";

TEST(Commands, ListAsText) {
    TempFolder folder;
    folder.Write("searchdb.js", kListDatabase);
    const auto run = RunQmpIn(folder.dir(), {"list", "searchdb.js"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Categories\n"
              "ID  Category name\n"
              "0   All Categories\n"
              "1   Stone\n"
              "\n"
              "Links\n"
              "#  Category   Link URL       Caption  Description  Keywords\n"
              "1  Stone (1)  index.html     Home     Start page   home, start\n"
              "2   (5)       docs/a b.html  A \"b\"                 alpha, beta\n");
}

TEST(Commands, ListAsJson) {
    TempFolder folder;
    folder.Write("searchdb.js", kListDatabase);
    const auto run = RunQmpIn(folder.dir(), {"list", "searchdb.js", "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"categories\": [\"All Categories\", \"Stone\"],\n"
              " \"links\": [\n"
              "  {\"category\": 1, \"caption\": \"Home\", \"url\": \"index.html\", "
              "\"description\": \"Start page\", \"keywords\": [\"home\", \"start\"]},\n"
              "  {\"category\": 5, \"caption\": \"A \\\"b\\\"\", \"url\": \"docs%2Fa%20b.html\", "
              "\"description\": \"\", \"keywords\": [\"alpha\", \"beta\"]}\n"
              "]}\n");
}

TEST(Commands, Extract) {
    TempFolder folder;
    folder.Write("site/set.xml",
                 "<settings><KeysCount value=\"3\"/><CountWeight value=\"100\"/></settings>");
    folder.Write("site/tags.xml", "<tags></tags>");
    folder.Write("site/words.xml", "<words></words>");
    folder.Write("site/about.html",
                 "<title>About Granite</title>"
                 "<meta name=\"description\" content=\"The \\granite\\ society.\">"
                 "<p>Granite granite slate.</p>");
    auto run = RunQmpIn(folder.dir(), {"extract", "site/about.html", "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"category\": 0, \"caption\": \"About Granite\", \"url\": \"about.html\", "
              "\"description\": \"The \\\\granite\\\\ society.\", "
              "\"keywords\": [\"granite\", \"about\", \"slate\"]}\n");

    run = RunQmpIn(folder.dir() + "site", {"extract", "about.html"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Category:     0\n"
              "Caption:      About Granite\n"
              "URL:          about.html\n"
              "Description:  The \\granite\\ society.\n"
              "Keywords:     granite, about, slate\n");

    // Another database's folder gives another URL (and its own settings).
    run = RunQmpIn(folder.dir(), {"extract", "site/about.html", "--db", "other/db.js", "--json"});
    EXPECT_NE(run.out.find("\"url\": \"..%2Fsite%2Fabout.html\""), std::string::npos) << run.out;

    run = RunQmpIn(folder.dir(), {"extract", "site/none.html"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: The file " + folder.dir() + "site/none.html does not exist.\n");
}

std::vector<std::string> TemplateNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(test::SourceDir()) / "data/Templates"))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Commands, Templates) {
    TempFolder folder;
    const auto run = RunQmpIn(folder.dir(), {"templates"});
    EXPECT_EQ(run.status, 0);
    std::string expected;
    for (const std::string& name : TemplateNames())
        expected += name + "\n";
    EXPECT_EQ(run.out, expected);
}

TEST(Commands, NewEngine) {
    TempFolder folder;
    const std::string first = TemplateNames().front();
    // A site's own search page is no concern of the engine's.
    fs::create_directories(folder.dir() + "site/engine");
    std::ofstream(folder.dir() + "site/engine/search.html") << "the site's";
    auto run = RunQmpIn(folder.dir(), {"new", "site/engine"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string root = folder.dir() + "site/engine/";
    EXPECT_EQ(run.out, "Database: " + root + "searchdb.js\nStart page: " + root + "qmp.html\n");
    for (const char* file : {"qmp.html", "searchdb.js", "qmptp.js"})
        EXPECT_EQ(ReadFileBytes(root + file), Template(first, file)) << file;
    EXPECT_EQ(ReadFileBytes(root + "search.html"), "the site's");

    // The author's own files stay, unless --replace; a page kept is not
    // reported as the start page.
    std::ofstream(root + "qmp.html") << "mine";
    run = RunQmpIn(folder.dir(), {"new", root, "--template", "Inline"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(root + "qmp.html"), "mine");
    EXPECT_EQ(run.out, "Database: " + root + "searchdb.js\n");
    EXPECT_NE(run.err.find("Note: Kept the existing " + root + "qmp.html"), std::string::npos)
        << run.err;
    run = RunQmpIn(folder.dir(), {"new", root, "--template", "Inline", "--replace", "--quiet"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFileBytes(root + "qmp.html"), Template("Inline", "qmp.html"));
    EXPECT_EQ(ReadFileBytes(root + "search.html"), "the site's");

    run = RunQmpIn(folder.dir(), {"new", root, "--template", "Nonesuch"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("There is no template 'Nonesuch'"), std::string::npos);
}

TEST(Commands, NewEngineWithItsOwnDatabaseName) {
    TempFolder folder;
    const std::string first = TemplateNames().front();
    const std::string root = folder.dir();
    auto run = RunQmpIn(root, {"new", ".", "--db", "stone-db.js"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Database: " + root + "stone-db.js\nStart page: " + root + "qmp.html\n");
    EXPECT_EQ(ReadFileBytes(root + "stone-db.js"), Template(first, "searchdb.js"));
    EXPECT_FALSE(fs::exists(root + "searchdb.js"));
    std::string settings = Template(first, "qmptp.js");
    const std::size_t at = settings.find("database: 'searchdb.js'");
    ASSERT_NE(at, std::string::npos);
    settings.replace(at, 23, "database: 'stone-db.js'");
    EXPECT_EQ(ReadFileBytes(root + "qmptp.js"), settings);
    // The page asks for it by that name too.
    EXPECT_NE(ReadFileBytes(root + "qmp.html").find("href=\"stone-db.js\" as=\"script\""), std::string::npos);

    // Another engine's searchdb.js beside it is never emptied, --replace or not.
    std::ofstream(root + "searchdb.js") << kEmptyDatabase << "// another engine's";
    run = RunQmpIn(root, {"new", ".", "--db", "my db.js", "--replace"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(root + "searchdb.js"),
              std::string(kEmptyDatabase) + "// another engine's");
    EXPECT_NE(ReadFileBytes(root + "qmptp.js").find("database: 'my%20db.js'"), std::string::npos);

    run = RunQmpIn(root, {"new", ".", "--db", "sub/db.js"});
    EXPECT_EQ(run.status, 2);
}

// Every file below `folder`, with its bytes.
std::map<std::string, std::string> FilesIn(const TempFolder& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder.path()))
        if (entry.is_regular_file()) files[entry.path().string()] = ReadFileBytes(entry.path());
    return files;
}

TEST(Commands, RefusalsSayWhatIsWrongAndChangeNothing) {
    TempFolder folder;
    const std::string dir = folder.dir();
    folder.Write("site/a.html", "<title>A</title>");
    folder.Write("about.html", "<title>About</title>");
    folder.Write("bare.js", "//Settings\r\nvar cg=new Array('');\r\n//DatabaseEnd\r\n");
    folder.Write("gone.js~temp1~", kEmptyDatabase);
    // A comma forgotten after the first category.
    folder.Write("broken.js",
                 "//Settings\r\nvar cg=new Array(\r\n'All'\r\n'Stone'\r\n);\r\n"
                 "//DatabaseEnd\r\n");
    const std::string unreadable =
        " cannot be read as written: line 4 (the cg array): an entry is followed by something "
        "other than a comma or the array's end (a quote inside an entry needs a backslash).\n";
    const std::string engineFile =
        "' is a file of the search engine itself; give the database a name of its own.\n";
    const struct {
        std::vector<std::string> line;
        int status;
        std::string err;
    } cases[] = {
        {{"addsite", "bare.js", "bare.js"},
         1,
         "Error: " + dir + "bare.js is a file, not a folder.\n"},
        {{"addsite", "bare.js", "site", "--category", "0"},
         2,
         "Error: The database has no categories, so no category 0.\n"},
        {{"addsite", "bare.js", "site\x1b]0;owned\x07"},
         1,
         "Error: The folder " + dir + "site\\x1b]0;owned\\x07 does not exist.\n"},
        {{"list", "--\x1b[2J"},
         2,
         "Error: unknown option '--\\x1b[2J'\nUsage: qmp list DB [--json]\nRun 'qmp list --help' "
         "for more.\n"},
        {{"--version", "extra"},
         2,
         "Error: --version takes no arguments\nRun 'qmp --help' for the commands.\n"},
        {{"update", "gone.js"},
         1,
         "Error: The database " + dir +
             "gone.js does not exist. A copy that an interrupted save "
             "left is " +
             dir + "gone.js~temp1~; rename it to " + dir + "gone.js to use it.\n"},
        {{"list", "broken.js"}, 1, "Error: The database " + dir + "broken.js" + unreadable},
        {{"addsite", "broken.js", "site"},
         1,
         "Error: The database " + dir + "broken.js" + unreadable},
        {{"new", ".", "--db", "qmptp.js"}, 2, "Error: 'qmptp.js" + engineFile},
        {{"new", ".", "--db", "QMP.HTML", "--replace"}, 2, "Error: 'QMP.HTML" + engineFile},
        {{"new", ".", "--db", "about.html", "--replace"},
         1,
         "Error: The file " + dir +
             "about.html is not a search database; give the database "
             "another name (--db).\n"},
    };
    const auto before = FilesIn(folder);
    for (const auto& c : cases) {
        const auto run = RunQmpIn(dir, c.line);
        EXPECT_EQ(run.status, c.status) << c.line[1];
        EXPECT_EQ(run.out, "") << c.line[1];
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_EQ(FilesIn(folder), before);
}

TEST(Commands, OneWriterAtATime) {
    TempFolder folder;
    folder.Write("site/a.html", "<title>A</title>");
    const std::string database = folder.Write("searchdb.js", kEmptyDatabase);
    // As the window holds it while the database is open there.
    DatabaseLock window;
    ASSERT_EQ(window.Take(database, false), DatabaseLock::Result::kLocked);
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{"addsite", "searchdb.js", "site"}, {"update", "searchdb.js"}}) {
        const auto run = RunQmpIn(folder.dir(), line);
        EXPECT_EQ(run.status, 1) << line[0];
        EXPECT_EQ(run.err, "Error: The database " + database + " is in use by " +
                               program_invocation_short_name + " (process " +
                               std::to_string(getpid()) +
                               "). Run again with --wait to wait until it is free.\n");
    }
    EXPECT_EQ(RunQmpIn(folder.dir(), {"list", "searchdb.js"}).status, 0);  // readers need no lock
    EXPECT_EQ(ReadFileBytes(database), kEmptyDatabase);
    window.Release();
    const auto run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "site"});
    EXPECT_EQ(run.out, "Links added: 1. Links in the database: 1.\n");
    EXPECT_FALSE(fs::exists(database + "~lock~"));
}

TEST(Commands, WhatStandsInTheSavesWayIsFoundBeforeTheScan) {
    const struct {
        std::string_view file;  // made a folder; "" for a read-only database
        std::string error;
    } cases[] = {
        {"searchdb.js~temp~", "Cannot create file %s~temp~: File exists."},
        {"searchdb.js~lock~", "Cannot create file %s~lock~: Is a directory."},
        {"", "The database %s is read-only."},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        folder.Write("site/a.html", "<title>A</title>");
        const std::string database = folder.Write("searchdb.js", kEmptyDatabase);
        if (c.file.empty()) {
            chmod(database.c_str(), 0444);
        } else {
            fs::create_directory(folder.path() / c.file);
        }
        const auto run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "site"});
        EXPECT_EQ(run.status, 1) << c.error;
        EXPECT_EQ(run.out, "") << c.error;
        EXPECT_EQ(run.err, "Error: " + FormatMessage(c.error, {database}) + "\n");
        EXPECT_EQ(ReadFileBytes(database), kEmptyDatabase);
    }
}

TEST(Commands, AnInterruptedSavesCopyIsNamedAndKept) {
    TempFolder folder;
    const std::string copy = folder.Write("searchdb.js~temp1~", kEmptyDatabase);
    auto run = RunQmpIn(folder.dir(), {"new", "."});
    EXPECT_EQ(run.err, "Note: A copy of the database that an interrupted save left is " + copy +
                           "; it is kept.\n");
    run = RunQmpIn(folder.dir(), {"update", "searchdb.js"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Warning: A copy of the database that an interrupted save left is " + copy +
                           "; it is kept.\n");
    EXPECT_EQ(ReadFileBytes(copy), kEmptyDatabase);
}

TEST(Commands, UpdateOfPagesWithStrangeNames) {
    TempFolder folder;
    folder.Write("secret.ini", "not for the public");
    folder.Write("ops.html", "<title>operator^= and x^y</title>");
    const std::string database =
        folder.Write("searchdb.js",
                     "//Settings\r\n//v2format\r\nvar ln=new Array(\r\n'0^Red^p%1B%5B31m.html',"
                     "\r\n'0^Secret^secret.ini%00.html',\r\n'0^Old^ops.html'\r\n);\r\n"
                     "//DatabaseEnd\r\n");
    auto run = RunQmpIn(folder.dir(), {"update", "searchdb.js"});
    // A decoded URL holding a NUL names no file, though the system would
    // have found secret.ini; control characters are shown escaped.
    EXPECT_EQ(run.err,
              "Warning: The page p\\x1b[31m.html is not found.\n"
              "Warning: The page secret.ini\\x00.html is not found.\n");
    EXPECT_EQ(run.out, "Links updated: 1. Pages not found: 2.\n");
    // A caption's carets are its own: the page is found again, not added again.
    run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "."});
    EXPECT_EQ(run.out, "Links added: 0. Links in the database: 3.\n");
    EXPECT_NE(ReadFileBytes(database).find("'0:2^operator^= and x^y^ops.html'"), std::string::npos);
}

}  // namespace
}  // namespace qmp
