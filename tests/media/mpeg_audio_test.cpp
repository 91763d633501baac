#include "media/mpeg_audio.h"

#include <gtest/gtest.h>

#include "media/memory_byte_source.h"
#include "tests/media/audio_builders.h"

namespace qmp {
namespace {

using test::MpegFrame;
using test::MpegFrames;
using test::MpegHeader;
using test::ReadMp3Bytes;
using test::XingFrame;

TEST(DecodeFrameHeaderTest, DecodesValidHeaders) {
    struct Case {
        std::uint32_t header;
        std::uint32_t fileSize;
        int version, layer;
        std::uint32_t sampleRate;
        int bitRate;
        std::uint32_t frameLength, duration;
    };
    // Frame lengths: the bytes one frame of samples takes at the bit rate,
    // in 4-byte slots for layer 1.
    const Case cases[] = {
        {0xFFFB9064, 4'000'000, 1, 3, 44100, 128, 417, 250},  // 4,000,000 × 8 / 128,000
        {MpegHeader(1, 3, 9, 0, true), 4'000'000, 1, 3, 44100, 128, 418, 250},
        {MpegHeader(1, 2, 1, 2), 144'000, 1, 2, 32000, 32, 144, 36},
        {MpegHeader(1, 1, 1, 0), 8000, 1, 1, 44100, 32, 32, 2},
        {MpegHeader(1, 1, 1, 0, true), 8000, 1, 1, 44100, 32, 36, 2},
        {MpegHeader(2, 1, 14, 1), 64000, 2, 1, 24000, 256, 512, 2},
        {MpegHeader(2, 2, 14, 0), 20000, 2, 2, 22050, 160, 1044, 1},
        {MpegHeader(2, 3, 1, 2), 10000, 2, 3, 16000, 8, 36, 10},
        {MpegHeader(3, 3, 1, 2), 10000, 3, 3, 8000, 8, 72, 10},
        {MpegHeader(1, 3, 9, 0), 6, 1, 3, 44100, 128, 417, 0},
    };
    for (const Case& c : cases) {
        TStreamDescription s;
        s.Name = "left over";
        ASSERT_TRUE(DecodeFrameHeader(c.header, c.fileSize, s)) << std::hex << c.header;
        EXPECT_EQ(s.Version, c.version);
        EXPECT_EQ(s.Layer, c.layer);
        EXPECT_EQ(s.SampleRate, c.sampleRate);
        EXPECT_EQ(s.BitRate, c.bitRate);
        EXPECT_EQ(s.FrameLength, c.frameLength) << std::hex << c.header;
        EXPECT_EQ(s.Duration, c.duration);
        EXPECT_EQ(s.FileSize, c.fileSize);
        EXPECT_TRUE(s.Name.empty());
    }
}

TEST(DecodeFrameHeaderTest, ReadsFlagBits) {
    TStreamDescription s;
    // 0x64: joint stereo, original; no CRC.
    ASSERT_TRUE(DecodeFrameHeader(0xFFFB9064, 1000, s));
    EXPECT_EQ(s.ChannelMode, 1);
    EXPECT_TRUE(s.OriginalBit);
    EXPECT_FALSE(s.Copyright);
    EXPECT_FALSE(s.Protected);
    EXPECT_FALSE(s.PaddingBit);
    ASSERT_TRUE(DecodeFrameHeader(MpegHeader(1, 3, 9, 0, true, 3, true) | 0x8, 1000, s));
    EXPECT_EQ(s.ChannelMode, 3);
    EXPECT_TRUE(s.Copyright);
    EXPECT_FALSE(s.OriginalBit);
    EXPECT_TRUE(s.Protected);
    EXPECT_TRUE(s.PaddingBit);
}

TEST(DecodeFrameHeaderTest, RejectsInvalidHeaders) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0xFFDB9064, 1000},              // eleven sync bits not all set
        {0x00000000, 1000},              //
        {MpegHeader(0, 3, 9, 0), 1000},  // reserved version
        {MpegHeader(1, 0, 9, 0), 1000},  // reserved layer
        {MpegHeader(1, 3, 0, 0), 1000},  // free bit rate
        {MpegHeader(1, 3, 15, 0), 1000},
        {MpegHeader(1, 3, 9, 3), 1000},  // reserved sample rate
        {MpegHeader(1, 3, 9, 0), 5},     // too small a file
    };
    for (const auto& [header, fileSize] : cases) {
        TStreamDescription s;
        EXPECT_FALSE(DecodeFrameHeader(header, fileSize, s)) << std::hex << header;
    }
}

const std::uint32_t kMpeg1Layer3 = MpegHeader(1, 3, 9, 0);  // 128 kbit/s, 44.1 kHz, 417 bytes

TEST(ReadMp3InfoTest, ConstantBitRateStream) {
    const std::string file = MpegFrames(kMpeg1Layer3, 417, 50);
    const auto read = ReadMp3Bytes(file, "/music/My Song.mp3");
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.Format, AudioFormat::Mp3);
    EXPECT_EQ(read.Stream.FirstFrameOffset, 0u);
    EXPECT_EQ(read.Stream.BitRate, 128);
    EXPECT_EQ(read.Stream.Duration, 1u);  // 20,850 bytes at 16,000 bytes a second
    EXPECT_EQ(read.Stream.FileSize, 20850u);
    EXPECT_EQ(read.Stream.Name, "My Song");
    EXPECT_FALSE(read.Tag.HasTag);
}

TEST(ReadMp3InfoTest, SkipsJunkAndUnconfirmedHeaders) {
    // A lone header at 10 whose "next frame" is junk, then the stream at 700.
    std::string file(700, '\0');
    file.replace(10, 4, test::BigEndianBytes(kMpeg1Layer3));
    file += MpegFrames(kMpeg1Layer3, 417, 20);
    const auto read = ReadMp3Bytes(file);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.FirstFrameOffset, 700u);
    // The play time is that of the stream's bytes: 8,340 at 16,000 a second.
    EXPECT_EQ(read.Stream.Duration, 0u);
}

TEST(ReadMp3InfoTest, ConfirmsACandidateWhoseNextFrameLiesPastTheFirstBlock) {
    std::string file(40700, '\0');
    file += MpegFrames(kMpeg1Layer3, 417, 40);
    const auto read = ReadMp3Bytes(file);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.FirstFrameOffset, 40700u);
    EXPECT_EQ(read.Stream.Duration, 1u);  // 16,680 bytes at 16,000 bytes a second
}

TEST(ReadMp3InfoTest, SearchesOnlyTheFirstBlock) {
    // A header that starts 2 bytes before the block's end cannot be seen whole.
    std::string file(40958, '\0');
    file += MpegFrames(kMpeg1Layer3, 417, 10);
    EXPECT_EQ(ReadMp3Bytes(file).Result, AudioResult::NoValidStream);
}

TEST(ReadMp3InfoTest, TheLastWindowOfTheBlockIsTestedWithAZeroLowByte) {
    // The block ends with FF FB 90: the final window, shifted with no byte
    // read, is FF FB 90 00, a valid header, and its candidate offset is taken
    // from the read position as every other: one byte before those bytes.
    std::string file(40957, '\0');
    file += "\xFF\xFB\x90";
    file.resize(40956 + 417, '\0');
    file += MpegFrames(kMpeg1Layer3, 417, 3);
    const auto read = ReadMp3Bytes(file);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.FirstFrameOffset, 40956u);
}

TEST(ReadMp3InfoTest, StartsTheSearchAfterALargeId3v2Tag) {
    const std::string frames = MpegFrames(kMpeg1Layer3, 417, 40);
    const std::string tag =
        test::Id3v2Tag(test::Id3v2Frame("TIT2", std::string("\0Big", 4)), 50000);
    auto read = ReadMp3Bytes(tag + frames);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.FirstFrameOffset, tag.size());
    // 16,680 bytes of frames at 16,000 bytes a second: the tag's bytes are no
    // play time (counted, they would make 4 s).
    EXPECT_EQ(read.Stream.Duration, 1u);

    // Version 2.4 with a footer: the stream starts 10 bytes later.
    const std::string footed = test::Id3v2Tag("", 50000, 4, 0x10) + "3DI" + std::string(7, '\0');
    read = ReadMp3Bytes(footed + frames);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.FirstFrameOffset, footed.size());
}

TEST(ReadMp3InfoTest, XingHeaderGivesPlayTimeFromFrameCount) {
    // 10,000 frames of 1152 samples at 44,100 Hz: 261.2 s.
    const std::string file =
        XingFrame(kMpeg1Layer3, 417, 36, 0xF, 10000, 123456, 57) + MpegFrames(kMpeg1Layer3, 417, 2);
    const auto read = ReadMp3Bytes(file);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.Duration, 261u);
    EXPECT_EQ(read.Stream.BitRate, -1);
    EXPECT_EQ(read.Stream.XingFlags, 0xFu);
    EXPECT_EQ(read.Stream.XingFrames, 10000u);
    EXPECT_EQ(read.Stream.XingBytes, 123456u);
    EXPECT_EQ(read.Stream.XingQuality, 57u);
    EXPECT_EQ(read.Stream.FrameLength, 1251u / 10000u);
}

TEST(ReadMp3InfoTest, XingPlayTimeUsesTheSamplesOfEachVersionAndLayer) {
    struct Case {
        std::uint32_t header;
        std::size_t xingOffset;
        std::uint32_t frames, duration;
    };
    const Case cases[] = {
        // MPEG-1 layer 3, 32 kHz: 375 frames last exactly 13.5 s, a half
        // going to the even 14; 125 frames last 4.5 s, giving 4.
        {MpegHeader(1, 3, 9, 2), 36, 375, 14},
        {MpegHeader(1, 3, 9, 2), 36, 125, 4},
        // MPEG-1 single channel keeps the header at 21.
        {MpegHeader(1, 3, 9, 2, false, 3), 21, 1000, 36},
        // MPEG-2 layer 3, 16 kHz, mono: 1000 frames of 576 samples: 36 s.
        {MpegHeader(2, 3, 1, 2, false, 3), 13, 1000, 36},
        // MPEG-2.5 layer 3, 8 kHz, stereo: 100 frames of 576: 7.2 s.
        {MpegHeader(3, 3, 4, 2), 21, 100, 7},
        // MPEG-1 layer 1, 44.1 kHz: 1000 frames of 384 samples: 8.7 s.
        {MpegHeader(1, 1, 14, 0), 36, 1000, 9},
        // MPEG-1 layer 2, 48 kHz: 100 frames of 1152: 2.4 s.
        {MpegHeader(1, 2, 14, 1), 36, 100, 2},
    };
    for (const Case& c : cases) {
        // The confirming frames take the length their header gives; enough of
        // them follow for the Xing fields to be all there.
        TStreamDescription decoded;
        ASSERT_TRUE(DecodeFrameHeader(c.header, 100000, decoded));
        const std::size_t length = decoded.FrameLength;
        const std::string file = XingFrame(c.header, length, c.xingOffset, 1, c.frames) +
                                 MpegFrames(c.header, length, 2 + 200 / length);
        const auto read = ReadMp3Bytes(file);
        ASSERT_EQ(read.Result, AudioResult::Ok) << std::hex << c.header;
        EXPECT_EQ(read.Stream.Duration, c.duration) << std::hex << c.header;
        EXPECT_EQ(read.Stream.BitRate, -1);
    }
}

TEST(ReadMp3InfoTest, XingWithoutFrameCountKeepsTheHeaderValues) {
    const std::string file =
        XingFrame(kMpeg1Layer3, 417, 36, 0x2, 0, 999) + MpegFrames(kMpeg1Layer3, 417, 99);
    const auto read = ReadMp3Bytes(file);
    ASSERT_EQ(read.Result, AudioResult::Ok);
    EXPECT_EQ(read.Stream.BitRate, -1);
    EXPECT_EQ(read.Stream.XingBytes, 999u);
    EXPECT_EQ(read.Stream.Duration, 2u);  // 41,700 bytes at 128 kbit/s
    EXPECT_EQ(read.Stream.FrameLength, 417u);
}

TEST(ReadMp3InfoTest, XingHeaderCutShortGives6) {
    // 72-byte MPEG-2.5 frames: the Xing fields at 25 run into the next frame,
    // whose header sits among them; the file ends before the 116 bytes do.
    const std::uint32_t header = MpegHeader(3, 3, 1, 2);
    std::string file = XingFrame(header, 141, 21, 0x4, 0);
    file.replace(72, 4, test::BigEndianBytes(header));
    file.resize(100);
    EXPECT_EQ(ReadMp3Bytes(file).Result, AudioResult::NoValidStream);
    file.resize(200, '\0');
    file.replace(144, 4, test::BigEndianBytes(header));
    EXPECT_EQ(ReadMp3Bytes(file).Result, AudioResult::Ok);
}

TEST(ReadMp3InfoTest, FilesWithoutAStreamGive6) {
    const std::string cases[] = {
        "",
        "ID3",
        std::string(5000, '\0'),
        MpegFrames(MpegHeader(0, 3, 9, 0), 417, 5),                  // reserved version
        MpegFrames(0xFFC00000 | (kMpeg1Layer3 & 0x1FFFFF), 417, 5),  // broken sync
        MpegFrame(kMpeg1Layer3, 417),                                // nothing follows the frame
        MpegFrame(kMpeg1Layer3, 417) + MpegFrame(MpegHeader(1, 3, 0, 0), 417),
    };
    for (const std::string& file : cases) {
        EXPECT_EQ(ReadMp3Bytes(file).Result, AudioResult::NoValidStream) << file.size();
    }
}

// A source whose block loads fail once `failFrom` loads have succeeded.
class FailingSource final : public TMemoryByteSource {
public:
    FailingSource(std::span<const std::uint8_t> bytes, int failFrom)
        : TMemoryByteSource(bytes), left_(failFrom) {}
    AudioResult LoadBlock(std::uint32_t offset, std::uint32_t size) override {
        if (left_-- <= 0) return AudioResult::SystemError;
        return TMemoryByteSource::LoadBlock(offset, size);
    }

private:
    int left_;
};

TEST(ReadMp3InfoTest, PassesByteSourceErrorsOn) {
    const std::string text =
        MpegFrames(kMpeg1Layer3, 417, 10) + test::Id3v1Tag("T", "A", "", "", "", 0, 1);
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    FailingSource source(bytes, 1);  // the first block loads, the ID3v1 block does not
    ASSERT_EQ(source.Open(), AudioResult::Ok);
    TStreamDescription stream;
    TAudioTagRecord tag;
    EXPECT_EQ(ReadMp3Info(source, "x.mp3", stream, tag), AudioResult::SystemError);
}

TEST(ReadMp3InfoTest, ReadsOnlyTheStartAndTheEnd) {
    // 8 MB of stream: the first block and the ID3v1 tag are all it takes.
    const std::string text =
        MpegFrames(kMpeg1Layer3, 417, 20000) + test::Id3v1Tag("Title", "", "", "", "", 1, 17);
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    test::CountingSource source(bytes);
    ASSERT_EQ(source.Open(), AudioResult::Ok);
    TStreamDescription stream;
    TAudioTagRecord tag;
    ASSERT_EQ(ReadMp3Info(source, "big.mp3", stream, tag), AudioResult::Ok);
    EXPECT_EQ(stream.Duration, 521u);  // 8,340,000 bytes at 16,000 a second
    EXPECT_EQ(tag.Title, "Title");
    EXPECT_EQ(source.BytesLoaded, 40960u + 128u);
}

}  // namespace
}  // namespace qmp
