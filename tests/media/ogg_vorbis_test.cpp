#include "media/ogg_vorbis.h"

#include <gtest/gtest.h>

#include "tests/media/audio_builders.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::OggPage;
using test::OggVorbisFile;
using test::ReadOggBytes;
using test::VorbisComments;
using test::VorbisIdentification;

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(OggCrcTest, MatchesTheCatalogueAndRealPages) {
    // CRC-32/CKSUM has the same polynomial and initial value, and check value
    // 0x765E7680 after its final inversion, which the Ogg checksum omits.
    EXPECT_EQ(OggCrc(Bytes("123456789")), 0x765E7680u ^ 0xFFFFFFFFu);
    EXPECT_EQ(OggCrc(Bytes("")), 0u);

    // The first page of a file written by the reference encoder.
    std::string file = test::ReadTestData("audio/tags.ogg");
    ASSERT_GT(file.size(), 58u);
    const std::size_t pageSize = 27 + 1 + static_cast<unsigned char>(file[27]);
    std::string page = file.substr(0, pageSize);
    const std::string stored = page.substr(22, 4);
    page.replace(22, 4, std::string(4, '\0'));
    EXPECT_EQ(test::LittleEndianBytes(OggCrc(Bytes(page))), stored);
}

const std::string kIdentification = VorbisIdentification(2, 44100, 128000);

TEST(ReadOggInfoTest, DescribesAStream) {
    const std::string file =
        OggVorbisFile(kIdentification, VorbisComments({"TITLE=Song", "ARTIST=Band"}), 441000);
    const auto read = ReadOggBytes(file, "/music/Song.ogg");
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.Format, AudioFormat::OggVorbis);
    EXPECT_EQ(read.Stream.Duration, 10u);
    EXPECT_EQ(read.Stream.SampleRate, 44100u);
    EXPECT_EQ(read.Stream.BitRate, 128);
    EXPECT_EQ(read.Stream.ChannelMode, 2);
    EXPECT_EQ(read.Stream.Version, 0);
    EXPECT_EQ(read.Stream.Layer, 0);
    EXPECT_TRUE(read.Stream.Protected);
    EXPECT_EQ(read.Stream.FileSize, file.size());
    EXPECT_EQ(read.Stream.Name, "Song");
    EXPECT_TRUE(read.Tag.HasTag);
    EXPECT_EQ(read.Tag.Title, "Song");
    EXPECT_EQ(read.Tag.Artist, "Band");
}

TEST(ReadOggInfoTest, RoundsPlayTimeAndBitRateHalfToEven) {
    struct Case {
        std::int32_t nominal;
        std::uint64_t granule;
        std::int32_t bitRate;
        std::uint32_t duration;
    };
    const Case cases[] = {
        {128500, 108000, 128, 14},  // 13.5 s gives 14
        {129500, 100000, 130, 12},  // 12.5 s gives 12
        {1500, 100001, 2, 13},     {499, 3999, 0, 0}, {-1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const std::string file =
            OggVorbisFile(VorbisIdentification(1, 8000, c.nominal), VorbisComments({}), c.granule);
        const auto read = ReadOggBytes(file);
        ASSERT_EQ(read.Result, AudioResult::Ok);
        EXPECT_EQ(read.Stream.BitRate, c.bitRate) << c.nominal;
        EXPECT_EQ(read.Stream.Duration, c.duration) << c.granule;
        EXPECT_FALSE(read.Tag.HasTag);  // no comments
    }
}

TEST(ReadOggInfoTest, CommentNames) {
    struct Case {
        std::string comment;
        std::string TAudioTagRecord::*field;
        std::string value;
    };
    const Case cases[] = {
        {"TITLE=t", &TAudioTagRecord::Title, "t"},
        {"title=t", &TAudioTagRecord::Title, "t"},
        {"Album=a", &TAudioTagRecord::Album, "a"},
        {"TRACKNUMBER=3", &TAudioTagRecord::Track, "3"},
        {"ARTIST=b", &TAudioTagRecord::Artist, "b"},
        {"PERFORMER=p", &TAudioTagRecord::OriginalArtist, "p"},
        {"COPYRIGHT=c", &TAudioTagRecord::Copyright, "c"},
        {"GENRE=g", &TAudioTagRecord::Genre, "g"},
        {"DATE=2001", &TAudioTagRecord::Year, "2001"},
        {"CONTACT=u", &TAudioTagRecord::Url, "u"},
        {"COMMENT=x=y", &TAudioTagRecord::Comment, "x=y"},
        {"TITLE", &TAudioTagRecord::Title, ""},
        {"DESCRIPTION=d", &TAudioTagRecord::Comment, "DESCRIPTION=d"},
        {"DAT", &TAudioTagRecord::Comment, "DAT"},
    };
    for (const Case& c : cases) {
        const auto read =
            ReadOggBytes(OggVorbisFile(kIdentification, VorbisComments({c.comment}), 0));
        ASSERT_EQ(read.Result, AudioResult::Ok) << c.comment;
        EXPECT_EQ(read.Tag.*c.field, c.value) << c.comment;
        EXPECT_TRUE(read.Tag.HasTag);
    }
}

TEST(ReadOggInfoTest, AnEncoderCommentLastBecomesTheComment) {
    const auto read = ReadOggBytes(OggVorbisFile(
        kIdentification, VorbisComments({"COMMENT=first", "GENRE=Jazz", "ENCODER=x"}), 0));
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Tag.Comment, "ENCODER=x");
    EXPECT_EQ(read.Tag.Genre, "Jazz");
}

TEST(ReadOggInfoTest, MalformedHeadersGive6) {
    const std::string comments = VorbisComments({"TITLE=t"});
    std::string negativeCount = VorbisComments({});
    negativeCount.replace(7 + 4 + 11, 4, test::LittleEndianBytes(0x80000000u));
    std::string longVendor = VorbisComments({});
    longVendor.replace(7, 4, test::LittleEndianBytes(100));
    std::string negativeVendor = VorbisComments({});
    negativeVendor.replace(7, 4, test::LittleEndianBytes(0xFFFFFFFFu));
    std::string longComment = comments;
    longComment.replace(7 + 4 + 11 + 4, 4, test::LittleEndianBytes(9));  // 8 remain
    std::string noFraming = comments;
    noFraming.pop_back();

    const std::pair<std::string, std::string> cases[] = {
        {VorbisIdentification(2, 44100, 0, 1), comments},     // version 1
        {VorbisIdentification(0, 44100, 0), comments},        // no channels
        {VorbisIdentification(2, 0, 0), comments},            // no sample rate
        {VorbisIdentification(2, 44100, 0, 0, 0), comments},  // framing 0
        {kIdentification.substr(0, 29), comments},            // cut short
        {"\x01VORBIS" + kIdentification.substr(7), comments},
        {kIdentification, VorbisComments({"TITLE=t"}, "v", 0)},  // framing 0
        {kIdentification, noFraming},
        {kIdentification, negativeCount},
        {kIdentification, longVendor},
        {kIdentification, negativeVendor},
        {kIdentification, longComment},
        {comments, comments},                                     // no identification header
        {kIdentification, "\x05vorbis" + std::string(40, '\0')},  // a setup header
    };
    for (const auto& [identification, commentPacket] : cases) {
        EXPECT_EQ(ReadOggBytes(OggVorbisFile(identification, commentPacket, 44100)).Result,
                  AudioResult::NoValidStream)
            << identification.size() << " " << commentPacket.size();
    }
}

TEST(ReadOggInfoTest, BrokenPagesGive6) {
    const std::string file = OggVorbisFile(kIdentification, VorbisComments({"TITLE=t"}), 44100);
    const std::size_t secondPage = file.find("OggS", 4);
    ASSERT_NE(secondPage, std::string::npos);

    std::string badFirst = file;
    badFirst[40] ^= 0x01;  // a body byte of the first page
    std::string badSecond = file;
    badSecond[secondPage + 40] ^= 0x01;
    std::string badStored = file;
    badStored[secondPage + 22] ^= 0x01;
    const std::string noSegments = OggPage("", 0, 0, true) + file;

    for (const std::string& broken :
         {badFirst, badSecond, badStored, noSegments, file.substr(0, secondPage + 30),
          file.substr(0, 3), std::string(5000, 'x')}) {
        EXPECT_EQ(ReadOggBytes(broken).Result, AudioResult::NoValidStream) << broken.size();
    }
}

TEST(ReadOggInfoTest, FindsTheFirstPageAfterJunk) {
    const std::string file =
        std::string(300, 'j') + OggVorbisFile(kIdentification, VorbisComments({}), 88200);
    const auto read = ReadOggBytes(file);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.Duration, 2u);
}

TEST(ReadOggInfoTest, CommentsTooLargeForTheirPageLeaveNoTags) {
    // 510 bytes of comment packet in a page whose lacing says it goes on.
    std::string comments = VorbisComments({"TITLE=" + std::string(480, 't')});
    comments.resize(510, 'x');
    const std::string file = OggPage(kIdentification, 0, 0, false, 2) +
                             OggPage(comments, 0, 1, true) +
                             OggPage(std::string(50, 'y'), 0, 2, false, 1) +
                             OggPage(std::string(100, 'z'), 44100 * 3, 3, false, 4);
    const auto read = ReadOggBytes(file);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_FALSE(read.Tag.HasTag);
    EXPECT_TRUE(read.Tag.Title.empty());
    EXPECT_EQ(read.Stream.Duration, 3u);
    EXPECT_EQ(read.Stream.SampleRate, 44100u);
}

TEST(ReadOggInfoTest, PlayTimeComesFromTheLastWholePageHeader) {
    std::string file = OggVorbisFile(kIdentification, VorbisComments({}), 441000);
    file += "OggS";
    file += std::string(10, '\x7F');  // a last page cut inside its header
    const auto read = ReadOggBytes(file);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.Duration, 10u);
}

TEST(ReadOggInfoTest, ReadsOnlyTheStartAndTheEnd) {
    std::string text =
        OggPage(kIdentification, 0, 0, false, 2) + OggPage(VorbisComments({"TITLE=t"}), 0, 1);
    for (std::uint32_t page = 2; text.size() < 4'000'000; ++page) {
        text += OggPage(std::string(4000, 'a'), page * 4410, page);
    }
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    test::CountingSource source(bytes);
    ASSERT_EQ(source.Open(), AudioResult::Ok);
    TStreamDescription stream;
    TAudioTagRecord tag;
    ASSERT_EQ(ReadOggInfo(source, "big.ogg", stream, tag), AudioResult::Ok);
    EXPECT_EQ(tag.Title, "t");
    EXPECT_GT(stream.Duration, 0u);
    EXPECT_EQ(source.BytesLoaded, 40960u + 65563u);
}

}  // namespace
}  // namespace qmp
