#include "system/full_path.h"

#include <gtest/gtest.h>

namespace qmp {
namespace {

TEST(NormalPath, ResolvesNamesAsText) {
    const struct {
        const char* path;
        const char* currentDir;
        const char* normal;
    } cases[] = {
        {"a//b/./c.html", "/x/", "/x/a/b/c.html"},
        {"../searchdb.js", "/home/site", "/home/searchdb.js"},
        {"site/../site/", "/w", "/w/site/"},
        {"a/..", "/w", "/w/"},
        {"/../../x", "/w", "/x"},
        {"", "/w", "/w/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalPath(c.path, c.currentDir), c.normal) << c.path;
}

}  // namespace
}  // namespace qmp
