#include "media/audio_description_page.h"

#include <gtest/gtest.h>

#include "tests/media/audio_builders.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::TagRecord;
using R = TAudioTagRecord;

TStreamDescription Mp3Stream(std::int32_t bitRate, std::uint32_t duration) {
    TStreamDescription stream;
    stream.Format = AudioFormat::Mp3;
    stream.BitRate = bitRate;
    stream.Duration = duration;
    return stream;
}

std::string Page(const std::string& title, const std::string& description,
                 const std::string& caption) {
    return "<html><head><title>" + title + "</title><meta name=\"description\" content=\"" +
           description + "\"></head><body>" + description + caption + "</body></html>";
}

TEST(AudioDescriptionPageTest, TheWorkedExample) {
    const TAudioTagRecord tag = TagRecord({{&R::Track, "3"},
                                           {&R::Artist, "A"},
                                           {&R::Title, "T"},
                                           {&R::Album, "Al"},
                                           {&R::Year, "2001"},
                                           {&R::Genre, "Rock"}});
    EXPECT_EQ(BuildAudioDescriptionPage("/music/my_song.mp3", Mp3Stream(128, 225), tag),
              Page("3 - A - T", "Mp3 (128kbps, 3:45) Album: Al (2001) / Rock", "my song.mp3"));
}

TEST(AudioDescriptionPageTest, WithoutTags) {
    EXPECT_EQ(BuildAudioDescriptionPage("/music/my_song.mp3", Mp3Stream(128, 225), {}),
              Page("", "Mp3 (128kbps, 3:45)", "my song.mp3"));
}

TEST(AudioDescriptionPageTest, PartsAppearOnlyWithTheirTexts) {
    struct Case {
        TAudioTagRecord tag;
        TStreamDescription stream;
        std::string title, description;
    };
    const TAudioTagRecord yearOnly = TagRecord({{&R::Year, "1999"}});
    const TAudioTagRecord genreOnly = TagRecord({{&R::Genre, "Jazz"}});
    const TAudioTagRecord commentAndGenre = TagRecord({{&R::Comment, "Live"}, {&R::Genre, "Jazz"}});
    const TAudioTagRecord spaced = TagRecord({{&R::Track, " \t"},
                                              {&R::Artist, "\x01 Someone \r\n"},
                                              {&R::Title, "  Tune  "},
                                              {&R::Album, " "},
                                              {&R::Year, "2000"}});
    // Texts the page never shows.
    const TAudioTagRecord unused = TagRecord({{&R::Composer, "C"},
                                              {&R::OriginalArtist, "O"},
                                              {&R::Copyright, "R"},
                                              {&R::Url, "U"},
                                              {&R::EncodedBy, "E"}});
    TStreamDescription ogg;
    ogg.Format = AudioFormat::OggVorbis;
    ogg.BitRate = 112;
    ogg.Duration = 3600;
    TStreamDescription unknown;
    unknown.Duration = 59;

    const Case cases[] = {
        {{}, Mp3Stream(128, 65), "", "Mp3 (128kbps, 1:5)"},
        {yearOnly, Mp3Stream(128, 0), "", "Mp3 (128kbps, 0:0)"},
        {genreOnly, Mp3Stream(-1, 261), "", "Mp3 (-1kbps, 4:21) / Jazz"},
        {commentAndGenre, Mp3Stream(64, 60), "", "Mp3 (64kbps, 1:0) / Live / Jazz"},
        {spaced, Mp3Stream(32, 1), "Someone - Tune", "Mp3 (32kbps, 0:1)"},
        {unused, Mp3Stream(32, 1), "", "Mp3 (32kbps, 0:1)"},
        {{}, ogg, "", "Ogg (112kbps, 60:0)"},
        {{}, unknown, "", " (0kbps, 0:59)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildAudioDescriptionPage("x.mp3", c.stream, c.tag),
                  Page(c.title, c.description, "x.mp3"));
    }
}

TEST(AudioDescriptionPageTest, TagTextsGoInAsTheirBytes) {
    const TAudioTagRecord tag = TagRecord({{&R::Title, "Caf\xE9 <b>&"}});
    EXPECT_EQ(BuildAudioDescriptionPage("a.mp3", Mp3Stream(8, 8), tag),
              Page("Caf\xE9 <b>&", "Mp3 (8kbps, 0:8)", "a.mp3"));
}

TEST(AudioDescriptionPageTest, AnUnreadableFileGivesItsPath) {
    test::TempFolder folder;
    const std::string noise = folder.Write("noise.mp3", std::string(3000, '\x11'));
    EXPECT_EQ(AudioDescriptionPage(noise), noise);
    EXPECT_EQ(AudioDescriptionPage(folder.dir() + "missing.ogg"), folder.dir() + "missing.ogg");
}

TEST(CaptionFromFileNameTest, FileNamePartWithSpaces) {
    const std::pair<const char*, const char*> cases[] = {
        {"/music/my_song.mp3", "my song.mp3"},
        {"/a/b/it's-a_`b`.OGG", "it s a  b .OGG"},
        {"plain.mp3", "plain.mp3"},
        {"/music/folder/", ""},
        {"/c:d\\e_f.mp3", "c:d\\e f.mp3"},
    };
    for (const auto& [path, caption] : cases)
        EXPECT_EQ(CaptionFromFileName(path), caption) << path;
}

}  // namespace
}  // namespace qmp
