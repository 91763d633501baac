// The readers and the description page over real files made by Debian's
// encoders (tests/data/audio/make.sh), checked against what ffprobe said of
// the same files (tests/data/audio/expected.txt).

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

#include "media/audio_description_page.h"
#include "media/audio_info.h"
#include "tests/media/audio_builders.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

enum class Kind { ConstantBitRate, Xing, Ogg };

struct Fixture {
    const char* name;
    Kind kind;
    std::uint32_t firstFrame;  // MP3 only
    TAudioTagRecord tag;
    const char* title;
    const char* description;
    const char* caption;
};

using test::TagRecord;
using R = TAudioTagRecord;

// The texts make.sh wrote, merged as the rules say, and the pages they give.
const std::vector<Fixture>& Fixtures() {
    static const std::vector<Fixture> fixtures = {
        {"cbr_mpeg1.mp3", Kind::ConstantBitRate, 2000,
         // ID3v1 texts win; its blank artist and comment take version 2's.
         TagRecord({{&R::Track, "3"},
                    {&R::Title, "Short"},
                    {&R::Artist, "V2 Artist"},
                    {&R::Album, "V1 Album"},
                    {&R::Year, "2001"},
                    {&R::Comment, "v2 comment"},
                    {&R::Composer, "The Composer"},
                    {&R::EncodedBy, "The Encoder"},
                    {&R::Genre, "Rock"}}),
         "3 - V2 Artist - Short", "Mp3 (32kbps, 0:1) Album: V1 Album (2001) / v2 comment / Rock",
         "cbr mpeg1.mp3"},
        {"vbr_mpeg1.mp3", Kind::Xing, 0, {}, "", "Mp3 (-1kbps, 0:2)", "vbr mpeg1.mp3"},
        // Only an ID3v2 tag: described without tag texts.
        {"vbr_mpeg2.mp3", Kind::Xing, 244, {}, "", "Mp3 (-1kbps, 0:3)", "vbr mpeg2.mp3"},
        {"cbr_mpeg25.mp3", Kind::ConstantBitRate, 0,
         TagRecord({{&R::Title, "V1 Title"},
                    {&R::Artist, "V1 Artist"},
                    {&R::Comment, "This comment is exactly thirty"},
                    {&R::Genre, "Jazz"}}),
         "V1 Artist - V1 Title", "Mp3 (8kbps, 0:4) / This comment is exactly thirty / Jazz",
         "cbr mpeg25.mp3"},
        {"layer2.mp2", Kind::ConstantBitRate, 0, {}, "", "Mp3 (32kbps, 0:1)", "layer2.mp2"},
        // The version 2 texts follow the picture, past the first block.
        {"big_picture.mp3", Kind::Xing, 48344,
         TagRecord({{&R::Track, "9"},
                    {&R::Title, "Cover Song"},
                    {&R::Artist, "Painter"},
                    {&R::Genre, "Other"}}),
         "9 - Painter - Cover Song", "Mp3 (-1kbps, 0:2) / Other", "big picture.mp3"},
        {"tags.ogg", Kind::Ogg, 0,
         TagRecord({{&R::Track, "7"},
                    {&R::Title, "Ogg Title"},
                    {&R::Artist, "Ogg Artist"},
                    {&R::Album, "Ogg Album"},
                    {&R::Year, "2004"},
                    {&R::Comment, "ENCODER=x"},
                    {&R::OriginalArtist, "The Performer"},
                    {&R::Copyright, "Free"},
                    {&R::Url, "http://example.org/"},
                    {&R::Genre, "Jazz"}}),
         "7 - Ogg Artist - Ogg Title",
         "Ogg (8kbps, 0:4) Album: Ogg Album (2004) / ENCODER=x / Jazz", "tags.ogg"},
        {"long_comment.ogg", Kind::Ogg, 0,
         TagRecord({{&R::Title, "Long Page Title"}, {&R::Comment, "after padding"}}),
         "Long Page Title", "Ogg (8kbps, 0:4) / after padding", "long comment.ogg"},
        {"big_picture.ogg", Kind::Ogg, 0, {}, "", "Ogg (8kbps, 0:4)", "big picture.ogg"},
    };
    return fixtures;
}

std::string FixturePath(const char* name) {
    return test::TestDataDir() + "audio/" + name;
}

// ffprobe's values for each file: name -> key -> value.
std::map<std::string, std::map<std::string, std::string>> ProbeRecord() {
    std::map<std::string, std::map<std::string, std::string>> record;
    std::istringstream lines(test::ReadTestData("audio/expected.txt"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string name;
        std::string pair;
        words >> name;
        while (words >> pair) {
            const std::size_t equals = pair.find('=');
            if (equals != std::string::npos)
                record[name][pair.substr(0, equals)] = pair.substr(equals + 1);
        }
    }
    return record;
}

TEST(AudioFixturesTest, StreamsAgreeWithFfprobe) {
    const auto record = ProbeRecord();
    for (const Fixture& f : Fixtures()) {
        SCOPED_TRACE(f.name);
        ASSERT_TRUE(record.count(f.name));
        const auto& probe = record.at(f.name);
        TStreamDescription stream;
        TAudioTagRecord tag;
        ASSERT_EQ(ReadAudioInfo(FixturePath(f.name), stream, tag), AudioResult::Ok);

        EXPECT_EQ(stream.SampleRate, std::stoul(probe.at("sample_rate")));
        EXPECT_EQ(stream.FileSize, std::stoul(probe.at("size")));
        const unsigned channels = std::stoul(probe.at("channels"));
        const double seconds = std::stod(probe.at("duration"));
        const long bitRate = std::lround(std::stod(probe.at("bit_rate")) / 1000);
        switch (f.kind) {
            case Kind::ConstantBitRate:
                EXPECT_EQ(stream.Format, AudioFormat::Mp3);
                EXPECT_EQ(stream.BitRate, bitRate);
                // Whole seconds, cut: at most one second less, never more.
                EXPECT_LE(stream.Duration, seconds);
                EXPECT_GT(stream.Duration + 1.0, seconds);
                break;
            case Kind::Xing:
                EXPECT_EQ(stream.Format, AudioFormat::Mp3);
                EXPECT_EQ(stream.BitRate, -1);
                EXPECT_LE(std::abs(stream.Duration - seconds), 0.5);  // rounded
                break;
            case Kind::Ogg:
                EXPECT_EQ(stream.Format, AudioFormat::OggVorbis);
                EXPECT_EQ(stream.BitRate, bitRate);  // ffprobe gives the nominal rate
                EXPECT_LE(std::abs(stream.Duration - seconds), 0.5);
                break;
        }
        if (f.kind == Kind::Ogg) {
            EXPECT_EQ(stream.ChannelMode, channels);
        } else {
            EXPECT_EQ(stream.ChannelMode == 3, channels == 1);
            EXPECT_EQ(stream.FirstFrameOffset, f.firstFrame);
        }
    }
}

TEST(AudioFixturesTest, TagsAreTheOnesWritten) {
    for (const Fixture& f : Fixtures()) {
        SCOPED_TRACE(f.name);
        TStreamDescription stream;
        TAudioTagRecord tag;
        ASSERT_EQ(ReadAudioInfo(FixturePath(f.name), stream, tag), AudioResult::Ok);
        EXPECT_EQ(tag.HasTag, f.tag.HasTag);
        for (const auto field : kAudioTagTexts)
            EXPECT_EQ(tag.*field, f.tag.*field);
    }
}

TEST(AudioFixturesTest, DescriptionPages) {
    for (const Fixture& f : Fixtures()) {
        const std::string expected = std::string("<html><head><title>") + f.title +
                                     "</title><meta name=\"description\" content=\"" +
                                     f.description + "\"></head><body>" + f.description +
                                     f.caption + "</body></html>";
        EXPECT_EQ(AudioDescriptionPage(FixturePath(f.name)), expected) << f.name;
    }
}

TEST(AudioFixturesTest, ExtensionChoosesTheReader) {
    test::TempFolder folder;
    const std::string ogg = test::ReadTestData("audio/tags.ogg");
    const std::string mp3 = test::ReadTestData("audio/vbr_mpeg1.mp3");
    struct Case {
        std::string name;
        const std::string& content;
        AudioResult result;
        AudioFormat format;
    };
    const Case cases[] = {
        {"song.MP3", ogg, AudioResult::Ok, AudioFormat::OggVorbis},  // tried as MP3, then Ogg
        {"song.MP3", mp3, AudioResult::Ok, AudioFormat::Mp3},
        {"song", ogg, AudioResult::Ok, AudioFormat::OggVorbis},
        {"song.ogg", mp3, AudioResult::NoValidStream, AudioFormat::None},  // no second try
        {"song.mp3", ogg, AudioResult::NoValidStream, AudioFormat::None},
    };
    for (const Case& c : cases) {
        const std::string path = folder.Write("x/" + c.name, c.content);
        TStreamDescription stream;
        TAudioTagRecord tag;
        EXPECT_EQ(ReadAudioInfo(path, stream, tag), c.result) << c.name;
        if (c.result == AudioResult::Ok) {
            EXPECT_EQ(stream.Format, c.format) << c.name;
        }
        std::filesystem::remove(path);
    }
    TStreamDescription stream;
    TAudioTagRecord tag;
    EXPECT_EQ(ReadAudioInfo(folder.dir() + "gone.mp3", stream, tag), AudioResult::FileNotFound);
}

class FixturePrefixTest : public ::testing::TestWithParam<Fixture> {};

TEST_P(FixturePrefixTest, EveryPrefixReadsSafely) {
    // Each prefix is read from a buffer of exactly its size, so that a read
    // past its end is caught. Large files are sampled away from their ends.
    const Fixture& f = GetParam();
    const std::string file = test::ReadTestData(std::string("audio/") + f.name);
    ASSERT_FALSE(file.empty());
    const bool small = file.size() <= 16384;
    for (std::size_t size = 0; size <= file.size(); ++size) {
        const bool nearAnEnd = size < 1024 || size + 256 > file.size();
        if (!small && !nearAnEnd && size % 97 != 0) continue;
        const std::string_view prefix(file.data(), size);
        const auto read =
            f.kind == Kind::Ogg ? test::ReadOggBytes(prefix) : test::ReadMp3Bytes(prefix);
        ASSERT_TRUE(read.Result == AudioResult::Ok || read.Result == AudioResult::NoValidStream)
            << size;
        if (read.Result != AudioResult::Ok) continue;
        EXPECT_EQ(read.Stream.FileSize, size);
        if (f.kind != Kind::Ogg) {
            EXPECT_LT(read.Stream.FirstFrameOffset, size);
        }
    }
    const auto whole = f.kind == Kind::Ogg ? test::ReadOggBytes(file) : test::ReadMp3Bytes(file);
    EXPECT_EQ(whole.Result, AudioResult::Ok);
}

std::string FixtureTestName(const ::testing::TestParamInfo<Fixture>& info) {
    std::string name = info.param.name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixturePrefixTest, ::testing::ValuesIn(Fixtures()),
                         FixtureTestName);

}  // namespace
}  // namespace qmp
