#include "core/batch_command.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/integer_text.h"

namespace qmp {
namespace {

using Args = std::vector<std::string>;
constexpr std::string_view kCurrentDir = "/home/author/";

TEST(BatchCommand, VerbFollowsTheArgumentCount) {
    const struct {
        Args arguments;
        BatchVerb verb;
    } cases[] = {
        {{}, BatchVerb::kNone},
        {{"db.js"}, BatchVerb::kNone},
        {{"db.js", "update"}, BatchVerb::kUpdate},
        {{"db.js", "UPDATE"}, BatchVerb::kUpdate},
        {{"db.js", "Update"}, BatchVerb::kUpdate},
        {{"db.js", "AddSite"}, BatchVerb::kAddSite},
        {{"db.js", "list"}, BatchVerb::kNone},
        {{"db.js", "addsite", "/s/"}, BatchVerb::kNone},
        {{"db.js", "addsite", "/s/", "1"}, BatchVerb::kNone},
        {{"db.js", "addsite", "/s/", "1", "y"}, BatchVerb::kNone},
        {{"db.js", "ADDSITE", "/s/", "1", "y", "y"}, BatchVerb::kScriptedAddSite},
        {{"db.js", "update", "/s/", "1", "y", "y"}, BatchVerb::kNone},
        {{"db.js", "addsite", "/s/", "1", "y", "y", "y"}, BatchVerb::kNone},
        // Only ASCII letters change case: a dotted capital I is not an "i".
        {{"db.js", "upd\xC4\xB0te"}, BatchVerb::kNone},
    };
    for (const auto& c : cases) {
        const BatchCommand command = ParseBatchCommand(c.arguments, kCurrentDir);
        EXPECT_EQ(command.verb, c.verb) << ::testing::PrintToString(c.arguments);
        EXPECT_TRUE(command.error.empty());
    }
}

TEST(BatchCommand, ScriptedOptions) {
    const struct {
        std::string folder, category, recurse, existing;
        std::string wantFolder;
        std::int32_t wantCategory;
        bool wantRecurse, wantExisting;
    } cases[] = {
        {"/data/site/", "2", "y", "y", "/data/site/", 2, true, true},
        {"/data/site/index.html", "0", "y", "n", "/data/site/", 0, true, false},
        // Without the final separator the last name is taken as a file.
        {"/data/site", "-1", "Y", "yes", "/data/", -1, false, false},
        {"site/docs/", "+7", "n", "y", "/home/author/site/docs/", 7, false, true},
        {"index.html", "3", "", "y", "/home/author/", 3, false, true},
        {"./site/../other/a.html", "1", "y", "y", "/home/author/other/", 1, true, true},
        {"/", "1", "y", "y", "/", 1, true, true},
    };
    for (const auto& c : cases) {
        const BatchCommand command = ParseBatchCommand(
            {"db.js", "addsite", c.folder, c.category, c.recurse, c.existing}, kCurrentDir);
        ASSERT_EQ(command.verb, BatchVerb::kScriptedAddSite) << c.folder;
        EXPECT_EQ(command.folder, c.wantFolder) << c.folder;
        EXPECT_EQ(command.category, c.wantCategory) << c.category;
        EXPECT_EQ(command.recurse, c.wantRecurse) << c.recurse;
        EXPECT_EQ(command.addExisting, c.wantExisting) << c.existing;
        EXPECT_TRUE(command.error.empty()) << command.error;
    }
}

TEST(BatchCommand, CategoryThatIsNoNumber) {
    for (const std::string text : {"", "two", "2a", " 2", "0x2", "-", "2147483648"}) {
        const BatchCommand command =
            ParseBatchCommand({"db.js", "addsite", "/s/", text, "y", "y"}, kCurrentDir);
        EXPECT_EQ(command.verb, BatchVerb::kScriptedAddSite);
        EXPECT_EQ(command.error, "'" + text + "' is not a valid integer value");
    }
}

TEST(DecimalInteger, WholeTextWithin32Bits) {
    const struct {
        std::string_view text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0", 0},
        {"-0", 0},
        {"+15", 15},
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"+", std::nullopt},
        {"--1", std::nullopt},
        {"1 ", std::nullopt},
        {"$10", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecimalInteger(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace qmp
