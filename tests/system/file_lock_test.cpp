#include "system/file_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "system/temp_files.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::ReadFileBytes;
using test::TempFolder;

TEST(FileLock, OneHolderAtATimeWhoIsNamed) {
    TempFolder folder;
    const std::string path = folder.dir() + "db.js~lock~";
    FileLock first;
    ASSERT_EQ(first.Take(path, false), FileLock::Result::kTaken);
    const std::string self = std::to_string(getpid());
    EXPECT_EQ(ReadFileBytes(path), self + " " + program_invocation_short_name + "\n");
    EXPECT_EQ(LockHolderText(path),
              std::string(program_invocation_short_name) + " (process " + self + ")");

    // A second holder (another open of the file, as another process has) waits its turn.
    FileLock second;
    EXPECT_EQ(second.Take(path, false), FileLock::Result::kBusy);
    EXPECT_EQ(second.Holder(), LockHolderText(path));
    EXPECT_FALSE(second.Held());
    FileLock moved = std::move(first);
    EXPECT_EQ(second.Take(path, false), FileLock::Result::kBusy);
    moved.Release();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(second.Take(path, false), FileLock::Result::kTaken);
    EXPECT_TRUE(second.Held());
}

TEST(FileLock, AWaitingHolderGetsItWhenTheOtherLetsGo) {
    TempFolder folder;
    const std::string path = folder.dir() + "db.js~lock~";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileLock lock;
        const bool taken = lock.Take(path, false) == FileLock::Result::kTaken;
        (void)!write(ready[1], "x", 1);
        usleep(200 * 1000);
        _exit(taken ? 0 : 1);  // the system drops the lock; the file stays behind
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    FileLock lock;
    EXPECT_EQ(lock.Take(path, false), FileLock::Result::kBusy);
    EXPECT_EQ(LockHolderText(path), std::string(program_invocation_short_name) + " (process " +
                                        std::to_string(child) + ")");
    EXPECT_EQ(lock.Take(path, true), FileLock::Result::kTaken);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileBytes(path),
              std::to_string(getpid()) + " " + program_invocation_short_name + "\n");
    close(ready[0]);
    close(ready[1]);
}

TEST(FileLock, WhatTheLockFileSays) {
    TempFolder folder;
    const struct {
        std::string content;  // "-" for no file
        std::string holder;
    } cases[] = {
        {"-", ""},
        {"", ""},
        {"123 qmp\n", "qmp (process 123)"},
        {"123\n", "process 123"},
        {"123 \n", "process 123"},
        {"x123 qmp", ""},
        {"12345678901 qmp", ""},
    };
    for (const auto& c : cases) {
        const std::string path = folder.dir() + "lock";
        std::filesystem::remove(path);
        if (c.content != "-") folder.Write("lock", c.content);
        EXPECT_EQ(LockHolderText(path), c.holder) << c.content;
    }
}

TEST(FileLock, ALockFileThatCannotBeMadeFails) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "taken~lock~");
    FileLock lock;
    EXPECT_EQ(lock.Take(folder.dir() + "taken~lock~", false), FileLock::Result::kFailed);
    EXPECT_EQ(lock.Error(), EISDIR);
    EXPECT_EQ(lock.Take(folder.dir() + "missing/db~lock~", false), FileLock::Result::kFailed);
    EXPECT_EQ(lock.Error(), ENOENT);
    EXPECT_FALSE(lock.Held());
}

TEST(ScratchFile, RemovedWhenTheProgramEndsMeanwhile) {
    TempFolder folder;
    const std::string kept = folder.Write("kept", "x");
    const std::string scratch = folder.Write("scratch", "x");
    { const ScratchFile done(kept); }
    const ScratchFile live(scratch);
    RemoveScratchFiles();
    EXPECT_TRUE(std::filesystem::exists(kept));
    EXPECT_FALSE(std::filesystem::exists(scratch));
}

}  // namespace
}  // namespace qmp
