#include "system/file_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_paths.h"

namespace qmp {
namespace {

// Taking, refusing and letting go are tried through the commands
// (tests/cli); here, what a lock file that anyone may have written says.
TEST(FileLock, WhatTheLockFileSays) {
    test::TempFolder folder;
    const std::string path = folder.dir() + "lock";
    EXPECT_EQ(LockHolderText(path), "");
    const struct {
        std::string content;
        std::string holder;
    } cases[] = {
        {"", ""},
        {"123 qmp\n", "qmp (process 123)"},
        {"123\n", "process 123"},
        {"123 \n", "process 123"},
        {"x123 qmp", ""},
        {"12345678901 qmp", ""},
    };
    for (const auto& c : cases) {
        folder.Write("lock", c.content);
        EXPECT_EQ(LockHolderText(path), c.holder) << c.content;
    }
}

}  // namespace
}  // namespace qmp
