#include "core/database.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "core/database_file.h"
#include "core/program_values.h"
#include "decoding/ansi_code_page.h"
#include "tests/support/faulty_file_ops.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::FaultyFileOps;
using test::ReadFileBytes;
using test::RecordingHost;
using test::TempFolder;

const std::string kHead = "// engine head\r\nvar x=1;\r\n//Settings\r\n";
const std::string kTail = "//DatabaseEnd\r\nfunction f(){}\r\n";
const std::string kOldDatabase =
    "//v2format\r\n//DatabaseBegin\r\nvar cg=new Array(\r\n'Old'\r\n);\r\n"
    "var ln=new Array(\r\n'0^Old^old.html'\r\n);\r\nvar ds=new Array(\r\n''\r\n);\r\n"
    "var kw=new Array(\r\n'^^'\r\n);\r\n";

std::string DatabaseText(const TCat& categories, const TBase& links) {
    StringSink sink;
    WriteCategories(categories, sink);
    WriteLinks(links, sink);
    return sink.text;
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        Categories.Clear();
        Links.Clear();
        Categories.Add("All Categories");
        Categories.Add("News");
        TBaseRecord link;
        link.Category = 1;
        link.Caption = "Fresh";
        link.URL = "new.html";
        link.Description = "A new page";
        link.Keywords = {"new", "page"};
        Links.Add(link);
        path_ = folder_.dir() + "searchdb.js";
        DatabasePath = path_;
    }
    void TearDown() override {
        Categories.Clear();
        Links.Clear();
    }

    std::string NewText() const { return kHead + DatabaseText(Categories, Links) + kTail; }
    // Nothing but the database file (and what the test put there) is left.
    void ExpectNoSaveFilesLeft() const {
        EXPECT_FALSE(std::filesystem::exists(path_ + "~temp~"));
        EXPECT_FALSE(std::filesystem::exists(path_ + "~temp1~"));
    }

    TempFolder folder_;
    std::string path_;
    RecordingHost host_;
};

TEST_F(DatabaseTest, SaveReplacesTheTextBetweenTheMarkers) {
    folder_.Write("searchdb.js", kHead + kOldDatabase + kTail);
    EXPECT_TRUE(SaveDatabase(host_));
    EXPECT_EQ(ReadFileBytes(path_), NewText());
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(host_.waitCursorUses, 1);
    EXPECT_EQ(host_.waitCursorDepth, 0);
    ExpectNoSaveFilesLeft();
}

TEST_F(DatabaseTest, PathsAreSystemAnsiText) {
    SetSystemCodePage(kCharsetWindows1252);
    folder_.Write("caf\xc3\xa9 db.js", kHead + kOldDatabase + kTail);  // the name on disk is UTF-8
    DatabasePath = folder_.dir() + "caf\xe9 db.js";
    EXPECT_TRUE(SaveDatabase(host_));
    EXPECT_EQ(ReadFileBytes(folder_.dir() + "caf\xc3\xa9 db.js"), NewText());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()),
                            std::filesystem::directory_iterator()),
              1);
}

// Opening the current database again by DatabasePath itself, given in a
// form that is not yet its real path, reads that file.
TEST_F(DatabaseTest, OpeningDatabasePathItselfReadsIt) {
    folder_.Write("searchdb.js", kHead + kOldDatabase + kTail);
    std::filesystem::create_directory(folder_.path() / "sub");
    DatabasePath = folder_.dir() + "sub/../searchdb.js";
    EXPECT_FALSE(OpenDatabase(host_, DatabasePath));
    EXPECT_EQ(DatabasePath, path_);
    EXPECT_GT(Categories.Count(), 0);
}

TEST_F(DatabaseTest, SaveKeepsHeadAndTailAsTheyAre) {
    const std::string database = DatabaseText(Categories, Links);
    const struct {
        std::string before;
        std::string after;  // expected, "" for the same as before with the new database
    } cases[] = {
        // A lower-case marker is found all the same, and the head is cut there.
        {"head //settings\r\nold//DatabaseEnd tail",
         "head //settings\r\n" + database + "//DatabaseEnd tail"},
        // The two bytes after the marker are copied whatever they are.
        {"//Settings\nXYZ//DatabaseEnd", "//Settings\nX" + database + "//DatabaseEnd"},
        {"//SettingsAB//DatabaseEnd!", "//SettingsAB" + database + "//DatabaseEnd!"},
        // Only an end marker after the settings marker counts.
        {"//DatabaseEnd 1\r\n//Settings\r\nold\r\n//DatabaseEnd 2",
         "//DatabaseEnd 1\r\n//Settings\r\n" + database + "//DatabaseEnd 2"},
    };
    int n = 0;
    for (const auto& c : cases) {
        // A file of its own each: a save takes a file rewritten behind its back for a conflict.
        DatabasePath = folder_.Write("db" + std::to_string(++n) + ".js", c.before);
        EXPECT_TRUE(SaveDatabase(host_)) << c.before;
        EXPECT_EQ(ReadFileBytes(DatabasePath), c.after) << c.before;
    }
}

TEST_F(DatabaseTest, OpenAndSaveOfAnUnchangedRealFileGiveItBackByteForByte) {
    const std::string original = test::ReadTestData("core/engine_searchdb.js");
    folder_.Write("searchdb.js", original);
    OpenDatabase(host_, path_);
    EXPECT_EQ(Categories.Count(), 4);
    EXPECT_EQ(Links.Count(), 4);
    ASSERT_TRUE(SaveDatabase(host_));
    EXPECT_EQ(ReadFileBytes(path_), original);
}

TEST_F(DatabaseTest, FailedSavesLeaveTheDatabaseFileAsItWasAndSayWhy) {
    const std::string temp = path_ + "~temp~";
    const std::string notFound = std::string(kNoDatabaseMessage);
    const std::string good = kHead + kOldDatabase + kTail;
    const auto failed = [](std::string text) { return text + " Saving has not completed."; };
    struct Case {
        const char* name;
        std::string content;  // of the database file; "-" when there is none
        FaultyFileOps ops;
        std::string message;
    };
    std::vector<Case> cases;
    cases.push_back({"database missing",
                     "-",
                     {},
                     failed("Cannot read file " + path_ + ": No such file or directory.")});
    cases.push_back({"no settings marker", "var a;\r\n//DatabaseEnd\r\n", {}, notFound});
    cases.push_back({"no end marker", kHead + kOldDatabase, {}, notFound});
    cases.push_back({"end marker only before the settings marker", kTail + kHead, {}, notFound});
    cases.push_back({"settings marker at the very end", "var a;//Settings", {}, notFound});
    {
        FaultyFileOps ops;
        ops.failCreate = true;
        ops.failure = EACCES;
        cases.push_back({"temporary file not creatable", good, ops,
                         failed("Cannot create file " + temp + ": Permission denied.")});
    }
    for (long long bytes : {0LL, 10LL, static_cast<long long>(kHead.size()), 100LL,
                            static_cast<long long>(NewText().size()) - 1}) {
        FaultyFileOps ops;
        ops.failWritesAfter = bytes;
        ops.failure = ENOSPC;
        cases.push_back({"write fails midway", good, ops,
                         failed("Cannot write file " + temp + ": No space left on device.")});
    }
    {
        FaultyFileOps ops;
        ops.failCommit = true;
        ops.failure = EFBIG;
        cases.push_back(
            {"flush fails", good, ops, failed("Cannot write file " + temp + ": File too large.")});
    }
    {
        FaultyFileOps ops;
        ops.failRenames = {1};
        ops.failure = EROFS;
        cases.push_back(
            {"temporary file not renamed", good, ops,
             failed("Cannot rename file " + temp + " to " + path_ + ": Read-only file system.")});
    }
    {
        // Neither a hard link nor a copy can keep the old version.
        FaultyFileOps ops;
        ops.failLinks = true;
        ops.failWritesAfter = static_cast<long long>(NewText().size());
        ops.failure = ENOSPC;
        cases.push_back(
            {"no backup", good, ops,
             failed("Cannot create file " + path_ + "~temp1~: No space left on device.")});
    }
    for (Case& c : cases) {
        std::filesystem::remove(path_);
        if (c.content != "-") folder_.Write("searchdb.js", c.content);
        RecordingHost host;
        EXPECT_FALSE(SaveDatabaseFile(host, c.ops, path_, Categories, Links)) << c.name;
        if (c.content == "-") {
            EXPECT_FALSE(std::filesystem::exists(path_)) << c.name;
        } else {
            EXPECT_EQ(ReadFileBytes(path_), c.content) << c.name;
        }
        ASSERT_EQ(host.messages.size(), 1u) << c.name;
        EXPECT_EQ(host.messages[0].text, c.message) << c.name;
        EXPECT_EQ(host.messages[0].caption, "Error");
        EXPECT_EQ(host.messages[0].icon, MessageIcon::kError);
        EXPECT_EQ(host.messages[0].buttons, MessageButtons::kOk);
        EXPECT_EQ(host.waitCursorDepth, 0) << c.name;
        ExpectNoSaveFilesLeft();
    }
}

TEST_F(DatabaseTest, WithoutHardLinksTheBackupIsACopy) {
    folder_.Write("searchdb.js", kHead + kOldDatabase + kTail);
    FaultyFileOps ops;
    ops.failLinks = true;
    EXPECT_TRUE(SaveDatabaseFile(host_, ops, path_, Categories, Links));
    EXPECT_EQ(ReadFileBytes(path_), NewText());
    ExpectNoSaveFilesLeft();
}

TEST_F(DatabaseTest, ASaveKilledAtAnyMomentLeavesACompleteDatabaseUnderItsName) {
    const std::string oldText = kHead + kOldDatabase + kTail;
    const std::string newText = NewText();
    // Count the operations of a whole save first.
    folder_.Write("searchdb.js", oldText);
    FaultyFileOps counter;
    ASSERT_TRUE(SaveDatabaseFile(host_, counter, path_, Categories, Links));
    ASSERT_GT(counter.operations, 4);
    for (int death = 1; death <= counter.operations; ++death) {
        for (const char* leftover : {"", "~temp~", "~temp1~"})
            std::filesystem::remove(path_ + leftover);
        folder_.Write("searchdb.js", oldText);
        FaultyFileOps ops;
        ops.dieAtOperation = death;
        RecordingHost host;
        SaveDatabaseFile(host, ops, path_, Categories, Links);
        const std::string bytes = ReadFileBytes(path_);
        EXPECT_TRUE(bytes == oldText || bytes == newText) << "killed at operation " << death;
    }
}

TEST_F(DatabaseTest, ALinkedDatabaseIsSavedIntoItsFileWithItsPermissions) {
    const std::string real = folder_.Write("real/searchdb.js", kHead + kOldDatabase + kTail);
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    // Another owner when the test may give the file away; its own otherwise.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(real.c_str(), 4321, 4322), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(real.c_str(), &before), 0);
    std::filesystem::create_directory(folder_.path() / "site");
    const std::string link = folder_.dir() + "site/searchdb.js";
    std::filesystem::create_symlink("../real/searchdb.js", link);
    OpenDatabase(host_, link);
    Categories.Add("News");
    ASSERT_TRUE(SaveDatabase(host_));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), kHead + DatabaseText(Categories, Links) + kTail);
    struct stat after {};
    ASSERT_EQ(::stat(real.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path() / "real"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(DatabaseTest, SavesRefuseWhatWouldLoseData) {
    const std::string old = kHead + kOldDatabase + kTail;
    const std::string broken = kHead +
                               "var cg=new Array('A','B');\r\nvar ln=new Array('0^a^a.html',\r\n"
                               "'0^It's^b.html');\r\n" +
                               kTail;
    const std::string changed = kHead + "var cg=new Array('Other');\r\n" + kTail;
    const auto failed = [this](std::string why) {
        return "The database " + path_ + why + " Saving has not completed.";
    };
    const struct {
        const char* name;
        std::string content;
        std::string otherWriter;  // what another program writes after the open; "" nothing
        mode_t mode;
        std::string message;
    } cases[] = {
        {"read-only", old, "", 0444, failed(" is read-only.")},
        {"changed on disk", old, changed, 0644,
         failed(" was changed by another program since it was read.")},
        {"not read whole", broken, "", 0644,
         failed(" cannot be read as written (line 6 (the ln array): an entry is followed by "
                "something other than a comma or the array's end (a quote inside an entry "
                "needs a backslash)), and saving over it would lose what could not be read.")},
    };
    for (const auto& c : cases) {
        folder_.Write("searchdb.js", c.content);
        ::chmod(path_.c_str(), c.mode);
        OpenDatabase(host_, path_);
        if (!c.otherWriter.empty()) folder_.Write("searchdb.js", c.otherWriter);
        RecordingHost host;
        EXPECT_FALSE(SaveDatabase(host)) << c.name;
        EXPECT_EQ(host.Texts(), std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(ReadFileBytes(path_), c.otherWriter.empty() ? c.content : c.otherWriter);
        ExpectNoSaveFilesLeft();
        ::chmod(path_.c_str(), 0644);
    }
    // The author may take the changed file for the one read; a file not read
    // whole can still be saved as another file.
    AcceptDatabaseOnDisk();
    EXPECT_FALSE(SaveDatabase(host_));
    folder_.Write("searchdb.js", old);
    OpenDatabase(host_, path_);
    EXPECT_FALSE(ChangedOnDisk(path_));
    folder_.Write("searchdb.js", changed);
    EXPECT_TRUE(ChangedOnDisk(path_));
    AcceptDatabaseOnDisk();
    EXPECT_FALSE(ChangedOnDisk(path_));
    EXPECT_TRUE(SaveDatabase(host_));
    folder_.Write("searchdb.js", broken);
    EXPECT_TRUE(OpenDatabase(host_, path_));
    EXPECT_TRUE(SaveDatabaseAs(host_, folder_.dir() + "copy.js"));
    EXPECT_EQ(Links.Count(), 2);  // those read before the problem
}

TEST_F(DatabaseTest, SaveAsCopiesHeadAndTailFromTheCurrentFile) {
    folder_.Write("searchdb.js", kHead + kOldDatabase + kTail);
    const std::string target = folder_.dir() + "other db.js";
    folder_.Write("other db.js", "something else entirely");
    EXPECT_TRUE(SaveDatabaseAs(host_, target));
    EXPECT_EQ(DatabasePath, target);
    EXPECT_EQ(ReadFileBytes(target), NewText());
    EXPECT_EQ(ReadFileBytes(path_), kHead + kOldDatabase + kTail);  // the old file is not touched
    EXPECT_FALSE(std::filesystem::exists(target + "~temp~"));
}

TEST_F(DatabaseTest, SaveAsWithoutACurrentFileReportsTheFailure) {
    const std::string target = folder_.dir() + "copy.js";
    EXPECT_FALSE(SaveDatabaseAs(host_, target));
    EXPECT_EQ(DatabasePath, target);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(host_.Texts(), std::vector<std::string>{"Cannot read file " + target +
                                                      ": No such file or directory. Saving has "
                                                      "not completed."});
}

TEST_F(DatabaseTest, ExportWritesIntoAnotherEngineFile) {
    folder_.Write("searchdb.js", kHead + kOldDatabase + kTail);
    const std::string target =
        folder_.Write("export.js", "HEAD//Settings\r\nold stuff//DatabaseEnd TAIL");
    EXPECT_TRUE(ExportDatabase(host_, target));
    EXPECT_EQ(DatabasePath, target);
    EXPECT_EQ(ReadFileBytes(target),
              "HEAD//Settings\r\n" + DatabaseText(Categories, Links) + "//DatabaseEnd TAIL");
}

TEST_F(DatabaseTest, OpenReplacesBothTablesAndImportAppendsLinks) {
    const std::string other = folder_.Write(
        "other.js", kHead +
                        "//v2format\r\nvar cg=new Array('A','B','C','D');\r\n"
                        "var ln=new Array('3^Imported^i.html');\r\nvar ds=new Array('d');\r\n"
                        "var kw=new Array('^k^');\r\n" +
                        kTail);
    ImportLinks(host_, other);
    EXPECT_EQ(DatabasePath, path_);
    EXPECT_EQ(Categories.Count(), 2);
    ASSERT_EQ(Links.Count(), 2);
    EXPECT_EQ(Links.Records()[1].Category, 3);  // kept, though there are two categories
    EXPECT_EQ(host_.refreshes, std::vector<bool>{false});

    OpenDatabase(host_, other);
    EXPECT_EQ(DatabasePath, other);
    EXPECT_EQ(host_.ratingLoads, std::vector<std::string>{other});
    EXPECT_EQ(Categories.Count(), 4);
    EXPECT_EQ(Links.Count(), 1);
    EXPECT_EQ(host_.refreshes, (std::vector<bool>{false, true}));

    OpenDatabase(host_, folder_.dir() + "missing.js");  // empty tables, no message
    EXPECT_EQ(Categories.Count(), 0);
    EXPECT_EQ(Links.Count(), 0);
    EXPECT_TRUE(host_.messages.empty());
}

}  // namespace
}  // namespace qmp
