#include "core/file_buffer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::TempFolder;

TEST(OpenFileBuffer, ReadsTheWholeFile) {
    TempFolder folder;
    const std::string content("ab\0\xff\r\nlast", 9);
    const std::string path = folder.Write("file.js", content);
    FileBuffer buffer = OpenFileBuffer(path);
    EXPECT_TRUE(buffer.IsOpen());
    EXPECT_EQ(buffer.Size(), 9);
    EXPECT_EQ(buffer.Position(), 0);
    EXPECT_EQ(buffer.Data(), content);
    CloseFileBuffer(buffer);
    EXPECT_FALSE(buffer.IsOpen());
    EXPECT_EQ(buffer.Size(), 0);
}

TEST(OpenFileBuffer, FailureGivesAClosedEmptyBuffer) {
    TempFolder folder;
    const std::string empty = folder.Write("empty.js", "");
    FileBuffer emptyBuffer = OpenFileBuffer(empty);
    EXPECT_TRUE(emptyBuffer.IsOpen());
    EXPECT_EQ(emptyBuffer.Size(), 0);

    for (const std::string& path : {folder.dir() + "missing.js", folder.dir()}) {
        FileBuffer buffer = OpenFileBuffer(path);
        EXPECT_FALSE(buffer.IsOpen()) << path;
        EXPECT_EQ(buffer.Size(), 0) << path;
        EXPECT_FALSE(ReadBytes(buffer, 1).ok);
    }
    // A named pipe would block a reader for ever; it is not a file to read.
    const std::string fifo = folder.dir() + "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(OpenFileBuffer(fifo).IsOpen());
}

TEST(OpenFileBufferStart, HoldsNoMoreThanTheLimitAndKnowsTheWholeSize) {
    TempFolder folder;
    const std::string content = "0123456789";
    const std::string path = folder.Write("file.html", content);
    for (const std::int64_t limit : {0, 1, 9, 10, 11, 1000}) {
        FileBuffer buffer = OpenFileBufferStart(path, limit);
        EXPECT_TRUE(buffer.IsOpen()) << limit;
        EXPECT_EQ(buffer.Data(), content.substr(0, static_cast<std::size_t>(limit))) << limit;
        EXPECT_EQ(buffer.FileSize(), 10) << limit;
    }
    EXPECT_EQ(OpenFileBuffer(path).FileSize(), 10);
    const std::string fifo = folder.dir() + "pipe.html";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(OpenFileBufferStart(fifo, 64).IsOpen());
}

TEST(OpenFileBuffer, TakesSystemAnsiPaths) {
    SetSystemCodePage(kCharsetWindows1252);
    TempFolder folder;
    folder.Write("caf\xc3\xa9.js", "x");  // UTF-8 on disk
    FileBuffer buffer = OpenFileBuffer(folder.dir() + "caf\xe9.js");
    EXPECT_TRUE(buffer.IsOpen());
    EXPECT_EQ(buffer.Data(), "x");
}

TEST(SeekBuffer, CountsFromEachOriginWithoutClamping) {
    FileBuffer buffer = FileBufferFromBytes("0123456789");
    EXPECT_EQ(SeekBuffer(buffer, 4, SeekOrigin::kBegin), 4);
    EXPECT_EQ(SeekBuffer(buffer, -1, SeekOrigin::kCurrent), 3);
    EXPECT_EQ(SeekBuffer(buffer, -2, SeekOrigin::kEnd), 8);
    EXPECT_EQ(SeekBuffer(buffer, 5, SeekOrigin::kEnd), 15);
    EXPECT_EQ(SeekBuffer(buffer, -20, SeekOrigin::kCurrent), -5);
    EXPECT_EQ(buffer.Position(), -5);
}

TEST(ReadBytes, FollowsTheCountRules) {
    struct Case {
        std::string content;
        std::int64_t position;
        std::int64_t n;
        bool ok;
        std::string bytes;
    };
    const Case cases[] = {
        {"abcdef", 0, 1, true, "a"},   {"abcdef", 2, 3, true, "cde"},
        {"abcdef", 4, 10, true, "ef"},  // fewer remain
        {"abcdef", 6, 1, false, ""},    // one byte at the end
        {"abcdef", 9, 1, false, ""},    // beyond the end
        {"abcdef", 6, 2, true, ""},     // several at the end: none remain
        {"abcdef", 8, 4, true, ""},    {"abcdef", 0, 0, false, ""},  // nothing asked
        {"abcdef", 0, -3, false, ""},  {"", 0, 5, false, ""},        // empty buffer
        {"abcdef", -1, 1, false, ""},                                // before the start: never read
        {"abcdef", -2, 4, false, ""},
    };
    for (const Case& c : cases) {
        FileBuffer buffer = FileBufferFromBytes(c.content);
        SeekBuffer(buffer, c.position, SeekOrigin::kBegin);
        const ByteRead read = ReadBytes(buffer, c.n);
        EXPECT_EQ(read.ok, c.ok) << c.position << " " << c.n;
        EXPECT_EQ(read.bytes, c.bytes) << c.position << " " << c.n;
        EXPECT_EQ(buffer.Position(), c.position + static_cast<std::int64_t>(c.bytes.size()));
    }
}

TEST(FindText, MatchesIgnoringAnsiLetterCase) {
    SetSystemCodePage(kCharsetWindows1252);
    FileBuffer buffer = FileBufferFromBytes("head //settings\r\nCAF\xc9 caf\xe9 end");
    std::int64_t position = 0;
    ASSERT_TRUE(FindText(buffer, "//Settings", position));
    EXPECT_EQ(position, 15);
    EXPECT_EQ(buffer.Position(), 15);

    // É and é are one letter in windows-1252; the search goes on from the position given.
    position = 0;
    ASSERT_TRUE(FindText(buffer, "caf\xe9", position));
    EXPECT_EQ(position, 21);
    ASSERT_TRUE(FindText(buffer, "CAF\xc9", position));
    EXPECT_EQ(position, 26);
    EXPECT_FALSE(FindText(buffer, "caf", position));

    // A match that ends exactly at the end of the buffer is found.
    position = 0;
    EXPECT_TRUE(FindText(buffer, "END", position));
    EXPECT_EQ(position, buffer.Size());
}

TEST(FindText, FollowsTheCurrentCodePage) {
    // 0xB8 is a small letter yo (capital 0xA8) in windows-1251, a cedilla in windows-1252.
    FileBuffer buffer = FileBufferFromBytes("x\xb8");
    std::int64_t position = 0;
    SetSystemCodePage(CharsetFromName("windows-1251"));
    EXPECT_TRUE(FindText(buffer, "\xa8", position));
    position = 0;
    SetSystemCodePage(kCharsetWindows1252);
    EXPECT_FALSE(FindText(buffer, "\xa8", position));
}

// The first match from every start, against a plain search of the text
// lower-cased byte by byte: literals with quotes, spaces, a hyphen or only
// letters, in texts full of near misses.
TEST(FindText, FindsTheFirstMatchLikeAPlainSearch) {
    SetSystemCodePage(kCharsetWindows1252);
    const unsigned char* lower = AnsiLowerTable();
    const auto lowered = [&](std::string text) {
        for (char& c : text)
            c = static_cast<char>(lower[static_cast<unsigned char>(c)]);
        return text;
    };
    const std::string text =
        "<meta name=\"Quarry-Map\" content=\"x\"> \"quarry map\" \"QUARRY-MAP\" -map\" "
        "\"keywords\"\"KeyWords\" caf\xe9-\xc9 \"quarry-map\"";
    FileBuffer buffer = FileBufferFromBytes(text);
    for (const std::string literal :
         {"\"quarry-map\"", "\"keywords\"", "quarry", "-map\"", "\xe9-", " \"", "\"\"", "zz-"}) {
        const std::string needle = lowered(literal);
        for (std::size_t start = 0; start <= text.size(); ++start) {
            const std::size_t expected = lowered(text).find(needle, start);
            std::int64_t position = static_cast<std::int64_t>(start);
            const bool found = FindText(buffer, literal, position);
            ASSERT_EQ(found, expected != std::string::npos) << literal << " from " << start;
            if (found) {
                ASSERT_EQ(position, static_cast<std::int64_t>(expected + needle.size()))
                    << literal << " from " << start;
            }
        }
    }
}

TEST(FindText, FailureLeavesPositionsAlone) {
    FileBuffer buffer = FileBufferFromBytes("abcabc");
    SeekBuffer(buffer, 2, SeekOrigin::kBegin);
    std::int64_t position = 4;
    EXPECT_FALSE(FindText(buffer, "abc", position));  // only "bc" remains from 4
    EXPECT_EQ(position, 4);
    EXPECT_EQ(buffer.Position(), 2);
    position = 6;
    EXPECT_FALSE(FindText(buffer, "c", position));
    position = 100;
    EXPECT_FALSE(FindText(buffer, "a", position));
    position = 0;
    EXPECT_FALSE(FindText(buffer, "", position));
    EXPECT_FALSE(FindText(buffer, "abcabcx", position));
    position = -7;  // a start before the buffer searches from its beginning
    EXPECT_TRUE(FindText(buffer, "ab", position));
    EXPECT_EQ(position, 2);
    FileBuffer closed;
    EXPECT_FALSE(FindText(closed, "a", position));
}

TEST(ReadQuoted, FollowsTheTextRules) {
    struct Case {
        std::string content;
        char quote;
        std::string text;
        std::int64_t position;  // afterwards
    };
    const Case cases[] = {
        {"  'abc', 'd'", '\'', "abc", 7},
        {"'a\r\nb'", '\'', "a b", 6},   // CR becomes a space, LF goes
        {"'it\\'s'", '\'', "it's", 7},  // backslash-quote
        {"'a\\\\b'", '\'', "a\\b", 6},  // a doubled backslash is one
        {"'a\\\\'x", '\'', "a\\", 5},   // ... and does not escape the quote
        {"'\\x\\\r'", '\'', "x ", 6},   // other escapes are dropped
        {"'abc", '\'', "abc", 4},       // the end closes the text
        {"'abc\\", '\'', "abc", 5},     // a final backslash is dropped
        {"no quote", '\'', "", 8},      // runs to the end
        {"''rest", '\'', "", 2},
        {"x\"a\\\"b\"", '"', "a\\", 5},  // backslash is plain with other quotes
        {"\"a'b\"", '"', "a'b", 5},
    };
    for (const Case& c : cases) {
        FileBuffer buffer = FileBufferFromBytes(c.content);
        EXPECT_EQ(ReadQuoted(buffer, c.quote), c.text) << c.content;
        EXPECT_EQ(buffer.Position(), c.position) << c.content;
    }
}

TEST(ReadQuoted, ReadsSuccessiveEntries) {
    FileBuffer buffer = FileBufferFromBytes("var a=new Array(\r\n'one',\r\n'two'\r\n);");
    std::int64_t position = 0;
    ASSERT_TRUE(FindText(buffer, "new Array(", position));
    EXPECT_EQ(ReadQuoted(buffer, '\''), "one");
    EXPECT_EQ(ReadBytes(buffer, 1).bytes, ",");
    EXPECT_EQ(ReadQuoted(buffer, '\''), "two");
    EXPECT_EQ(ReadBytes(buffer, 1).bytes, "\r");
    EXPECT_EQ(ReadQuoted(buffer, '\''), "");
    EXPECT_FALSE(ReadBytes(buffer, 1).ok);
}

}  // namespace
}  // namespace qmp
