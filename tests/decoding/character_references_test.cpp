#include "decoding/character_references.h"

#include <gtest/gtest.h>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "decoding/database_text.h"

namespace qmp {
namespace {

// Reads a reference from `input` (the bytes after the "&") and reports how many
// bytes were consumed.
struct ReadResult {
    std::string text;
    std::size_t consumed;
};

ReadResult Read(std::string_view input, char current = '&') {
    std::size_t at = 0;
    const std::string text = ReadCharacterReference(
        [&]() -> int { return at < input.size() ? static_cast<unsigned char>(input[at++]) : -1; },
        current);
    return {text, at};
}

TEST(EntityTable, HasTheExactLengthAndTheLeadingEntries) {
    const std::string_view table = EntityTable();
    EXPECT_EQ(table.size(), 832u);
    const std::string leading =
        "nbsp[ ]gt[>]lt[<]amp[&]apos[`]quot[\"]mdash[-]ndash[-]trade[\x99]euro[\x88]";
    EXPECT_EQ(table.substr(0, leading.size()), leading);
    EXPECT_EQ(table.substr(leading.size(), 8), "iexcl[\xA1]");
    EXPECT_EQ(table.substr(table.size() - 7), "yuml[\xFF]");
}

TEST(EntityLookup, LatinNamesGiveTheirOwnCode) {
    struct Case {
        const char* name;
        const char* replacement;
    };
    const Case cases[] = {
        {"eacute", "\xE9"}, {"Eacute", "\xC9"}, {"yuml", "\xFF"}, {"iexcl", "\xA1"},
        {"szlig", "\xDF"},  {"times", "\xD7"},  {"copy", "\xA9"}, {"shy", "\xAD"},
        {"amp", "&"},       {"apos", "`"},      {"euro", "\x88"}, {"trade", "\x99"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EntityLookup(c.name), c.replacement) << c.name;
}

TEST(EntityLookup, TailMatchesAndMisses) {
    EXPECT_EQ(EntityLookup("t"), ">");      // tail of gt
    EXPECT_EQ(EntityLookup("p"), " ");      // tail of nbsp
    EXPECT_EQ(EntityLookup("ml"), "\xA8");  // tail of uml, before Auml
    EXPECT_EQ(EntityLookup("NBSP"), "&NBSP");
    EXPECT_EQ(EntityLookup("foo"), "&foo");
}

TEST(HexDigitValue, DigitsLettersAndOthers) {
    EXPECT_EQ(HexDigitValue('0'), 0);
    EXPECT_EQ(HexDigitValue('9'), 9);
    EXPECT_EQ(HexDigitValue('a'), 10);
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('g'), 0);
    EXPECT_EQ(HexDigitValue(0xE9), 0);
}

TEST(IntDef, HexAndDecimalWithDefaults) {
    EXPECT_EQ(HexToIntDef("", 63), 63);
    EXPECT_EQ(HexToIntDef("E9", 63), 0xE9);
    EXPECT_EQ(HexToIntDef("1g", 63), 0x10);        // a non-digit counts as 0
    EXPECT_EQ(HexToIntDef("100000041", 0), 0x41);  // 32-bit wrap
    EXPECT_EQ(DecToIntDef("", 7), 7);
    EXPECT_EQ(DecToIntDef("233", 7), 233);
    EXPECT_EQ(DecToIntDef("1f", 7), 7);
    EXPECT_EQ(DecToIntDef("X41", 7), 7);
    EXPECT_EQ(DecToIntDef("4294967361", 0), 65);  // 2^32 + 65 wraps
}

TEST(NumericReferenceText, LettersAndOthersInBothModes) {
    {
        ScopedUtf8Mode mode(false);
        EXPECT_EQ(NumericReferenceText(233), "?");
        EXPECT_EQ(NumericReferenceText(65), "?");
        EXPECT_EQ(NumericReferenceText(8364), " ");
        EXPECT_EQ(NumericReferenceText(0x10041), "?");  // low 16 bits: A
    }
    ScopedUtf8Mode mode(true);
    EXPECT_EQ(NumericReferenceText(233), "\xC3\xA9");
    EXPECT_EQ(NumericReferenceText(65), "A");
    EXPECT_EQ(NumericReferenceText(0x416), "\xD0\x96");  // Cyrillic Zhe
    EXPECT_EQ(NumericReferenceText(39), " ");
    EXPECT_EQ(NumericReferenceText(0xD800), " ");  // a lone surrogate is no letter
}

// The table of resulting texts, one row per input after the ampersand.
TEST(ReadCharacterReference, ReferenceTableInBothModes) {
    struct Case {
        std::string input;
        std::string ansi, utf8;
    };
    // In UTF-8 mode a reference gives its character in UTF-8, and text that
    // is no reference stands for itself; in ANSI mode a hexadecimal
    // reference is read like a decimal one.
    const Case cases[] = {
        {"amp;", "&", "&"},
        {"eacute;", "\xE9", "\xC3\xA9"},
        {"euro;", "\x88", "\xE2\x82\xAC"},
        {"mdash;", "-", "\xE2\x80\x94"},
        {"rsquo;", "&rsquo", "\xE2\x80\x99"},
        {"foo;", "&foo", "&foo;"},
        {"#233;", "?", "\xC3\xA9"},
        {"#8364;", " ", "\xE2\x82\xAC"},
        {"#8212;", " ", "\xE2\x80\x94"},
        {"#39;", " ", "'"},
        {"#150;", " ", "\xE2\x80\x93"},  // windows-1252's en dash, as browsers read it
        {"#xE9;", "?", "\xC3\xA9"},
        {"#x2014;", " ", "\xE2\x80\x94"},
        {"#x14;", " ", " "},
        {"#x263A;", " ", "\xE2\x98\xBA"},
        {"#x;", " ", "&#x;"},
        {" ", "& ", "& "},
        {"", std::string(1, '\0'), "&"},
        {"#", std::string(1, '\0'), "&#"},
        {"#X41;", " ", "A"},
        {"#65;", "?", "A"},
        {"#0;", " ", " "},
        {"#128512;", " ", "\xF0\x9F\x98\x80"},
        {"#99999999999;", " ", " "},
        {"t;", ">", "&t;"},
        {"p;", " ", "&p;"},
        {"NBSP;", "&NBSP", "&NBSP;"},
        {"9;", "& ", "&9;"},
        {";", "& ", "&;"},
    };
    for (const Case& c : cases) {
        {
            ScopedUtf8Mode mode(false);
            EXPECT_EQ(Read(c.input).text, c.ansi) << "ANSI: " << c.input;
        }
        ScopedUtf8Mode mode(true);
        EXPECT_EQ(Read(c.input).text, c.utf8) << "UTF-8: " << c.input;
    }
}

TEST(ReadCharacterReference, ConsumesTheByteThatEndsIt) {
    ScopedUtf8Mode mode(false);
    ReadResult r = Read("amp;lt;");
    EXPECT_EQ(r.text, "&");
    EXPECT_EQ(r.consumed, 4u);  // "lt;" is left for the tokenizer
    r = Read("amp<b>");
    EXPECT_EQ(r.text, "&");
    EXPECT_EQ(r.consumed, 4u);  // the "<" went with the name
    r = Read("#x41g");
    EXPECT_EQ(r.text, "?");  // A, a letter
    EXPECT_EQ(r.consumed, 5u);
    r = Read("eacute");  // the end of the document ends the name
    EXPECT_EQ(r.text, "\xE9");
    EXPECT_EQ(r.consumed, 6u);
    r = Read(" x");
    EXPECT_EQ(r.consumed, 1u);
}

TEST(ReadCharacterReference, OtherCurrentByteComesBackAlone) {
    const ReadResult r = Read("amp;", 'q');
    EXPECT_EQ(r.text, "q");
    EXPECT_EQ(r.consumed, 0u);
}

TEST(ReadCharacterReference, Utf8NamesKeepHighBytes) {
    ScopedUtf8Mode mode(true);
    // In UTF-8 mode a name is ASCII; what was read of anything else comes back.
    EXPECT_EQ(Read("caf\xC3\xA9;").text, "&caf\xC3");
    ScopedUtf8Mode ansi(false);
    // In ANSI mode 0xE9 is a letter of windows-1252 and so part of the name.
    EXPECT_EQ(Read("caf\xE9;").text, "&caf\xE9");
    EXPECT_EQ(Read("caf\x80;").text, "&caf");  // the euro sign is no letter
}

// The reference as the tokenizer reads it, from memory: only what it stands
// for is taken, a ";" after it included, and a code page gets its own byte.
TEST(AppendCharacterReference, Utf8ModeTakesOnlyTheReference) {
    SetSystemCodePage(kCharsetWindows1252);
    ScopedUtf8Mode mode(true);
    struct Case {
        const char* rest;
        CharsetId charset;
        std::string text;
        std::size_t taken;
    };
    const Case cases[] = {
        {"eacute; x", kCharsetUtf8, "\xC3\xA9", 7},
        {"eacute x", kCharsetUtf8, "\xC3\xA9", 6},
        {"T and more", kCharsetUtf8, "&", 0},
        {" Jerry", kCharsetUtf8, "&", 0},
        {"#x2014;", kCharsetWindows1252, "\x97", 7},
        {"eacute;", CharsetFromName("windows-1251"), " ", 7},  // no e-acute there
        {"#1078;", CharsetFromName("windows-1251"), "\xE6", 6},
        {"#1078;", kCharsetUtf8, "\xD0\xB6", 6},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(AppendCharacterReference(c.rest, out, c.charset), c.taken) << c.rest;
        EXPECT_EQ(out, c.text) << c.rest;
    }
}

TEST(IsWordCharacter, LettersDigitsAndMarksJoinWords) {
    for (char32_t ch : {U'a', U'Z', U'7', U'\u00E9', U'\u0301', U'\u0416', U'\u6771', U'\u00B2'})
        EXPECT_TRUE(IsWordCharacter(ch)) << static_cast<unsigned>(ch);
    for (char32_t ch : {U'-', U'_', U' ', U'\u00B6', U'\u2014', U'\u00BB', U'\u00A9', U'\u2019',
                        U'\u00A0', U'\U0001F600'})
        EXPECT_FALSE(IsWordCharacter(ch)) << static_cast<unsigned>(ch);
    EXPECT_EQ(NamedEntityCharacter("hellip"), U'\u2026');
    EXPECT_EQ(NamedEntityCharacter("Hellip"), 0u);
    EXPECT_EQ(FirstCharacter("\xE2\x80\x94x", kCharsetUtf8).length, 3u);
    EXPECT_EQ(FirstCharacter("\xE9x", kCharsetUtf8).ch, 0u);
    EXPECT_EQ(FirstCharacter("\xE9x", kCharsetWindows1252).ch, U'\u00E9');
}

TEST(IsWordChar, LettersAndHighBytesByMode) {
    SetSystemCodePage(kCharsetWindows1252);
    ScopedUtf8Mode mode(false);
    EXPECT_TRUE(IsWordChar('a'));
    EXPECT_TRUE(IsWordChar('Z'));
    EXPECT_FALSE(IsWordChar('5'));
    EXPECT_FALSE(IsWordChar('_'));
    EXPECT_TRUE(IsWordChar(0xE9));
    EXPECT_FALSE(IsWordChar(0x80));
    ScopedUtf8Mode utf8(true);
    EXPECT_TRUE(IsWordChar(0x80));
    EXPECT_TRUE(IsWordChar(0xFF));
    EXPECT_FALSE(IsWordChar('-'));
}

}  // namespace
}  // namespace qmp
