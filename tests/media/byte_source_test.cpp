#include "media/byte_source.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>

#include "decoding/ansi_code_page.h"
#include "media/memory_byte_source.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::TempFolder;

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 256);
    return bytes;
}

TEST(ByteSourceTest, ShortFileOpensWithItsWholeSizeAsFirstBlock) {
    TempFolder folder;
    const std::string path = folder.Write("short.bin", Pattern(1000));
    OpenedByteSource opened = OpenByteSource(path);
    ASSERT_EQ(opened.result, AudioResult::Ok);
    ASSERT_NE(opened.source, nullptr);
    EXPECT_EQ(opened.source->BlockCount(), 1000u);
    EXPECT_EQ(opened.source->BlockOrigin(), 0u);
    EXPECT_EQ(opened.source->BlockPosition(), 0u);
    EXPECT_EQ(opened.source->FileSize(), 1000u);
}

TEST(ByteSourceTest, LongFileLoadsBlocksOnDemand) {
    TempFolder folder;
    const std::string content = Pattern(50000);
    OpenedByteSource opened = OpenByteSource(folder.Write("long.bin", content));
    ASSERT_EQ(opened.result, AudioResult::Ok);
    TExtractMachine& source = *opened.source;
    EXPECT_EQ(source.BlockCount(), 40960u);
    EXPECT_EQ(source.FileSize(), 50000u);

    ASSERT_EQ(source.LoadBlock(45000, 40960), AudioResult::Ok);
    EXPECT_EQ(source.BlockOrigin(), 45000u);
    EXPECT_EQ(source.BlockCount(), 5000u);  // the end of the file is no error
    std::array<std::uint8_t, 4> bytes{};
    std::uint32_t copied = 0;
    ASSERT_EQ(source.ReadBlockBytes(bytes.data(), 4, copied), AudioResult::Ok);
    ASSERT_EQ(copied, 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), content.substr(45000, 4));

    ASSERT_EQ(source.LoadBlock(60000, 10), AudioResult::Ok);
    EXPECT_EQ(source.BlockCount(), 0u);
}

TEST(ByteSourceTest, SeekAndShortReadsFollowTheBlock) {
    const std::string content = Pattern(30);
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    TMemoryByteSource source(bytes);
    ASSERT_EQ(source.Open(), AudioResult::Ok);

    EXPECT_EQ(source.SeekInBlock(20), 0);
    EXPECT_EQ(source.SeekInBlock(31), -1);  // past the block: position unchanged
    EXPECT_EQ(source.BlockPosition(), 20u);

    // 23 wanted, 10 remain: 10 copied, position unchanged.
    std::array<std::uint8_t, 23> out{};
    std::uint32_t copied = 99;
    EXPECT_EQ(source.ReadBlockBytes(out.data(), 23, copied), AudioResult::Ok);
    EXPECT_EQ(copied, 10u);
    EXPECT_EQ(source.BlockPosition(), 20u);
    EXPECT_EQ(std::string(out.begin(), out.begin() + 10), content.substr(20, 10));

    // Seeking to the block's end is allowed; a read there copies nothing.
    EXPECT_EQ(source.SeekInBlock(30), 20);
    EXPECT_EQ(source.ReadBlockBytes(out.data(), 1, copied), AudioResult::Ok);
    EXPECT_EQ(copied, 0u);
}

TEST(ByteSourceTest, ReadWithoutBlockOrDestinationGives11) {
    TExtractMachine unopened;
    std::array<std::uint8_t, 4> out{};
    std::uint32_t copied = 0;
    EXPECT_EQ(unopened.ReadBlockBytes(out.data(), 4, copied), AudioResult::NoBlock);

    const std::array<std::uint8_t, 8> content{};
    TMemoryByteSource source(content);
    ASSERT_EQ(source.Open(), AudioResult::Ok);
    EXPECT_EQ(source.ReadBlockBytes(nullptr, 4, copied), AudioResult::NoBlock);
}

TEST(ByteSourceTest, OpenFailuresGiveTheirCodes) {
    TempFolder folder;
    const std::string file = folder.Write("present.bin", "abc");
    EXPECT_EQ(OpenByteSource(folder.dir() + "missing.mp3").result, AudioResult::FileNotFound);
    EXPECT_EQ(OpenByteSource(folder.dir() + "no/such/folder/x.mp3").result,
              AudioResult::PathNotFound);
    EXPECT_EQ(OpenByteSource(file + "/x.mp3").result,
              AudioResult::PathNotFound);                                      // a file as folder
    EXPECT_EQ(OpenByteSource(folder.dir()).result, AudioResult::SystemError);  // a folder
    // A named pipe must not hang the reader waiting for a writer.
    const std::string pipe = folder.dir() + "pipe.mp3";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(OpenByteSource(pipe).result, AudioResult::SystemError);
}

TEST(ByteSourceTest, NetworkLocationsAreRefusedAndFileUrlsOpenedAsGiven) {
    const OpenedByteSource web = OpenByteSource("http://example.org/song.mp3");
    EXPECT_EQ(web.result, AudioResult::BadLocation);
    EXPECT_EQ(web.source, nullptr);
    EXPECT_TRUE(IsNetworkUrl("ftp://host/a.mp3"));
    EXPECT_TRUE(IsNetworkUrl("svn+ssh://host/a.mp3"));
    EXPECT_FALSE(IsNetworkUrl("FILE:///tmp/a.mp3"));
    EXPECT_FALSE(IsNetworkUrl("/tmp/a://b.mp3"));
    EXPECT_FALSE(IsNetworkUrl("song.mp3"));
    // A file URL is a location text like any other: here a missing folder.
    EXPECT_EQ(OpenByteSource("file:///no/such/dir/a.mp3").result, AudioResult::PathNotFound);
}

TEST(ByteSourceTest, AnsiPathsAreOpenedThroughTheirSystemNames) {
    SetSystemCodePage(kCharsetWindows1252);
    TempFolder folder;
    folder.Write("caf\xC3\xA9.bin", "12345");  // UTF-8 on disk
    // The program holds the path as windows-1252 text.
    const OpenedByteSource opened = OpenByteSource(folder.dir() + "caf\xE9.bin");
    ASSERT_EQ(opened.result, AudioResult::Ok);
    EXPECT_EQ(opened.source->FileSize(), 5u);
}

TEST(ByteSourceTest, SystemErrorsMapToResultCodes) {
    TempFolder folder;
    struct Case {
        int error;
        std::string path;
        AudioResult expected;
    };
    const Case cases[] = {
        {ENOENT, folder.dir() + "gone.mp3", AudioResult::FileNotFound},
        {ENOENT, folder.dir() + "gone/x.mp3", AudioResult::PathNotFound},
        {ENOTDIR, folder.dir() + "x.mp3", AudioResult::PathNotFound},
        {EACCES, "", AudioResult::AccessDenied},
        {EPERM, "", AudioResult::AccessDenied},
        {ETXTBSY, "", AudioResult::FileInUse},
        {EIO, "", AudioResult::SystemError},
        {EISDIR, "", AudioResult::SystemError},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorFromLastError(c.error, c.path), c.expected) << c.error << " " << c.path;
    }
}

}  // namespace
}  // namespace qmp
