#include "media/id3_tags.h"

#include <gtest/gtest.h>

#include "tests/media/audio_builders.h"

namespace qmp {
namespace {

using test::Id3v1Tag;
using test::Id3v2Frame;
using test::Id3v2Tag;
using test::ReadMp3Bytes;

const std::string kFrames = test::MpegFrames(test::MpegHeader(1, 3, 9, 0), 417, 4);

// An ISO-8859-1 text frame's data.
std::string Latin1(std::string_view text) {
    return std::string(1, '\0') + std::string(text);
}

TEST(Id3v1Test, FieldsTrackAndGenre) {
    struct Case {
        std::string tag;
        std::string title, comment, track, genre;
    };
    const Case cases[] = {
        {Id3v1Tag("Title", "Artist", "Album", "1999", "Note", 7, 17), "Title", "Note", "7", "Rock"},
        // Version 1.0: a 30-byte comment leaves no room for a track.
        {Id3v1Tag("T", "", "", "", std::string(30, 'c'), 0, 255), "T", std::string(30, 'c'), "",
         ""},
        // A 29-byte comment runs into the track byte: no track either.
        {Id3v1Tag("T", "", "", "", std::string(29, 'c') + "\x05", 0, 0), "T",
         std::string(29, 'c') + "\x05", "", "Blues"},
        {Id3v1Tag(std::string(30, 't'), "", "", "", "", 0, 125), std::string(30, 't'), "", "",
         "Dance Hall"},
        {Id3v1Tag("Word   ", "", "", "", "", 12, 126), "Word   ", "", "12", ""},
        {Id3v1Tag("T", "", "", "", "", 0, 92), "T", "", "", "Progessive Rock"},
    };
    for (const Case& c : cases) {
        const auto read = ReadMp3Bytes(kFrames + c.tag);
        ASSERT_EQ(read.Result, AudioResult::Ok);
        EXPECT_TRUE(read.Tag.HasTag);
        EXPECT_EQ(read.Tag.Title, c.title);
        EXPECT_EQ(read.Tag.Comment, c.comment);
        EXPECT_EQ(read.Tag.Track, c.track);
        EXPECT_EQ(read.Tag.Genre, c.genre);
    }
    const auto full = ReadMp3Bytes(kFrames + Id3v1Tag("Ti", "Ar", "Al", "2001", "Co", 3, 8));
    EXPECT_EQ(full.Tag.Artist, "Ar");
    EXPECT_EQ(full.Tag.Album, "Al");
    EXPECT_EQ(full.Tag.Year, "2001");
}

TEST(Id3MergeTest, Id3v1TextsWinUnlessBlank) {
    const std::string v2 =
        Id3v2Tag(Id3v2Frame("TIT2", Latin1("The Longer Version Two Title")) +
                 Id3v2Frame("TPE1", Latin1("V2 Artist")) + Id3v2Frame("TALB", Latin1("V2 Album")) +
                 Id3v2Frame("TCOM", Latin1("Composer")));
    struct Case {
        std::string v1Title, v1Artist;
        std::string title, artist;
    };
    const Case cases[] = {
        {"Word   ", "Me", "Word   ", "Me"},  // kept with its spaces
        {"   ", "", "The Longer Version Two Title", "V2 Artist"},
        {"", " ", "The Longer Version Two Title", "V2 Artist"},
    };
    for (const Case& c : cases) {
        const auto read =
            ReadMp3Bytes(v2 + kFrames + Id3v1Tag(c.v1Title, c.v1Artist, "", "", "", 0, 255));
        ASSERT_EQ(read.Result, AudioResult::Ok);
        EXPECT_TRUE(read.Tag.HasTag);
        EXPECT_EQ(read.Tag.Title, c.title);
        EXPECT_EQ(read.Tag.Artist, c.artist);
        EXPECT_EQ(read.Tag.Album, "V2 Album");
        EXPECT_EQ(read.Tag.Composer, "Composer");  // ID3v1 has none: always version 2's
    }
}

TEST(Id3MergeTest, OnlyAnId3v2TagGivesAnEmptyRecord) {
    const auto read = ReadMp3Bytes(Id3v2Tag(Id3v2Frame("TIT2", Latin1("Alone"))) + kFrames);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_FALSE(read.Tag.HasTag);
    for (const auto field : kAudioTagTexts)
        EXPECT_TRUE((read.Tag.*field).empty());

    const auto none = ReadMp3Bytes(kFrames);
    ASSERT_EQ(none.Result, AudioResult::Ok);
    EXPECT_FALSE(none.Tag.HasTag);
}

// Reads an ID3v2 tag body together with a blank ID3v1 tag, so that the merged
// record shows every version 2 text.
TAudioTagRecord MergedId3v2(const std::string& body, std::uint8_t flags = 0) {
    const auto read =
        ReadMp3Bytes(Id3v2Tag(body, 20, 3, flags) + kFrames + Id3v1Tag("", "", "", "", "", 0, 255));
    EXPECT_EQ(read.Result, AudioResult::Ok);
    return read.Tag;
}

TEST(Id3v2Test, FrameTexts) {
    const TAudioTagRecord tag =
        MergedId3v2(Id3v2Frame("TENC", Latin1("Encoder")) +
                    Id3v2Frame("WXXX", std::string("\0\0http://x/", 11)) +
                    Id3v2Frame("TCOP", Latin1("(c) me")) + Id3v2Frame("TOPE", Latin1("Original")) +
                    Id3v2Frame("TCON", Latin1("(17)")) + Id3v2Frame("TRCK", Latin1("4/9")) +
                    Id3v2Frame("COMM", std::string("\0eng\0A remark", 13)) +
                    Id3v2Frame("TDRC", Latin1("2004")) +
                    Id3v2Frame("TPE1", Latin1(std::string("Cut\0here", 8))));
    EXPECT_EQ(tag.EncodedBy, "Encoder");
    EXPECT_EQ(tag.Url, "http://x/");
    EXPECT_EQ(tag.Copyright, "(c) me");
    EXPECT_EQ(tag.OriginalArtist, "Original");
    EXPECT_EQ(tag.Genre, "(17)");
    EXPECT_EQ(tag.Track, "4/9");
    EXPECT_EQ(tag.Comment, "A remark");
    EXPECT_EQ(tag.Year, "2004");
    EXPECT_EQ(tag.Artist, "Cut");  // up to the first NUL
}

TEST(Id3v2Test, IgnoresOtherEncodingsAndKeepsTheLastFrame) {
    // UTF-16 with a byte-order mark: ignored.
    const std::string utf16("\x01\xFF\xFET\0i\0", 7);
    const TAudioTagRecord tag =
        MergedId3v2(Id3v2Frame("TIT2", utf16) + Id3v2Frame("TALB", Latin1("First")) +
                    Id3v2Frame("PRIV", "owner\0data") + Id3v2Frame("TALB", Latin1("Second")));
    EXPECT_EQ(tag.Title, "");
    EXPECT_EQ(tag.Album, "Second");
}

TEST(Id3v2Test, EmptyFrameCountsAsOneByte) {
    // The zero-size frame is read as one byte: the next frame is still found.
    const TAudioTagRecord tag = MergedId3v2(Id3v2Frame("TIT2", "") + std::string(1, '\0') +
                                            Id3v2Frame("TPE1", Latin1("A")));
    EXPECT_EQ(tag.Title, "");
    EXPECT_EQ(tag.Artist, "A");
}

TEST(Id3v2Test, ExtendedHeader) {
    const std::string frames = Id3v2Frame("TIT2", Latin1("Ext"));
    // A size of at least 6, the rest skipped.
    const std::string good = std::string("\0\0\0\x0A\0\0", 6) + std::string(4, '\0') + frames;
    EXPECT_EQ(MergedId3v2(good, 0x40).Title, "Ext");

    const std::string small = std::string("\0\0\0\x05\0\0", 6) + frames;
    EXPECT_EQ(ReadMp3Bytes(Id3v2Tag(small, 0, 3, 0x40) + kFrames).Result,
              AudioResult::NoValidStream);
    const std::string huge = std::string("\x7F\x7F\x7F\x7F\0\0", 6) + frames;
    EXPECT_EQ(ReadMp3Bytes(Id3v2Tag(huge, 0, 3, 0x40) + kFrames).Result,
              AudioResult::NoValidStream);
}

TEST(Id3v2Test, AFrameCutByTheBlockEndEndsTheScan) {
    // The title frame starts near the end of the first block and its data
    // runs past it: the scan ends there, with what it read before.
    const std::string body = Id3v2Frame("TALB", Latin1("Kept")) + std::string(40900, '\0') +
                             Id3v2Frame("TIT2", Latin1("Cut") + std::string(996, '\0'));
    const TAudioTagRecord tag = MergedId3v2(body);
    EXPECT_EQ(tag.Album, "Kept");
    EXPECT_EQ(tag.Title, "");
}

TEST(Id3v2Test, HeadersThatAreNoTag) {
    const std::string headers[] = {
        std::string("ID3\xFF\0\0\0\0\0\x10", 10),    // major version 0xFF
        std::string("ID3\x03\xFF\0\0\0\0\x10", 10),  // revision 0xFF
        std::string("ID3\x03\0\x01\0\0\0\x10", 10),  // a low flag bit
        std::string("ID3\x03\0\0\0\0\x80\x10", 10),  // a size byte of 0x80
        std::string("ID2\x03\0\0\0\0\0\x10", 10),
    };
    for (const std::string& header : headers) {
        EXPECT_FALSE(ParseId3v2Header(
            std::span(reinterpret_cast<const std::uint8_t*>(header.data()), header.size())))
            << header;
    }
    const std::string valid("ID3\x04\0\x50\x01\x02\x03\x04", 10);
    const auto parsed = ParseId3v2Header(
        std::span(reinterpret_cast<const std::uint8_t*>(valid.data()), valid.size()));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->TagSize, (1u << 21) + (2u << 14) + (3u << 7) + 4u);
    EXPECT_EQ(Id3v2TagEnd(*parsed), parsed->TagSize + 20u);  // with its footer
}

}  // namespace
}  // namespace qmp
