#include "decoding/database_text.h"

#include <gtest/gtest.h>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"

namespace qmp {
namespace {

// Runs a test under one system code page and restores windows-1252 after it.
class ScopedCodePage final {
public:
    explicit ScopedCodePage(const char* name) { SetSystemCodePage(CharsetFromName(name)); }
    ~ScopedCodePage() { SetSystemCodePage(kCharsetWindows1252); }
};

TEST(ToDatabaseText, AnsiModeKeepsTheBytes) {
    ScopedUtf8Mode mode(false);
    EXPECT_EQ(ToDatabaseText("caf\xE9", ""), "caf\xE9");
    EXPECT_EQ(ToDatabaseText("\xC3\xA9", "windows-1251"), "\xC3\xA9");
}

TEST(ToDatabaseText, Utf8ModeDecodesTheDeclaredCharset) {
    ScopedUtf8Mode mode(true);
    ScopedCodePage page("windows-1252");
    EXPECT_EQ(ToDatabaseText("\xE9", ""), "\xC3\xA9");           // system ANSI
    EXPECT_EQ(ToDatabaseText("\xC3\xA9", "utf-8"), "\xC3\xA9");  // kept as it is
    EXPECT_EQ(ToDatabaseText("\xC3\xA9", "UTF-8"), "\xC3\xA9");
    EXPECT_EQ(ToDatabaseText("\xC3\xA9", "utf8"), "\xC3\x83\xC2\xA9");  // encoded twice
    EXPECT_EQ(ToDatabaseText("\xE9", "windows-1251"), "\xD0\xB9");
    EXPECT_EQ(ToDatabaseText("\x80", ""), "\xE2\x82\xAC");
    EXPECT_EQ(ToDatabaseText("", "koi8-r"), "");
}

TEST(ToDatabaseText, Latin1NamesUseTheSystemTable) {
    ScopedUtf8Mode mode(true);
    ScopedCodePage page("windows-1251");
    EXPECT_EQ(ToDatabaseText("\xE9", "iso-8859-1"), "\xD0\xB9");  // U+0439
}

TEST(StorableText, ControlsBecomeSpacesAndUtf8ModeKeepsOnlyWellFormedText) {
    ScopedCodePage page("windows-1252");
    struct Case {
        const char* text;
        const char* ansi;
        const char* utf8;
    };
    const Case cases[] = {
        {"a\tb\x14"
         "c\x7F",
         "a b c ", "a b c "},
        {"caf\xC3\xA9 \xE2\x80\x94", "caf\xC3\xA9 \xE2\x80\x94", "caf\xC3\xA9 \xE2\x80\x94"},
        // A stray byte of the system code page, a cut sequence, a C1 control.
        {"caf\xE9", "caf\xE9", "caf\xC3\xA9"},
        {"\x80x\xE2\x80", "\x80x\xE2\x80", "\xE2\x82\xACx\xC3\xA2\xE2\x82\xAC"},
        {"a\xC2\x85"
         "b",
         "a\xC2\x85"
         "b",
         "a b"},
        // A surrogate pair in two three-byte forms, and a lone one.
        {"\xED\xA0\xBD\xED\xB8\x80", nullptr, "\xF0\x9F\x98\x80"},
        {"\xED\xA0\xBDx", nullptr, "\xC3\xAD\xC2\xA0\xC2\xBDx"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        if (c.ansi != nullptr) {
            ScopedUtf8Mode mode(false);
            EXPECT_EQ(StorableText(c.text), c.ansi) << "ANSI: " << c.text;
        }
        ScopedUtf8Mode mode(true);
        const std::string stored = StorableText(c.text);
        EXPECT_EQ(stored, c.utf8) << "UTF-8: " << c.text;
        EXPECT_EQ(StorableText(stored), stored) << "stored text stays as it is";
    }
}

TEST(FromDatabaseText, Utf8ModeGivesSystemAnsiWithQuestionMarks) {
    ScopedCodePage page("windows-1252");
    {
        ScopedUtf8Mode mode(false);
        EXPECT_EQ(FromDatabaseText("\xC3\xA9"), "\xC3\xA9");
    }
    ScopedUtf8Mode mode(true);
    EXPECT_EQ(FromDatabaseText("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
    EXPECT_EQ(FromDatabaseText("\xD0\xB9"), "?");             // Cyrillic on a Western system
    EXPECT_EQ(FromDatabaseText("\xF0\x9F\x98\x80!"), "??!");  // one "?" per code unit
    EXPECT_EQ(FromDatabaseText(""), "");
}

TEST(FromDatabaseText, RoundTripsEveryAnsiByteThroughUtf8) {
    for (const char* name : {"windows-1252", "windows-1251", "windows-1253", "koi8-r"}) {
        ScopedCodePage page(name);
        ScopedUtf8Mode mode(true);
        std::string all;
        for (int b = 1; b < 256; ++b)
            all.push_back(static_cast<char>(b));
        EXPECT_EQ(FromDatabaseText(ToDatabaseText(all, "")), all) << name;
    }
}

TEST(DatabaseLowerCase, FollowsTheModeAndTheCodePage) {
    {
        ScopedCodePage page("windows-1252");
        ScopedUtf8Mode mode(false);
        EXPECT_EQ(DatabaseLowerCase("ABC \xC9\xDE \x9F"), "abc \xE9\xFE \xFF");
    }
    {
        ScopedCodePage page("windows-1251");
        ScopedUtf8Mode mode(false);
        EXPECT_EQ(DatabaseLowerCase("\xC0\xDF\xA8"), "\xE0\xFF\xB8");  // А Я Ё
    }
    ScopedUtf8Mode mode(true);
    EXPECT_EQ(DatabaseLowerCase("\xC3\x89T\xC3\xA9 \xD0\x96"), "\xC3\xA9t\xC3\xA9 \xD0\xB6");
    EXPECT_EQ(DatabaseLowerCase(""), "");
}

TEST(UrlEncode, CopiesOnlyLettersDigitsAndThreeMarks) {
    EXPECT_EQ(UrlEncode("a b/c~d"), "a%20b%2Fc%7Ed");
    EXPECT_EQ(UrlEncode("Az09-._"), "Az09-._");
    EXPECT_EQ(UrlEncode("\xC3\xA9%+"), "%C3%A9%25%2B");
    EXPECT_EQ(UrlEncode(std::string(1, '\0')), "%00");
    EXPECT_EQ(UrlEncode(""), "");
}

TEST(UrlDecode, EscapesPlusAndMalformedInput) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"%25", "%"},
        {"a+b", "a b"},
        {"%zz", "\xFF"},
        {"ab%4", "ab_4"},
        {"%", "_"},
        {"%C3%a9", "\xC3\xA9"},
        {"My%20File.html", "My File.html"},
        {"%2F%2f", "//"},
        {"", ""},
        {"%1zx", "\xFFx"},
        {"%%41",
         "\xFF"
         "1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlDecode(c.in), c.out) << c.in;
}

TEST(UrlDecode, UndoesUrlEncode) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(UrlDecode(UrlEncode(all)), all);
}

TEST(AnsiCodePage, LetterTestsAndCaseMappings) {
    {
        ScopedCodePage page("windows-1252");
        EXPECT_TRUE(AnsiIsAlpha('a'));
        EXPECT_FALSE(AnsiIsAlpha('1'));
        EXPECT_TRUE(AnsiIsAlpha(0xE9));        // é
        EXPECT_FALSE(AnsiIsAlpha(0x80));       // €
        EXPECT_TRUE(AnsiIsAlpha(0x8A));        // Š
        EXPECT_EQ(AnsiUpperChar(0xFF), 0x9F);  // ÿ -> Ÿ
        EXPECT_EQ(AnsiUpperChar(0xB5), 0xB5);  // µ: its capital is not in the code page
        EXPECT_EQ(AnsiUpperCase("stra\xDF"
                                "e"),
                  "STRA\xDF"
                  "E");
    }
    {
        ScopedCodePage page("windows-1251");
        EXPECT_TRUE(AnsiIsAlpha(0xE9));
        EXPECT_EQ(AnsiUpperCase("\xE0\xFF"), "\xC0\xDF");
    }
    EXPECT_TRUE(WideIsAlpha(u'\u00E9'));
    EXPECT_FALSE(WideIsAlpha(u'\u20AC'));
    EXPECT_FALSE(WideIsAlpha(0xD83D));
}

TEST(AnsiCodePage, WideToAnsiHasNoBestFit) {
    ScopedCodePage page("windows-1252");
    EXPECT_EQ(WideToAnsi(u"\u0100\u00E9\u0081"), "?\xE9\x81");
    EXPECT_EQ(WideToAnsi(u"\u0100", '#'), "#");
}

}  // namespace
}  // namespace qmp
