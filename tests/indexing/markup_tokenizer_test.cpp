#include "indexing/markup_tokenizer.h"

#include <gtest/gtest.h>

#include <random>

#include "indexing/token_bytes.h"
#include "indexing/word_table.h"
#include "tests/indexing/run_skip_check.h"
#include "tests/indexing/tokenizer_support.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::Tok;
using test::Tokenize;

Tok W(std::string t) {
    return {tkWord, std::move(t)};
}
Tok N(std::string t) {
    return {tkNumber, std::move(t)};
}
Tok S(std::string t) {
    return {tkSymbol, std::move(t)};
}
const Tok kSp{tkSpace, " "};
const Tok kEnd{tkEnd, ""};

struct Case {
    std::string input;
    std::vector<Tok> plain;             // ProgrammingLanguageMode off
    std::vector<Tok> programming = {};  // on; empty: the same as plain
};

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        test::ScopedProjectSettings settings;
        EXPECT_EQ(Tokenize(c.input), c.plain) << "plain: " << c.input;
        ProgrammingLanguageMode = true;
        EXPECT_EQ(Tokenize(c.input), c.programming.empty() ? c.plain : c.programming)
            << "programming: " << c.input;
    }
}

TEST(NextToken, WordsSpacesAndApostrophes) {
    RunCases({
        {"Hello world", {W("Hello"), kSp, W("world"), kEnd}},
        {"don't", {W("dont"), kEnd}},
        {"'quoted'", {S("'"), W("quoted"), kEnd}},
        {"a\t\r\nb", {W("a"), kSp, kSp, kSp, W("b"), kEnd}},
        {std::string("a\0b", 3), {W("a"), kSp, W("b"), kEnd}},
        {"  ", {kSp, kSp, kEnd}},
        {"", {kEnd}},
        {"x2y", {W("x2y"), kEnd}},
    });
}

TEST(NextToken, TechnicalNamesAndCompounds) {
    RunCases({
        {"c++", {W("c++"), kEnd}},
        {"C++ x", {W("C++"), kSp, W("x"), kEnd}},
        {"c#", {W("c#"), kEnd}},
        {"com+", {W("com+"), kEnd}},
        {"b+", {W("b"), S("+"), kEnd}},
        {"asp.net", {W("asp.net"), kEnd}},
        {"ASP.NET", {W("ASP.NET"), kEnd}},
        {"x.509", {W("x.509"), kEnd}},
        // The same with eight bytes or more to read, where a word is read in one go.
        {"Asp.Net pages", {W("Asp.Net"), kSp, W("pages"), kEnd}},
        {"X.509 certificates", {W("X.509"), kSp, W("certificates"), kEnd}},
        // ".net" is a word of its own; its last three bytes are read again.
        {"ab.net and more", {W("ab"), W(".net"), W("net"), kSp, W("and"), kSp, W("more"), kEnd}},
        {"quarry. The end", {W("quarry"), S("."), kSp, W("The"), kSp, W("end"), kEnd}},
        // A full stop with fewer than three bytes after it takes them along.
        {"a. b. abc. abcd. ",
         {W("a"), S("."), kSp, W("b"), S("."), kSp, W("abc"), S("."), kSp, W("abcd"), S("."),
          kEnd}},
        {"tcp/ip", {W("tcp/ip"), kEnd}},
        {"wi-fi", {W("wi-fi"), kEnd}},
        {"e-mail", {W("e-mail"), kEnd}},
        {"and/or", {W("and/or"), kEnd}},
        {"a\\b", {W("a\\b"), kEnd}},
        {"objective-c", {W("objective-c"), kEnd}},
        {"mp3-2", {W("mp3-2"), kEnd}},
        // The trailing slash or hyphen stays only in programming mode.
        {"tcp/ x", {W("tcp"), S("/"), kSp, W("x"), kEnd}, {W("tcp/"), kSp, W("x"), kEnd}},
        {"wi- x", {W("wi"), S("-"), kSp, W("x"), kEnd}, {W("wi-"), kSp, W("x"), kEnd}},
        {"c++/ x", {W("c++"), S("/"), kSp, W("x"), kEnd}, {W("c++/"), kSp, W("x"), kEnd}},
        {"wi-", {W("wi"), S("-"), kEnd}, {W("wi-"), kEnd}},
        {"snake_case", {W("snake"), S("_"), W("case"), kEnd}, {W("snake_case"), kEnd}},
        {"_x", {S("_"), W("x"), kEnd}, {W("_x"), kEnd}},
        {"a- b", {W("a"), S("-"), kSp, W("b"), kEnd}},
    });
}

TEST(NextToken, FullStopAndNet) {
    RunCases({
        {".net x", {W(".net"), W("net"), kSp, W("x"), kEnd}},
        {".NET!", {W(".net"), W("NET"), S("!"), kEnd}},
        {".abc", {S("."), W("abc"), kEnd}},
        // Fewer than three bytes after the full stop: they are consumed.
        {"a.b", {W("a"), S("."), kEnd}},
        {"a.", {W("a"), S("."), kEnd}},
        {".ne", {S("."), kEnd}},
    });
}

TEST(NextToken, Numbers) {
    RunCases({
        {"10:30", {N("10:30"), kEnd}},
        {"1,000.50", {N("1,000.50"), kEnd}},
        {"3-4", {N("3-4"), kEnd}},
        {"3d", {W("3d"), kEnd}},
        {"2D x", {W("2D"), kSp, W("x"), kEnd}},
        {"3rd", {N("3"), W("rd"), kEnd}},
        {"12. x", {N("12."), kSp, W("x"), kEnd}},
        {"7", {N("7"), kEnd}},
    });
}

TEST(NextToken, TagsCommentsAndDeclarations) {
    RunCases({
        {"<br/>", {{tkTagOpen, "<"}, W("br"), {tkEmptyTagClose, "/>"}, kEnd}},
        {"</p>", {{tkEndTagOpen, "</"}, W("p"), {tkTagClose, ">"}, kEnd}},
        {"<!DOCTYPE html>",
         {{tkDeclOpen, "<!"}, S("!"), W("DOCTYPE"), kSp, W("html"), {tkTagClose, ">"}, kEnd}},
        {"<!-- x -->",
         {{tkCommentOpen, "<!-"}, S("-"), kSp, W("x"), kSp, S("-"), {tkCommentClose, "->"}, kEnd}},
        {"<?xml?>", {{tkPIOpen, "<?"}, W("xml"), S("?"), {tkTagClose, ">"}, kEnd}},
        {"a->b", {W("a"), {tkCommentClose, "->"}, W("b"), kEnd}},
        {"a / b", {W("a"), kSp, S("/"), kSp, W("b"), kEnd}},
        {"<", {kEnd}},
        {"<!", {kEnd}},
        {"x<", {W("x"), kEnd}},
        {"< a", {{tkTagOpen, "<"}, kSp, W("a"), kEnd}},
        {"<!x", {{tkDeclOpen, "<!"}, S("!"), W("x"), kEnd}},
        // The same tokens with bytes enough after them to be read in one go.
        {"one, \"two\" <p>x</p> > <!-- c --> <?x?> <!x> end of text",
         {W("one"),
          S(","),
          kSp,
          S("\""),
          W("two"),
          S("\""),
          kSp,
          {tkTagOpen, "<"},
          W("p"),
          {tkTagClose, ">"},
          W("x"),
          {tkEndTagOpen, "</"},
          W("p"),
          {tkTagClose, ">"},
          kSp,
          {tkTagClose, ">"},
          kSp,
          {tkCommentOpen, "<!-"},
          S("-"),
          kSp,
          W("c"),
          kSp,
          S("-"),
          {tkCommentClose, "->"},
          kSp,
          {tkPIOpen, "<?"},
          W("x"),
          S("?"),
          {tkTagClose, ">"},
          kSp,
          {tkDeclOpen, "<!"},
          S("!"),
          W("x"),
          {tkTagClose, ">"},
          kSp,
          W("end"),
          kSp,
          W("of"),
          kSp,
          W("text"),
          kEnd}},
    });
}

TEST(NextToken, CharacterReferencesInsideWords) {
    RunCases({
        {"word&nbsp;next", {W("word"), kSp, W("next"), kEnd}},
        {"&nbsp;x", {kSp, W("x"), kEnd}},
        {"caf&eacute; x", {W("caf\xE9"), kSp, W("x"), kEnd}},
        {"a&amp;b", {W("a&b"), kEnd}},
        {"&foo;bar", {W("&foo bar"), kEnd}},
        {"x&#233;y", {W("x?y"), kEnd}},
        {"x&#39;y", {W("x"), kSp, W("y"), kEnd}},
    });
}

TEST(NextToken, ReferenceAtTheEndGivesANulByte) {
    test::ScopedProjectSettings settings;
    EXPECT_EQ(Tokenize("a&"), (std::vector<Tok>{W(std::string("a\0", 2)), kEnd}));
}

TEST(NextToken, HighBytesFollowTheMode) {
    test::ScopedProjectSettings settings;
    // windows-1252: 0xC3 is a letter, 0xA9 (the copyright sign) is not.
    EXPECT_EQ(Tokenize("caf\xC3\xA9 x"),
              (std::vector<Tok>{W("caf\xC3"), S("\xA9"), kSp, W("x"), kEnd}));
    ScopedUtf8Mode mode(true);
    EXPECT_EQ(Tokenize("caf\xC3\xA9 x"), (std::vector<Tok>{W("caf\xC3\xA9"), kSp, W("x"), kEnd}));
    EXPECT_EQ(Tokenize("\xE2\x80\x94"), (std::vector<Tok>{S("\xE2\x80\x94"), kEnd}));
}

// UTF-8 mode: the characters decide; letters, digits and combining marks join
// words, every other character (or a byte of no UTF-8) is a token of its own,
// and a reference gives its character, read like a written one.
TEST(NextToken, Utf8ModeWordsAreMadeOfCharacters) {
    test::ScopedProjectSettings settings;
    ScopedUtf8Mode mode(true);
    const std::string dash = "\xE2\x80\x94", eacute = "\xC3\xA9";
    const std::pair<std::string, std::vector<Tok>> cases[] = {
        {"a\xC2\xB6", {W("a"), S("\xC2\xB6"), kEnd}},
        {"x" + dash + "y", {W("x"), S(dash), W("y"), kEnd}},
        {"Python\xE2\x80\x99s", {W("Python"), S("\xE2\x80\x99"), W("s"), kEnd}},
        {"\xC2\xA9 2024", {S("\xC2\xA9"), kSp, N("2024"), kEnd}},
        {"\xC2\xBBnext", {S("\xC2\xBB"), W("next"), kEnd}},
        {"e\xCC\x81t" + eacute + " \xD0\x96\xC2\xB2",
         {W("e\xCC\x81t" + eacute), kSp, W("\xD0\x96\xC2\xB2"), kEnd}},
        {"a\xE9"
         "b",
         {W("a"), S("\xE9"), W("b"), kEnd}},
        {"e-" + eacute + "t" + eacute, {W("e-" + eacute + "t" + eacute), kEnd}},
        {"caf&eacute; x", {W("caf" + eacute), kSp, W("x"), kEnd}},
        {"a&mdash;b a&#x2014;b", {W("a"), S(dash), W("b"), kSp, W("a"), S(dash), W("b"), kEnd}},
        {"AT&T", {W("AT"), S("&"), W("T"), kEnd}},
        {"Tom & Jerry", {W("Tom"), kSp, S("&"), kSp, W("Jerry"), kEnd}},
        {"don&#39;t &amp;lt;", {W("dont"), kSp, S("&"), W("lt"), S(";"), kEnd}},
        {"a&nbsp;b&#x14;c", {W("a"), kSp, W("b"), kSp, W("c"), kEnd}},
    };
    for (const auto& [input, tokens] : cases)
        EXPECT_EQ(Tokenize(input), tokens) << input;

    // Text of a code page: its bytes are its characters, and a reference
    // gives the code page's byte.
    FileBuffer buffer = FileBufferFromBytes(
        "caf&eacute; caf\xE9 a\x97"
        "b a&mdash;b");
    TokenReader reader(buffer, kCharsetWindows1252);
    std::vector<Tok> tokens;
    for (Token t; tokens.empty() || t.Kind != tkEnd;) {
        reader.Next(t);
        tokens.push_back({t.Kind, t.Text});
    }
    EXPECT_EQ(tokens, (std::vector<Tok>{W("caf\xE9"), kSp, W("caf\xE9"), kSp, W("a"), S("\x97"),
                                        W("b"), kSp, W("a"), S("\x97"), W("b"), kEnd}));
}

TEST(PendingSpace, CarriesOverToTheNextBuffer) {
    test::ScopedProjectSettings settings;
    FileBuffer first = FileBufferFromBytes("x ");
    EXPECT_EQ(NextToken(first).Kind, tkWord);
    EXPECT_TRUE(PendingSpace);
    FileBuffer second = FileBufferFromBytes("y");
    EXPECT_EQ(NextToken(second).Kind, tkSpace);
    EXPECT_EQ(NextToken(second).Text, "y");
}

TEST(NextToken, UnreadableFileEndsAtOnce) {
    test::ScopedProjectSettings settings;
    FileBuffer buffer = OpenFileBuffer("/nonexistent/folder/page.html");
    EXPECT_EQ(NextToken(buffer).Kind, tkEnd);
}

TEST(FindElement, MatchesLowerCasedNamesAfterALessThanSign) {
    test::ScopedProjectSettings settings;
    FileBuffer buffer = FileBufferFromBytes("<html><TITLE>x</title>");
    ASSERT_TRUE(FindElement(buffer, "title"));
    EXPECT_EQ(NextToken(buffer).Kind, tkTagClose);
    EXPECT_FALSE(FindElement(buffer, "title"));  // </title> is no start tag

    FileBuffer endsAfterLess = FileBufferFromBytes("a <");
    EXPECT_FALSE(FindElement(endsAfterLess, "a"));
    FileBuffer notDirect = FileBufferFromBytes("< title>");
    EXPECT_FALSE(FindElement(notDirect, "title"));
}

TEST(SkipToTagEnd, StopsAtEitherCloserOrTheEnd) {
    test::ScopedProjectSettings settings;
    FileBuffer buffer = FileBufferFromBytes(" a=\"1\">rest");
    EXPECT_TRUE(SkipToTagEnd(buffer));
    EXPECT_EQ(NextToken(buffer).Text, "rest");
    FileBuffer empty = FileBufferFromBytes(" a/>x");
    EXPECT_TRUE(SkipToTagEnd(empty));
    FileBuffer cut = FileBufferFromBytes(" a=\"1\"");
    EXPECT_FALSE(SkipToTagEnd(cut));
}

TEST(ReadCharacterReference, ReadsFromTheBuffer) {
    test::ScopedProjectSettings settings;
    FileBuffer buffer = FileBufferFromBytes("amp;lt;");
    EXPECT_EQ(ReadCharacterReference(buffer, '&'), "&");
    EXPECT_EQ(buffer.Position(), 4);
    FileBuffer tag = FileBufferFromBytes("amp<b>");
    EXPECT_EQ(ReadCharacterReference(tag, '&'), "&");
    EXPECT_EQ(NextToken(tag).Text, "b");
}

// A word of any length, up to and past the bytes that are looked at in one
// go, reads the same whatever byte ends it, far from the end of the buffer
// and close to it, where it is read byte by byte.
TEST(NextToken, WordsOfEveryLengthReadAlikeAnywhere) {
    const std::string letters = "QuarryMap2LiteSlateKilns0Adit";
    struct Follower {
        std::string bytes;
        std::vector<Tok> (*tokens)(const std::string& word);
        bool highByte;  // read as a letter only where the mode makes it one
    };
    const std::vector<Follower> followers = {
        {" ", [](const std::string& w) { return std::vector<Tok>{W(w), kSp}; }, false},
        {",", [](const std::string& w) { return std::vector<Tok>{W(w), S(",")}; }, false},
        {".", [](const std::string& w) { return std::vector<Tok>{W(w), S(".")}; }, false},
        {"<b", [](const std::string& w) { return std::vector<Tok>{W(w), {tkTagOpen, "<"}, W("b")}; },
         false},
        {"-y", [](const std::string& w) { return std::vector<Tok>{W(w + "-y")}; }, false},
        {"'s", [](const std::string& w) { return std::vector<Tok>{W(w + "s")}; }, false},
        {"\xE9", [](const std::string& w) { return std::vector<Tok>{W(w + "\xE9")}; }, true},
        {"\xC3\xA9", [](const std::string& w) { return std::vector<Tok>{W(w + "\xC3\xA9")}; }, true},
    };
    for (bool utf8 : {false, true}) {
        for (bool programming : {false, true}) {
            test::ScopedProjectSettings settings;
            ScopedUtf8Mode mode(utf8);
            ProgrammingLanguageMode = programming;
            for (std::size_t length = 1; length <= letters.size(); ++length) {
                const std::string word = letters.substr(0, length);
                for (const Follower& f : followers) {
                    // One high byte is a letter of the code page, two are
                    // one letter of UTF-8.
                    if (f.highByte && (f.bytes.size() == 2) != utf8) continue;
                    for (std::size_t padding : {0, 1, 8, 17, 40}) {
                        std::vector<Tok> expected = f.tokens(word);
                        expected.push_back(kSp);
                        expected.push_back(W("end"));
                        expected.insert(expected.end(), padding, kSp);
                        expected.push_back(kEnd);
                        const std::string page = word + f.bytes + " end" + std::string(padding, ' ');
                        ASSERT_EQ(Tokenize(page), expected) << utf8 << programming << " " << page;
                    }
                }
            }
        }
    }
}

// Both ways of measuring a run of letters and digits agree with a byte by
// byte count, whatever byte stops the run and wherever, in both modes.
TEST(TokenBytes, RunLengthsCountTheBytesOfTheRun) {
    const auto inRun = [](unsigned char b, bool highLetters) {
        return (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
               (highLetters && b >= 0x80);
    };
    for (bool highLetters : {false, true}) {
        for (std::size_t at = 0; at < 17; ++at) {
            for (int b = 0; b < 256; ++b) {
                std::string bytes = "aZ09mQ7zAy0k9Lb5X";  // 17 bytes of the run
                bytes[at] = static_cast<char>(b);
                const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
                int expected = 0;
                while (expected < 16 && inRun(data[expected], highLetters))
                    ++expected;
                std::uint64_t head = 0;
                std::uint64_t chunksHead = 0;
                EXPECT_EQ(token_bytes::RunLength16(data, highLetters, head), expected) << at << b;
                EXPECT_EQ(token_bytes::RunLength16ByChunks(data, highLetters, chunksHead), expected)
                    << at << b;
                EXPECT_EQ(head, WordTable::LoadChunk(data, 8));
                EXPECT_EQ(chunksHead, head);
            }
        }
    }
}

// Every prefix of a page, each in a buffer of its own size, tokenizes to the
// end without reading past it (AddressSanitizer watches the buffer's bytes).
TEST(NextToken, EveryPrefixEndsCleanly) {
    test::ScopedProjectSettings settings;
    const std::string page =
        "<!DOCTYPE html><html><head><!-- c --><title>C++ &amp; C# caf&eacute;</title></head>"
        "<body><p>wi-fi tcp/ip 10:30 3d .net x&#233;y &#x41; &#; &</p><br/><?php ?></body>";
    for (bool programming : {false, true}) {
        for (bool utf8 : {false, true}) {
            ProgrammingLanguageMode = programming;
            ScopedUtf8Mode mode(utf8);
            for (std::size_t n = 0; n <= page.size(); ++n) {
                const std::vector<Tok> tokens = Tokenize(page.substr(0, n));
                ASSERT_EQ(tokens.back().kind, tkEnd) << n;
                ASSERT_LE(tokens.size(), n + 2) << n;
            }
        }
    }
}

// The runs that the reader counts without reading token by token give what
// the tokens one by one give, or are refused; in both modes, from every token
// boundary of pages made to trip them.
TEST(TokenReader, CountedRunsMatchTheTokens) {
    test::ScopedProjectSettings settings;
    std::vector<std::string> pages = {
        "<p class=\"a.b c.net\" id='x' data-x=\"a->b\" title=\"&amp;\">t</p><br/><br />",
        "<x a=c++/><y a=tcp/><z a=wi-/></q /> <!DOCTYPE x \"/>\" ><?x a='b' ?><a b=.ne",
        "text 'q' it's 3' 3d' (''); a.net x.y .5 -> /> > -- - <b>x</b> don't<i>",
        "<script>if (a && b) { c = 'd'; e = f<g; h = i->j; k = \"l/>m\"; }</script> tail.ne",
        "a b \x80\xA9\xC3\xA9 \xE9t\xE9 <p title=\"\xC3\xA9\xA0\">x</p> .NeT ..net ...",
    };
    std::mt19937 random(3);
    const std::string alphabet = "<>/!-?&#;'.\"= \nabcnetNET0123456789d_+\\\xC3\xA9\xA0";
    for (int i = 0; i < 12; ++i) {
        std::string page(300 + random() % 300, ' ');
        for (char& c : page)
            c = alphabet[random() % alphabet.size()];
        pages.push_back(page);
    }
    for (bool utf8 : {false, true}) {
        for (bool programming : {false, true}) {
            ScopedUtf8Mode mode(utf8);
            ProgrammingLanguageMode = programming;
            for (const std::string& page : pages)
                ASSERT_EQ(test::CheckRuns(page), "") << utf8 << programming << '\n' << page;
            for (const char* name : {"indexing/sample_page.html", "indexing/markup_page.html"})
                ASSERT_EQ(test::CheckRuns(test::ReadTestData(name), 23), "") << name;
        }
    }
}

}  // namespace
}  // namespace qmp
