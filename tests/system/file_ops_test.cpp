#include "system/file_ops.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "tests/support/faulty_file_ops.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::FaultyFileOps;
using test::ReadFileBytes;
using test::TempFolder;

TEST(ReplaceFileContent, ReplacesOnlyWithACompleteFile) {
    TempFolder folder;
    const std::string path = folder.Write("settings.ini", "old");
    EXPECT_TRUE(ReplaceFileContent(SystemFileOps(), path, "new content"));
    EXPECT_EQ(ReadFileBytes(path), "new content");

    FaultyFileOps failingWrite;
    failingWrite.failWritesAfter = 3;
    FaultyFileOps failingFlush;
    failingFlush.failCommit = true;
    FaultyFileOps failingRename;
    failingRename.failRenames = {1};
    FaultyFileOps failingCreate;
    failingCreate.failCreate = true;
    for (FaultyFileOps* ops : {&failingWrite, &failingFlush, &failingRename, &failingCreate}) {
        EXPECT_FALSE(ReplaceFileContent(*ops, path, "newer content"));
        EXPECT_EQ(ReadFileBytes(path), "new content");
        EXPECT_FALSE(std::filesystem::exists(path + "~temp~"));
    }
}

TEST(FileOps, CreateReplacesALinkInsteadOfFollowingIt) {
    TempFolder folder;
    const std::string victim = folder.Write("victim", "keep me");
    const std::string name = folder.dir() + "out~temp~";
    ASSERT_EQ(symlink(victim.c_str(), name.c_str()), 0);
    auto file = SystemFileOps().Create(name);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Write("x"));
    EXPECT_TRUE(file->Commit());
    EXPECT_EQ(ReadFileBytes(victim), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(name));
    EXPECT_EQ(ReadFileBytes(name), "x");
}

TEST(ReadFileContent, ReadsRegularFilesOnly) {
    TempFolder folder;
    std::string content = "stale";
    EXPECT_TRUE(ReadFileContent(folder.Write("a", std::string("x\0y", 3)), content));
    EXPECT_EQ(content, std::string("x\0y", 3));
    EXPECT_FALSE(ReadFileContent(folder.dir() + "missing", content));
    EXPECT_EQ(content, "");
    EXPECT_FALSE(ReadFileContent(folder.dir(), content));
    EXPECT_FALSE(ReadFileContent("/dev/zero", content));
    // Why not, when asked; a name holding a NUL names no file.
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    for (const auto& [path, expected] : {std::pair{folder.dir(), EISDIR},
                                         {"/dev/zero", EINVAL},
                                         {folder.dir() + "a" + std::string(1, '\0'), ENOENT}}) {
        int error = 0;
        EXPECT_FALSE(ReadWholeFile(path, data, size, &error)) << path;
        EXPECT_EQ(error, expected) << path;
    }

    // A file that claims to be empty but is not (as those of /proc do) is read whole.
    EXPECT_TRUE(ReadFileContent("/proc/self/status", content));
    EXPECT_NE(content.find("Name:"), std::string::npos);
    EXPECT_EQ(content.back(), '\n');
}

}  // namespace
}  // namespace qmp
