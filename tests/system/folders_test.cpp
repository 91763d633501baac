#include "system/folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "system/paths.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::ScopedEnv;
using test::TempFolder;

TEST(ForceFolders, CreatesMissingParents) {
    TempFolder folder;
    const std::string deep = folder.dir() + "a/b/c/";
    EXPECT_TRUE(ForceFolders(deep));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(ForceFolders(deep));                  // exists already
    EXPECT_TRUE(ForceFolders(folder.dir() + "a/b"));  // without the final separator
    EXPECT_TRUE(ForceFolders("/"));

    // A file in the way cannot become a folder.
    folder.Write("file", "x");
    EXPECT_FALSE(ForceFolders(folder.dir() + "file/sub/"));
    EXPECT_FALSE(std::filesystem::exists(folder.dir() + "file/sub"));
}

TEST(UserSettingsDir, InstalledUnderTheConfigHomePortableBesideTheProgram) {
    TempFolder config;
    ScopedEnv env("XDG_CONFIG_HOME", config.path().c_str());

    SetProgramDirOverride(ProgramFilesDir() + "lib/qmplit/");
    EXPECT_EQ(UserSettingsDir("Corvan/Quarrymap/"), config.dir() + "Corvan/Quarrymap/");
    {
        ScopedEnv noConfig("XDG_CONFIG_HOME", nullptr);
        ScopedEnv noHome("HOME", nullptr);
        EXPECT_EQ(UserSettingsDir("Corvan/Quarrymap/"), ProgramFilesDir() + "lib/qmplit/");
    }

    SetProgramDirOverride("/media/stick/qmplit/");
    EXPECT_EQ(UserSettingsDir("Corvan/Quarrymap/"), "/media/stick/qmplit/");
    SetProgramDirOverride("");
}

}  // namespace
}  // namespace qmp
