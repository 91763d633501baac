#include <gtest/gtest.h>

#include <sstream>

#include "cli/arguments.h"
#include "cli/engine_settings.h"
#include "cli/link_output.h"
#include "cli/progress.h"
#include "cli/terminal_text.h"

namespace qmp::cli {
namespace {

TEST(Arguments, ParseInteger) {
    const struct {
        std::string_view text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"12", 12},
        {"  7", 7},
        {"-3", -3},
        {"+4", 4},
        {"$1F", 31},
        {"0x10", 16},
        {"0X1f", 31},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"x", std::nullopt},
        {"", std::nullopt},
        {"1 ", std::nullopt},
        {"1.5", std::nullopt},
        {"0x", std::nullopt},
        {"-", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseInteger(c.text), c.value) << c.text;
}

TEST(Arguments, AbsolutePath) {
    const struct {
        std::string_view argument;
        std::string_view path;
    } cases[] = {
        {"/a/b", "/a/b"},   {"x/y", "/cwd/x/y"},   {".", "/cwd"},           {"./x", "/cwd/x"},
        {".//x", "/cwd/x"}, {"../x", "/cwd/../x"}, {"a/./b", "/cwd/a/./b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AbsoluteOsPath(c.argument, "/cwd"), c.path) << c.argument;
    EXPECT_EQ(AbsoluteOsPath("x", "/"), "/x");
}

TEST(EngineSettings, SetsOnlyTheDatabaseSetting) {
    const struct {
        std::string_view script;
        std::string_view result;  // empty: no such setting
    } cases[] = {
        {"var s = {\n  // The search database beside this page\n  database: 'searchdb.js',\n"
         "  databaseCharset: 'auto'\n};",
         "var s = {\n  // The search database beside this page\n  database: 'x.js',\n"
         "  databaseCharset: 'auto'\n};"},
        {"{database : \"a\\\"b.js\"}", "{database : 'x.js'}"},
        {"{databaseCharset: 'a', mydatabase: 'b'}", ""},
        {"{database: name}", ""},
        {"{database: 'open", ""},
    };
    for (const auto& c : cases) {
        std::string script(c.script);
        const bool set = SetDatabaseSetting(script, "x.js");
        EXPECT_EQ(set, !c.result.empty()) << c.script;
        EXPECT_EQ(script, c.result.empty() ? c.script : c.result);
    }
}

TEST(LinkOutput, JsonString) {
    EXPECT_EQ(JsonString("plain"), "\"plain\"");
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("\r\n\t\x01\x1f"), "\"\\r\\n\\t\\u0001\\u001f\"");
    EXPECT_EQ(JsonString("caf\xC3\xA9 \xE2\x80\xA8"), "\"caf\xC3\xA9 \xE2\x80\xA8\"");
}

TEST(Progress, OneLineInPlace) {
    std::ostringstream err;
    {
        ProgressLine line(err, true, 30);
        line.Show("Files indexed: 7  ", "/a/very/long/path/to/page.html", true);
    }
    // The head stays whole, the text keeps its end; the line is cleared at the end.
    EXPECT_EQ(err.str(), "\rFiles indexed: 7  ...age.html\x1b[K\r\x1b[K");

    std::ostringstream quiet;
    {
        ProgressLine line(quiet, false, 30);
        line.Show("head", "text", true);
    }
    EXPECT_EQ(quiet.str(), "");

    // A name cannot steer the terminal, nor break the line.
    std::ostringstream named;
    {
        ProgressLine line(named, true, 60);
        line.Show("n: ", "/site/\x1b[2J\n\r.html", true);
    }
    EXPECT_EQ(named.str(), "\rn: /site/\\x1b[2J\\x0a\\x0d.html\x1b[K\r\x1b[K");
}

TEST(TerminalText, ControlCharactersShowAsEscapes) {
    const struct {
        std::string text;
        bool keepLineBreaks;
        std::string shown;
    } cases[] = {
        {"caf\xC3\xA9 \xC2\xA0\xC2", true, "caf\xC3\xA9 \xC2\xA0\xC2"},
        {"a\x1b[31m\nb", true, "a\\x1b[31m\nb"},
        {"line\nbreak", false, "line\\x0abreak"},
        {std::string("\t\x7f\0", 3), true, "\\x09\\x7f\\x00"},
        {"\xC2\x9B"
         "2J",
         true, "\\u009b2J"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TerminalText(c.text, c.keepLineBreaks), c.shown) << c.text;
}

}  // namespace
}  // namespace qmp::cli
