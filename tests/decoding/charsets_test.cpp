#include "decoding/charsets.h"

#include <gtest/gtest.h>

#include "decoding/ansi_code_page.h"

namespace qmp {
namespace {

struct NameCase {
    const char* name;
    int id;
};

TEST(CharsetFromName, SubstringSearchOverTheDottedLists) {
    const NameCase cases[] = {
        {"utf-8", 3},
        {"UTF-8", 3},
        {"windows-1251", 15},
        {"WiNdOwS-1251", 15},
        {"iso-8859-15", 13},
        {"iso-8859-1", 4},
        {"latin1", 4},
        {"cp819", 4},
        {"8859-1", 4},
        {"8", 3},
        {"6", 2},
        {"", 1},
        {"utf8", 0},
        {"x-mac-roman", 0},
        {"koi8-r", 23},
        {"greek8", 10},
        {"us-ascii", 1},
        {" utf-8", 0},
        {"windows-1258", 22},
        {"cyrillic", 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CharsetFromName(c.name), c.id) << '"' << c.name << '"';
}

TEST(CharsetFromName, OnlyAsciiLettersAreLowerCased) {
    // A capital "I" with a dot (ANSI 0xDD in windows-1254) must not be folded.
    EXPECT_EQ(CharsetFromName("\xDDso-8859-2"), 0);
}

TEST(Utf8ToWide, DecodesWithoutValidation) {
    struct Case {
        std::string in;
        std::u16string out;
    };
    const Case cases[] = {
        {"", u""},
        {"A", u"A"},
        {"\xC3\xA9", u"\u00E9"},
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
        {"\xC3"
         "A",
         u"\u0081"},  // the "A" is consumed as a continuation byte
        {"\x80"
         "A",
         u"\u0080A"},                   // a stray continuation byte stands for itself
        {"\xE9te", u"\u8CE5"},          // ANSI text read as UTF-8
        {"\xEF\xBB\xBFx", u"\uFEFFx"},  // no byte-order mark is recognised
        {"\xED\xA0\xBD", u"\xD83D"},    // a surrogate value is emitted as it is
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToWide(c.in), c.out) << c.in;
}

TEST(Utf8ToWide, ASequenceCutShortByTheEndEmitsNothing) {
    EXPECT_EQ(Utf8ToWide("ab\xC3"), u"ab");
    EXPECT_EQ(Utf8ToWide("\xE2\x82"), u"");
    EXPECT_EQ(Utf8ToWide("x\xFC\x80\x80\x80\x80"), u"x");
    // Six-byte sequences above 0x7FFFFFFF give U+FFFD; five-byte ones above the
    // BMP give a pair kept to 16 bits each.
    EXPECT_EQ(Utf8ToWide("\xFE\x80\x80\x80\x80\x80"), u"\uFFFD");    // 0x80000000
    const std::u16string five = Utf8ToWide("\xF8\x88\x80\x80\x80");  // 0x200000
    ASSERT_EQ(five.size(), 2u);
    EXPECT_EQ(five[0], static_cast<char16_t>(0xD800 + ((0x200000 - 0x10000) >> 10)));
    EXPECT_EQ(five[1], 0xDC00);
}

TEST(WideToUtf8, EncodesEachCodeUnitOnItsOwn) {
    EXPECT_EQ(WideToUtf8(u""), "");
    EXPECT_EQ(WideToUtf8(u"A\u00E9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(WideToUtf8(u"\xD83D\xDE00"), "\xED\xA0\xBD\xED\xB8\x80");
    EXPECT_EQ(WideToUtf8(u"\u07FF\u0800\uFFFF"), "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
}

TEST(WideToUtf8, HasNoLengthLimit) {
    const std::u16string big(70000, u'\u00E9');
    const std::string utf8 = WideToUtf8(big);
    ASSERT_EQ(utf8.size(), 140000u);
    EXPECT_EQ(Utf8ToWide(utf8), big);
}

TEST(CharsetToWide, TablesForIdsWithOwnTablesAndTheSystemTableForTheRest) {
    SetSystemCodePage(CharsetFromName("windows-1251"));
    EXPECT_EQ(CharsetToWide("\xE9", CharsetFromName("iso-8859-1")), u"\u0439");
    EXPECT_EQ(CharsetToWide("\xE9", 0), u"\u0439");
    EXPECT_EQ(CharsetToWide("a\xE9", CharsetFromName("windows-1252")), u"a\u00E9");
    EXPECT_EQ(CharsetToWide("\xC1", CharsetFromName("koi8-r")), u"\u0430");
    EXPECT_EQ(CharsetToWide("\xC3\xA9", kCharsetUtf8), u"\u00E9");
    EXPECT_EQ(CharsetToWide("", 16), u"");
    SetSystemCodePage(kCharsetWindows1252);
    EXPECT_EQ(CharsetToWide("\xE9", 4), u"\u00E9");
}

TEST(WideLowerCase, LowerCasesEachCodeUnitAndKeepsSurrogates) {
    EXPECT_EQ(WideLowerCase(u"ABC\u00C9\u0416\u0130"), u"abc\u00E9\u0436i");
    EXPECT_EQ(WideLowerCase(u"\xD83D\xDE00x"), u"\xD83D\xDE00x");
    EXPECT_EQ(WideLowerCase(u""), u"");
}

}  // namespace
}  // namespace qmp
