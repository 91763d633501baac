#include "decoding/display_text.h"

#include <gtest/gtest.h>

#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"

namespace qmp {
namespace {

TEST(DisplayText, Utf8ModeShowsValidUtf8) {
    ScopedUtf8Mode utf8(true);
    const struct {
        std::string_view stored;
        std::string_view shown;
    } cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        // A character above U+FFFF as the database writes it: two three-byte forms.
        {"\xED\xA0\xBD\xED\xB8\x80", "\xF0\x9F\x98\x80"},
        {"a\xE9z", "a\xEF\xBF\xBDz"},              // an ANSI byte
        {"\xED\xA0\xBD", "\xEF\xBF\xBD"},          // a lone surrogate
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // an overlong form
        {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut short
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // > U+10FFFF
    };
    for (const auto& c : cases)
        EXPECT_EQ(DisplayText(c.stored), c.shown);
}

TEST(DisplayText, AnsiModeReadsTheSystemCodePage) {
    ScopedUtf8Mode ansi(false);
    SetSystemCodePage(CharsetFromName("windows-1251"));
    EXPECT_EQ(DisplayText("\xC4\xE0!"), "\xD0\x94\xD0\xB0!");  // U+0414 U+0430
    SetSystemCodePage(kCharsetWindows1252);
    EXPECT_EQ(DisplayText("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");  // U+00E9, U+20AC
    EXPECT_EQ(AnsiDisplayText("caf\xE9"), "caf\xC3\xA9");
}

TEST(DisplayText, TypedTextComesBackAsTyped) {
    SetSystemCodePage(kCharsetWindows1252);
    const struct {
        bool utf8;
        std::string_view typed;
        std::string_view stored;
        std::string_view shownAgain;
    } cases[] = {
        {true, "caf\xC3\xA9 \xE2\x80\x94 \xD0\x94", "caf\xC3\xA9 \xE2\x80\x94 \xD0\x94",
         "caf\xC3\xA9 \xE2\x80\x94 \xD0\x94"},
        {true, "a\xFFz", "a\xEF\xBF\xBDz", "a\xEF\xBF\xBDz"},
        {false, "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},
        {false, "\xD0\x94", "?", "?"},  // not in windows-1252
    };
    for (const auto& c : cases) {
        ScopedUtf8Mode mode(c.utf8);
        EXPECT_EQ(TypedDatabaseText(c.typed), c.stored);
        EXPECT_EQ(DisplayText(TypedDatabaseText(c.typed)), c.shownAgain);
    }
    EXPECT_EQ(TypedAnsiText("caf\xC3\xA9"), "caf\xE9");
}

}  // namespace
}  // namespace qmp
