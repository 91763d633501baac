#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "cli/interrupt.h"
#include "core/database_lock.h"
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
    auto run = RunQmpIn(folder.dir(), {"new", "site/engine"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string root = folder.dir() + "site/engine/";
    EXPECT_EQ(run.out, "Database: " + root + "searchdb.js\nStart page: " + root + "search.html\n");
    for (const char* file : {"search.html", "searchdb.js", "qmptp.js"})
        EXPECT_EQ(ReadFileBytes(root + file), Template(first, file)) << file;

    // The author's own files stay, unless --replace.
    std::ofstream(root + "search.html") << "mine";
    run = RunQmpIn(folder.dir(), {"new", root, "--template", "Inline"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(root + "search.html"), "mine");
    EXPECT_NE(run.err.find("Note: Kept the existing " + root + "search.html"), std::string::npos)
        << run.err;
    run = RunQmpIn(folder.dir(), {"new", root, "--template", "Inline", "--replace", "--quiet"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFileBytes(root + "search.html"), Template("Inline", "search.html"));

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
    EXPECT_EQ(run.out, "Database: " + root + "stone-db.js\nStart page: " + root + "search.html\n");
    EXPECT_EQ(ReadFileBytes(root + "stone-db.js"), Template(first, "searchdb.js"));
    EXPECT_FALSE(fs::exists(root + "searchdb.js"));
    std::string settings = Template(first, "qmptp.js");
    const std::size_t at = settings.find("database: 'searchdb.js'");
    ASSERT_NE(at, std::string::npos);
    settings.replace(at, 23, "database: 'stone-db.js'");
    EXPECT_EQ(ReadFileBytes(root + "qmptp.js"), settings);

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

TEST(Commands, OneWriterAtATime) {
    TempFolder folder;
    folder.Write("site/a.html", "<title>A</title>");
    const std::string database = folder.Write("searchdb.js", kEmptyDatabase);
    // As the window holds it while the database is open there.
    DatabaseLock window;
    ASSERT_EQ(window.Take(database, false), DatabaseLock::Result::kLocked);
    const std::string inUse = "Error: The database " + database + " is in use by " +
                              program_invocation_short_name + " (process " +
                              std::to_string(getpid()) +
                              "). Run again with --wait to wait until it is free.\n";
    for (const std::vector<std::string>& line :
         {std::vector<std::string>{"addsite", "searchdb.js", "site"}, {"update", "searchdb.js"}}) {
        const auto run = RunQmpIn(folder.dir(), line);
        EXPECT_EQ(run.status, 1) << line[0];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, inUse);
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
        const char* name;
        std::function<void(const std::string& database)> arrange;
        std::string error;  // after "Error: " and the database's path
    } cases[] = {
        {"a folder under the temporary file's name",
         [](const std::string& db) { fs::create_directory(db + "~temp~"); },
         "~temp~: File exists."},
        {"a folder under the lock file's name",
         [](const std::string& db) { fs::create_directory(db + "~lock~"); },
         "~lock~: Is a directory."},
        {"a read-only database", [](const std::string& db) { chmod(db.c_str(), 0444); },
         " is read-only."},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        folder.Write("site/a.html", "<title>A</title>");
        const std::string database = folder.Write("searchdb.js", kEmptyDatabase);
        c.arrange(database);
        const auto run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "site"});
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
        const std::string prefix =
            c.error.starts_with(" ") ? "The database " : "Cannot create file ";
        EXPECT_EQ(run.err, "Error: " + prefix + database + c.error + "\n") << c.name;
        EXPECT_EQ(ReadFileBytes(database), kEmptyDatabase) << c.name;
    }
}

TEST(Commands, ADatabaseThatCannotBeReadWholeIsLeftAlone) {
    TempFolder folder;
    folder.Write("site/a.html", "<title>A</title>");
    // A comma forgotten after the first category.
    const std::string broken =
        "//Settings\r\n//v2format\r\nvar cg=new Array(\r\n'All Categories'\r\n'Stone'\r\n);\r\n"
        "var ln=new Array(\r\n'1^Home^index.html'\r\n);\r\n//DatabaseEnd\r\n";
    const std::string database = folder.Write("searchdb.js", broken);
    for (const std::vector<std::string>& line :
         std::vector<std::vector<std::string>>{{"list", "searchdb.js"},
                                               {"list", "searchdb.js", "--json"},
                                               {"addsite", "searchdb.js", "site"},
                                               {"update", "searchdb.js"}}) {
        const auto run = RunQmpIn(folder.dir(), line);
        EXPECT_EQ(run.status, 1) << line.back();
        EXPECT_EQ(run.out, "") << line.back();
        EXPECT_EQ(run.err, "Error: The database " + database +
                               " cannot be read as written: line 5 (the cg array): an entry is "
                               "followed by something other than a comma or the array's end (a "
                               "quote inside an entry needs a backslash).\n");
        EXPECT_EQ(ReadFileBytes(database), broken);
    }
}

TEST(Commands, MessagesSayWhatIsWrong) {
    TempFolder folder;
    const std::string database =
        folder.Write("searchdb.js",
                     "//Settings\r\nvar cg=new Array('');\r\nvar ln=new Array('');\r\n"
                     "//DatabaseEnd\r\n");
    const std::string missing = folder.dir() + "gone.js";
    folder.Write("gone.js~temp1~", kEmptyDatabase);
    const struct {
        std::vector<std::string> line;
        int status;
        std::string err;
    } cases[] = {
        {{"addsite", "searchdb.js", "searchdb.js"},
         1,
         "Error: " + database + " is a file, not a folder.\n"},
        {{"addsite", "searchdb.js", ".", "--category", "0"},
         2,
         "Error: The database has no categories, so no category 0.\n"},
        {{"--version", "extra"},
         2,
         "Error: --version takes no arguments\nRun 'qmp --help' for the commands.\n"},
        {{"update", "gone.js"},
         1,
         "Error: The database " + missing +
             " does not exist. A copy that an interrupted save "
             "left is " +
             missing + "~temp1~; rename it to " + missing + " to use it.\n"},
    };
    for (const auto& c : cases) {
        const auto run = RunQmpIn(folder.dir(), c.line);
        EXPECT_EQ(run.status, c.status) << c.line[0];
        EXPECT_EQ(run.out, "") << c.line[0];
        EXPECT_EQ(run.err, c.err);
    }
    fs::rename(missing + "~temp1~", database + "~temp1~");
    const auto run = RunQmpIn(folder.dir(), {"list", "searchdb.js", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Warning: A copy of the database that an interrupted save left is " +
                           database + "~temp1~; it is kept.\n");
}

TEST(Commands, ControlCharactersInNamesAreShownEscaped) {
    TempFolder folder;
    folder.Write("secret.txt", "not for the public");
    constexpr std::string_view kLinks =
        "'0^Red^p%1B%5B31m.html',\r\n'0^Secret^secret.txt%00.html'\r\n";
    const std::string database =
        folder.Write("searchdb.js", "//Settings\r\n//v2format\r\nvar ln=new Array(\r\n" +
                                        std::string(kLinks) + ");\r\n//DatabaseEnd\r\n");
    auto run = RunQmpIn(folder.dir(), {"update", "searchdb.js"});
    EXPECT_EQ(run.status, 0) << run.err;
    // A decoded URL holding a NUL names no file, though the system would
    // have found secret.txt.
    EXPECT_EQ(run.err,
              "Warning: The page p\\x1b[31m.html is not found.\n"
              "Warning: The page secret.txt\\x00.html is not found.\n");
    EXPECT_EQ(run.out, "Links updated: 0. Pages not found: 2.\n");
    EXPECT_NE(ReadFileBytes(database).find(kLinks), std::string::npos);

    run = RunQmpIn(folder.dir(), {"addsite", "searchdb.js", "site\x1b]0;owned\x07"});
    EXPECT_EQ(run.err,
              "Error: The folder " + folder.dir() + "site\\x1b]0;owned\\x07 does not exist.\n");
    run = RunQmpIn(folder.dir(), {"list", "--\x1b[2J"});
    EXPECT_NE(run.err.find("unknown option '--\\x1b[2J'"), std::string::npos) << run.err;
}

TEST(Commands, ACaptionWithCaretsIsFoundAgainByItsUrl) {
    TempFolder folder;
    folder.Write("site/ops.html", "<title>operator^= and x^y</title>");
    const std::string database = folder.Write("site/searchdb.js", kEmptyDatabase);
    auto run = RunQmpIn(folder.dir(), {"addsite", "site/searchdb.js", "site"});
    EXPECT_EQ(run.out, "Links added: 1. Links in the database: 1.\n");
    run = RunQmpIn(folder.dir(), {"addsite", "site/searchdb.js", "site"});
    EXPECT_EQ(run.out, "Links added: 0. Links in the database: 1.\n");
    run = RunQmpIn(folder.dir(), {"update", "site/searchdb.js"});
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Links updated: 1. Pages not found: 0.\n");
    run = RunQmpIn(folder.dir(), {"list", "site/searchdb.js", "--json"});
    EXPECT_NE(run.out.find("\"caption\": \"operator^= and x^y\", \"url\": \"ops.html\""),
              std::string::npos)
        << run.out;
}

TEST(Commands, NewRefusesANameTakenByAnotherFile) {
    TempFolder folder;
    const std::string root = folder.dir();
    const std::string page = folder.Write("about.html", "<title>About</title>");
    const struct {
        std::vector<std::string> line;
        int status;
        std::string err;
    } cases[] = {
        {{"new", ".", "--db", "qmptp.js"},
         2,
         "Error: 'qmptp.js' is a file of the search engine itself; give the database a name of "
         "its own.\n"},
        {{"new", ".", "--db", "Search.HTML", "--replace"},
         2,
         "Error: 'Search.HTML' is a file of the search engine itself; give the database a name "
         "of its own.\n"},
        {{"new", ".", "--db", "about.html", "--replace"},
         1,
         "Error: The file " + page +
             " is not a search database; give the database another name (--db).\n"},
    };
    for (const auto& c : cases) {
        const auto run = RunQmpIn(root, c.line);
        EXPECT_EQ(run.status, c.status) << c.line[3];
        EXPECT_EQ(run.err, c.err);
        EXPECT_FALSE(fs::exists(root + "qmptp.js")) << "nothing is copied";
    }
    EXPECT_EQ(ReadFileBytes(page), "<title>About</title>");

    // Where an interrupted save left a copy, a new engine says so and keeps it.
    folder.Write("searchdb.js~temp1~", kEmptyDatabase);
    const auto run = RunQmpIn(root, {"new", "."});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Note: A copy of the database that an interrupted save left is " + root +
                           "searchdb.js~temp1~; it is kept.\n");
    EXPECT_EQ(ReadFileBytes(root + "searchdb.js~temp1~"), kEmptyDatabase);
}

}  // namespace
}  // namespace qmp
