#include "system/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "system/os_path.h"
#include "system/temp_files.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::ScopedEnv;
using test::TempFolder;

TEST(PathHelpers, SeparatorsAndParts) {
    EXPECT_EQ(IncludeTrailingSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(IncludeTrailingSeparator("/a/b/"), "/a/b/");
    EXPECT_EQ(IncludeTrailingSeparator(""), "/");
    EXPECT_EQ(ExtractFilePath("/site/docs/index.html"), "/site/docs/");
    EXPECT_EQ(ExtractFilePath("index.html"), "");
    EXPECT_EQ(ExtractFileName("/site/docs/index.html"), "index.html");
    EXPECT_EQ(ExtractFileName("/site/docs/"), "");
}

TEST(ProgramDir, IsTheRunningProgramsFolderUnlessOverridden) {
    const std::string dir = ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    SetProgramDirOverride("/opt/elsewhere");
    EXPECT_EQ(ProgramDir(), "/opt/elsewhere/");
    SetProgramDirOverride("");
    EXPECT_EQ(ProgramDir(), dir);
}

TEST(IsPortableInstall, TrueOutsideTheInstallPrefix) {
    SetProgramDirOverride(ProgramFilesDir() + "lib/qmplit/");
    EXPECT_FALSE(IsPortableInstall());
    SetProgramDirOverride("/media/usb/qmplit/");
    EXPECT_TRUE(IsPortableInstall());
    SetProgramDirOverride("");
}

TEST(DocumentsDir, DocumentsFolderThenHomeThenRoot) {
    TempFolder home;
    ScopedEnv homeVar("HOME", home.path().c_str());
    EXPECT_EQ(DocumentsDir(), home.dir());
    std::filesystem::create_directory(home.path() / "Documents");
    EXPECT_EQ(DocumentsDir(), home.dir() + "Documents/");
    ScopedEnv emptyHome("HOME", "");
    EXPECT_EQ(DocumentsDir(), "/");
}

TEST(ConfigHomeDir, XdgVariableThenHome) {
    ScopedEnv home("HOME", "/home/author");
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(ConfigHomeDir(), "/cfg/");
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(ConfigHomeDir(), "/home/author/.config/");
}

TEST(OsPath, AnsiNamesBecomeUtf8AndBack) {
    SetSystemCodePage(CharsetFromName("windows-1251"));
    EXPECT_EQ(ToOsPath("/site/\xCF\xF0\xE8\xE2\xE5\xF2.html"),
              "/site/\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.html");
    EXPECT_EQ(FromOsName("\xD0\x9F\xD1\x80\xD0\xB8"), "\xCF\xF0\xE8");
    EXPECT_EQ(FromOsName("caf\xC3\xA9"), "caf?");             // not in windows-1251
    EXPECT_EQ(FromOsName("a\xFF\xC3(b"), "a??(b");            // one "?" per invalid byte
    EXPECT_EQ(FromOsName("\xE0\x80\x80"), "???");             // overlong form
    EXPECT_EQ(FromOsName("\xF0\x9F\x98\x80.mp3"), "??.mp3");  // a pair of code units
    SetSystemCodePage(kCharsetWindows1252);
    EXPECT_EQ(FromOsName("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(ToOsPath("plain/ascii"), "plain/ascii");
}

TEST(OsPath, AnsiFileNamesReachTheFileSystemAsUtf8) {
    TempFolder folder;
    const std::string ansiPath = FromOsName(folder.dir()) + "r\xE9sum\xE9.txt";
    FILE* f = fopen(ToOsPath(ansiPath).c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "r\xC3\xA9sum\xC3\xA9.txt"));
}

TEST(TempFileName, FreshNamesInTheTemporaryFolder) {
    TempFolder tmp;
    ScopedEnv tmpdir("TMPDIR", tmp.path().c_str());
    EXPECT_EQ(TempDir(), tmp.dir());
    const std::string a = TempFileName();
    const std::string b = TempFileName();
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind(tmp.dir() + "tor", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(a));  // reserved, then removed at once
    ScopedEnv missing("TMPDIR", "/nonexistent-folder-for-qmp-tests");
    EXPECT_EQ(TempFileName(), "");
}

TEST(FileNames, LinksAreFollowedToTheirFile) {
    TempFolder folder;
    const std::string file = folder.Write("real/db.js", "x");
    std::filesystem::create_symlink("real/db.js", folder.path() / "relative");
    std::filesystem::create_symlink("relative", folder.path() / "twice");
    std::filesystem::create_symlink("loop", folder.path() / "loop");
    int error = 0;
    EXPECT_EQ(FollowFileLinks(folder.dir() + "twice", error), folder.dir() + "real/db.js");
    EXPECT_EQ(FollowFileLinks(file, error), file);
    EXPECT_EQ(FollowFileLinks(folder.dir() + "loop", error), "");
    EXPECT_EQ(error, ELOOP);
}

}  // namespace
}  // namespace qmp
