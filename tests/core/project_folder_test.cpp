#include "core/project_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <fstream>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempFolder;

// Answers the replace question from a list given in advance (No when it runs
// out) and records every question and error.
class ScriptedHost final : public TemplateCopyHost {
public:
    explicit ScriptedHost(std::deque<bool> answers = {}) : answers_(std::move(answers)) {}
    bool AskReplace(const std::string& question) override {
        questions.push_back(question);
        if (answers_.empty()) return false;
        const bool answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    void ReportCopyError(const std::string& message) override { errors.push_back(message); }

    std::vector<std::string> questions;
    std::vector<std::string> errors;

private:
    std::deque<bool> answers_;
};

// A template "T" in <folder>/Templates/ and a root folder <folder>/site/.
struct Fixture {
    TempFolder folder;
    std::string templates = folder.dir() + "Templates/";
    std::string root = folder.dir() + "site/";

    Fixture() { fs::create_directories(root); }
    void Template(const std::string& name, const std::string& content) const {
        folder.Write("Templates/T/" + name, content);
    }
    void Existing(const std::string& name, const std::string& content) const {
        folder.Write("site/" + name, content);
    }
    std::string Site(const std::string& name) const { return ReadFileBytes(root + name); }
};

TEST(CreateProject, ExistingSearchPageIsAskedAboutOnceAndNoKeepsIt) {
    Fixture f;
    f.Template("search.html", "new page");
    f.Template("searchdb.js", "new db");
    f.Template("qmptp.js", "new settings");
    f.Template("logo.png", "new logo");
    f.Existing("search.html", "author's page");
    f.Existing("index.html", "author's index");
    f.Existing("logo.png", "old logo");
    f.Template("index.html", "template index");

    ScriptedHost host({false});
    const CopyResult result = CreateProject(f.templates, "T", f.root, host);

    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0], "File " + f.root + "search.html\nis exists.\n\nReplace?");
    EXPECT_EQ(f.Site("search.html"), "author's page");
    // Files that were not there are copied without a question, and other
    // existing files are replaced without one.
    EXPECT_EQ(f.Site("searchdb.js"), "new db");
    EXPECT_EQ(f.Site("qmptp.js"), "new settings");
    EXPECT_EQ(f.Site("logo.png"), "new logo");
    EXPECT_EQ(f.Site("index.html"), "template index");
    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(result.sourceFound);
    EXPECT_EQ(result.copied, 4);
    EXPECT_EQ(result.kept, 1);
    EXPECT_EQ(result.failed, 0);
}

TEST(CreateProject, EachOfTheEngineFilesIsAskedAboutAndYesReplaces) {
    Fixture f;
    for (const char* name : {"qmp.html", "search.html", "searchdb.js", "qmptp.js"}) {
        f.Template(name, std::string("template ") + name);
        f.Existing(name, "author's");
    }
    ScriptedHost host({true, false, true, false});
    CreateProject(f.templates, "T", f.root, host);

    ASSERT_EQ(host.questions.size(), 4u);
    // Answers go to the files in the order the questions came.
    int replaced = 0;
    for (const char* name : {"qmp.html", "search.html", "searchdb.js", "qmptp.js"}) {
        const std::string content = f.Site(name);
        if (content == std::string("template ") + name) {
            ++replaced;
        } else {
            EXPECT_EQ(content, "author's") << name;
        }
    }
    EXPECT_EQ(replaced, 2);
}

TEST(CreateProject, NamesAreComparedWithLetterCase) {
    Fixture f;
    f.Template("Search.html", "template");
    f.Template("QMPTP.JS", "template");
    f.Existing("Search.html", "author's");
    f.Existing("QMPTP.JS", "author's");
    ScriptedHost host;
    CreateProject(f.templates, "T", f.root, host);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(f.Site("Search.html"), "template");
    EXPECT_EQ(f.Site("QMPTP.JS"), "template");
}

TEST(CreateProject, SubFoldersAreCreatedOrReusedAndFollowTheSameRules) {
    Fixture f;
    f.Template("img/a.png", "a");
    f.Template("help/search.html", "template help");
    f.Template("help/deep/er/x.css", "x");
    f.Template(".hidden/.keep", "hidden");
    f.Existing("help/search.html", "author's help");
    f.Existing("help/own.html", "author's own");

    ScriptedHost host({false});
    CreateProject(f.templates, "T", f.root, host);

    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0], "File " + f.root + "help/search.html\nis exists.\n\nReplace?");
    EXPECT_EQ(f.Site("help/search.html"), "author's help");
    EXPECT_EQ(f.Site("help/own.html"), "author's own");
    EXPECT_EQ(f.Site("img/a.png"), "a");
    EXPECT_EQ(f.Site("help/deep/er/x.css"), "x");
    EXPECT_EQ(f.Site(".hidden/.keep"), "hidden");
}

TEST(CreateProject, CopiesContentExactlyAndLeavesNoTemporaryFiles) {
    Fixture f;
    std::string binary;
    for (int i = 0; i < 200000; ++i)
        binary.push_back(static_cast<char>(i * 7 % 256));
    f.Template("big.bin", binary);
    f.Template("empty.txt", "");
    f.Existing("big.bin", "short old content");
    ScriptedHost host;
    CreateProject(f.templates, "T", f.root, host);
    EXPECT_EQ(f.Site("big.bin"), binary);
    EXPECT_TRUE(fs::is_regular_file(f.root + "empty.txt"));
    EXPECT_EQ(f.Site("empty.txt"), "");
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(f.root)) {
        ++entries;
        EXPECT_EQ(entry.path().filename().string().find(".~qmp"), std::string::npos);
    }
    EXPECT_EQ(entries, 2);
}

TEST(CreateProject, AFailedCopyIsReportedOnceAndTheRestIsCopied) {
    Fixture f;
    f.Template("blocked.html", "template");
    f.Template("sub/inner.html", "inner");
    f.Template("fine.html", "fine");
    // A folder where a file should go cannot be replaced by it, and a file
    // where a folder should go keeps the folder's files out.
    fs::create_directories(f.root + "blocked.html/child");
    f.Existing("sub", "a file, not a folder");

    ScriptedHost host;
    const CopyResult result = CreateProject(f.templates, "T", f.root, host);

    ASSERT_EQ(host.errors.size(), 2u);
    std::sort(host.errors.begin(), host.errors.end());
    EXPECT_EQ(host.errors[0],
              "Cannot copy file " + f.templates + "T/blocked.html\nto directory " + f.root);
    EXPECT_EQ(host.errors[1], "Cannot copy file " + f.templates +
                                  "T/sub/inner.html\nto directory " + f.root + "sub/");
    EXPECT_EQ(f.Site("fine.html"), "fine");
    EXPECT_EQ(f.Site("sub"), "a file, not a folder");
    EXPECT_TRUE(fs::is_directory(f.root + "blocked.html/child"));
    EXPECT_EQ(result.failed, 2);
    EXPECT_EQ(result.copied, 1);
}

TEST(CreateProject, AMissingTemplateCopiesNothingAndSaysNothing) {
    Fixture f;
    f.Existing("index.html", "author's");
    for (const char* name : {"Missing", "", ".", "..", "../T", "T/../T"}) {
        ScriptedHost host;
        f.Template("x.html", "x");
        const CopyResult result = CreateProject(f.templates, name, f.root, host);
        EXPECT_FALSE(result.sourceFound) << name;
        EXPECT_TRUE(host.questions.empty() && host.errors.empty()) << name;
    }
    EXPECT_FALSE(fs::exists(f.root + "x.html"));
    EXPECT_EQ(f.Site("index.html"), "author's");
}

TEST(CreateProject, ATemplateCopiedIntoItsOwnFolderEnds) {
    Fixture f;
    f.Template("a.html", "a");
    fs::create_directories(f.templates + "T/out");
    ScriptedHost host;
    CreateProject(f.templates, "T", f.templates + "T/out/", host);
    EXPECT_EQ(ReadFileBytes(f.templates + "T/out/a.html"), "a");
    EXPECT_FALSE(fs::exists(f.templates + "T/out/out"));
}

TEST(CreateProject, ALinkedFolderIsNotEntered) {
    Fixture f;
    f.Template("a.html", "a");
    fs::create_directory_symlink(f.templates + "T", f.templates + "T/loop");
    ScriptedHost host;
    CreateProject(f.templates, "T", f.root, host);
    EXPECT_EQ(f.Site("a.html"), "a");
    EXPECT_FALSE(fs::exists(f.root + "loop"));
}

TEST(CreateProject, NamesTheCodePageCannotSpellAreStillCopied) {
    const CharsetId saved = SystemCodePage();
    SetSystemCodePage(kCharsetWindows1252);
    Fixture f;
    f.Template("\xD0\xB4\xD0\xBE\xD0\xBC.html", "cyrillic name");  // UTF-8 on disk
    ScriptedHost host;
    const CopyResult result = CreateProject(f.templates, "T", f.root, host);
    SetSystemCodePage(saved);
    EXPECT_EQ(result.copied, 1);
    EXPECT_EQ(f.Site("\xD0\xB4\xD0\xBE\xD0\xBC.html"), "cyrillic name");
}

TEST(CreateProject, AnAnsiRootFolderIsOpenedThroughItsSystemName) {
    const CharsetId saved = SystemCodePage();
    SetSystemCodePage(kCharsetWindows1252);
    Fixture f;
    f.Template("search.html", "new");
    fs::create_directories(f.folder.dir() + "caf\xC3\xA9/");  // "café" as the file system names it
    f.folder.Write("caf\xC3\xA9/search.html", "author's");
    ScriptedHost host;
    CreateProject(f.templates, "T", f.folder.dir() + "caf\xE9/", host);  // the program's form
    SetSystemCodePage(saved);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0],
              "File " + f.folder.dir() + "caf\xE9/search.html\nis exists.\n\nReplace?");
    EXPECT_EQ(ReadFileBytes(f.folder.dir() + "caf\xC3\xA9/search.html"), "author's");
}

TEST(ListTemplates, ListsFoldersOnlyInAlphabeticalOrder) {
    TempFolder folder;
    for (const char* name : {"zeta/", "Alpha/", "beta/", "Gamma/"}) {
        fs::create_directories(folder.dir() + name);
    }
    folder.Write("a-file.html", "not a template");
    EXPECT_EQ(ListTemplates(folder.dir()),
              (std::vector<std::string>{"Alpha", "beta", "Gamma", "zeta"}));
    EXPECT_TRUE(ListTemplates(folder.dir() + "missing/").empty());
}

struct StartPageCase {
    std::vector<std::string> files;
    std::string expected;  // empty: the folder itself
};

TEST(StartPage, TakesTheFirstCandidateThatIsAFile) {
    const std::vector<StartPageCase> cases = {
        {{"qmp.html", "search.html", "index.html"}, "qmp.html"},
        {{"search.html", "index.html"}, "search.html"},
        {{"index.html"}, "index.html"},
        {{"other.html"}, ""},
        {{}, ""},
        // A folder of a candidate's name is not a page.
        {{"qmp.html/", "index.html"}, "index.html"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        for (const auto& name : c.files) {
            if (name.back() == '/') {
                fs::create_directories(folder.dir() + name);
            } else {
                folder.Write(name, "page");
            }
        }
        EXPECT_EQ(StartPage(folder.dir() + "searchdb.js"), folder.dir() + c.expected)
            << testing::PrintToString(c.files);
    }
}

}  // namespace
}  // namespace qmp
