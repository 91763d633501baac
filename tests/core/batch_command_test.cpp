#include "core/batch_command.h"

#include <gtest/gtest.h>

namespace qmp {
namespace {

using Args = std::vector<std::string>;

TEST(BatchCommand, VerbFollowsTheArgumentCount) {
    const struct {
        Args arguments;
        BatchVerb verb;
    } cases[] = {
        {{"db.js"}, BatchVerb::kNone},
        {{"db.js", "UPDATE"}, BatchVerb::kUpdate},
        {{"db.js", "AddSite"}, BatchVerb::kAddSite},
        {{"db.js", "list"}, BatchVerb::kNone},
        // Only ASCII letters change case: a dotted capital I is no "i".
        {{"db.js", "upd\xC4\xB0te"}, BatchVerb::kNone},
        {{"db.js", "addsite", "/s/", "1", "y"}, BatchVerb::kNone},
        {{"db.js", "ADDSITE", "/s/", "1", "y", "y"}, BatchVerb::kScriptedAddSite},
        {{"db.js", "update", "/s/", "1", "y", "y"}, BatchVerb::kNone},
        {{"db.js", "addsite", "/s/", "1", "y", "y", "y"}, BatchVerb::kNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseBatchCommand(c.arguments, "/").verb, c.verb) << c.arguments.back();
}

TEST(BatchCommand, ScriptedOptions) {
    const struct {
        std::string folder, category, recurse, existing;
        std::string wantFolder;
        std::int32_t wantCategory;
        bool wantRecurse, wantExisting;
        bool badCategory;
    } cases[] = {
        {"/data/site/index.html", "2", "y", "n", "/data/site/", 2, true, false, false},
        // Without the final separator the last name is taken as a file.
        {"/data/site", "-2147483648", "Y", "yes", "/data/", INT32_MIN, false, false, false},
        {"site/docs/", "+7", "n", "y", "/home/author/site/docs/", 7, false, true, false},
        {"index.html", "3", "", "y", "/home/author/", 3, false, true, false},
        {"./site/../other/a.html", "1", "y", "y", "/home/author/other/", 1, true, true, false},
        {"/s/", "", "y", "y", "/s/", 0, true, true, true},
        {"/s/", " 2", "y", "y", "/s/", 0, true, true, true},
        {"/s/", "0x2", "y", "y", "/s/", 0, true, true, true},
        {"/s/", "2147483648", "y", "y", "/s/", 0, true, true, true},
    };
    for (const auto& c : cases) {
        const BatchCommand command = ParseBatchCommand(
            {"db.js", "addsite", c.folder, c.category, c.recurse, c.existing}, "/home/author");
        EXPECT_EQ(command.folder, c.wantFolder) << c.folder;
        EXPECT_EQ(command.category, c.wantCategory) << c.category;
        EXPECT_EQ(command.recurse, c.wantRecurse) << c.recurse;
        EXPECT_EQ(command.addExisting, c.wantExisting) << c.existing;
        EXPECT_EQ(command.error,
                  c.badCategory ? "'" + c.category + "' is not a valid integer value" : "");
    }
}

}  // namespace
}  // namespace qmp
