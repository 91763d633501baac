#include "system/full_path.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_paths.h"

namespace qmp {
namespace {

namespace fs = std::filesystem;

TEST(NormalPath, ResolvesNamesAsText) {
    const struct {
        const char* path;
        const char* currentDir;
        const char* normal;
    } cases[] = {
        {"/a/b/c.html", "/x", "/a/b/c.html"},
        {"a//b/./c.html", "/x/", "/x/a/b/c.html"},
        {"../searchdb.js", "/home/site", "/home/searchdb.js"},
        {"site/../site/", "/w", "/w/site/"},
        {"./site/./", "/w", "/w/site/"},
        {"site//", "/w", "/w/site/"},
        {".", "/w", "/w/"},
        {"a/..", "/w", "/w/"},
        {"", "/w", "/w/"},
        {"/../../x", "/w", "/x"},
        {"..", "/", "/"},
        {"//", "/w", "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalPath(c.path, c.currentDir), c.normal) << c.path;
}

TEST(RealFolder, OneFolderHoweverItIsReached) {
    test::TempFolder folder;
    folder.Write("real/sub/page.html", "x");
    fs::create_directory_symlink(folder.path() / "real", folder.path() / "linked");
    fs::create_symlink(folder.path() / "real" / "sub" / "page.html",
                       folder.path() / "real" / "alias.html");
    const std::string real = fs::canonical(folder.path() / "real" / "sub").string() + "/";
    const std::string dir = folder.dir();
    for (const std::string& typed :
         {dir + "real/sub", dir + "real/sub/", dir + "linked/sub/", dir + "real//sub/./",
          dir + "linked/../real/sub", dir + "real/sub/../sub"}) {
        EXPECT_EQ(RealFolder(typed), real) << typed;
        EXPECT_EQ(RealFilePath(typed + "/db.js"), real + "db.js") << typed;
    }
    // The file's own name stays, a link included: the pages find it under it.
    EXPECT_EQ(RealFilePath(dir + "linked/alias.html"),
              fs::canonical(folder.path() / "real").string() + "/alias.html");
    // A folder that does not exist is taken as typed, made normal.
    EXPECT_EQ(RealFolder(dir + "real/none/../none2/."), RealFolder(dir + "real") + "none2/");
}

TEST(LeadsInside, FollowsLinksOnBothSides) {
    test::TempFolder folder;
    folder.Write("site/page.html", "x");
    folder.Write("elsewhere/secret.html", "x");
    const fs::path site = folder.path() / "site";
    fs::create_symlink(site / "page.html", site / "alias.html");
    fs::create_symlink(folder.path() / "elsewhere" / "secret.html", site / "secret.html");
    fs::create_symlink("../site/page.html", site / "relative.html");
    fs::create_directory_symlink(site, folder.path() / "linked");
    const std::string linked = (folder.path() / "linked").string();
    const struct {
        const char* name;
        bool inside;
    } cases[] = {{"page.html", true},
                 {"alias.html", true},
                 {"relative.html", true},
                 {"secret.html", false},
                 {"missing.html", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(LeadsInside((site / c.name).string(), site.string()), c.inside) << c.name;
        EXPECT_EQ(LeadsInside((site / c.name).string(), linked + "/"), c.inside) << c.name;
    }
    EXPECT_FALSE(LeadsInside(site.string(), site.string()));
}

}  // namespace
}  // namespace qmp
