#include "indexing/rating_settings.h"

#include <gtest/gtest.h>

#include "indexing/rating_lookup.h"
#include "system/paths.h"
#include "tests/indexing/tokenizer_support.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

// Reads one set.xml text into a fresh rating.
struct SetResult {
    bool complete;
    TRating rating;
};

SetResult ReadSet(std::string_view text) {
    SetResult result{false, {}};
    FileBuffer buffer = FileBufferFromBytes(text);
    result.complete = ReadSetFile(buffer, result.rating);
    return result;
}

std::string Settings(std::string_view body) {
    return "<?xml version=\"1.0\"?>\n<!-- defaults -->\n<settings>\n" + std::string(body) +
           "\n</settings>\n";
}

TEST(ReadSetFile, IntegerAndRealValues) {
    test::ScopedProjectSettings settings;
    const SetResult r = ReadSet(
        Settings("<KeysCount value=\"0x0A\"/><BeginOfFile value=\"150\"/><EndOfFile value=\"0.5\"/>"
                 "<TagsMinimalRating value=\"-5\"/><CountWeight value=\"$10\"/>"
                 "<XXXRating value=\"12abc\"/><DescLength value=\"abc\"/>"));
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.rating.KeysCount, 10);
    EXPECT_DOUBLE_EQ(r.rating.BeginOfFile, 1.5);
    EXPECT_DOUBLE_EQ(r.rating.EndOfFile, 0.0);
    EXPECT_EQ(r.rating.TagsMinimalRating, -5);
    EXPECT_DOUBLE_EQ(r.rating.CountWeight, 0.16);
    EXPECT_DOUBLE_EQ(r.rating.XXXRating, 0.12);
    EXPECT_EQ(r.rating.DescLength, 0);
}

TEST(ReadSetFile, SwitchesOnOnlyForTheIntegerOne) {
    struct Case {
        const char* value;
        bool on;
    };
    for (const Case c : {Case{"1", true}, Case{"01", true}, Case{"1abc", true}, Case{"true", false},
                         Case{"2", false}, Case{"0", false}, Case{" 1", true}}) {
        test::ScopedProjectSettings settings;
        UTF8Mode = !c.on;
        ReadSet(Settings(std::string("<UTF8Mode value=\"") + c.value +
                         "\"/>"
                         "<ProgrammingLanguageMode value=\"" +
                         c.value +
                         "\"/>"
                         "<FileNameCaptionMode value=\"" +
                         c.value + "\"/>"));
        EXPECT_EQ(UTF8Mode, c.on) << c.value;
        EXPECT_EQ(ProgrammingLanguageMode, c.on) << c.value;
        EXPECT_EQ(FileNameCaptionMode, c.on) << c.value;
    }
}

TEST(ReadSetFile, TextsDepthLimitRepeatsAndUnknownKeys) {
    test::ScopedProjectSettings settings;
    const SetResult r =
        ReadSet(Settings("<KeysCount value=\"3\"/><Unknown value=\"9\"/><KeysCount value=\"7\"/>"
                         "<JSPageTitleSign value=\"var  title&amp;=\"/>"
                         "<JSPageDescSign value=\"it's\"/>"
                         "<Extensions value=\"doc\"/>"
                         "<IndexDepthLimit value=\"64\"/>"
                         "<StopDirs value=\"images, cgi-bin; old_site\"/>"
                         "<keyscount value=\"99\"/>"     // key names match case and all
                         "<DescOffset Value=\"5\"/>"));  // as does the attribute name
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.rating.KeysCount, 7);
    EXPECT_EQ(JSPageTitleSign, "var  title&=");
    EXPECT_EQ(JSPageDescSign, "its");
    EXPECT_EQ(IndexDepthLimit, 65536);
    EXPECT_EQ(StopDirs, "images, cgi-bin; old_site");
    EXPECT_EQ(r.rating.DescOffset, 0);
    EXPECT_EQ(Extensions,
              (std::vector<std::string>{"html", "htm", "shtml", "phtml", "php", "php3", "php4",
                                        "php5", "asp", "jsp", "txt", "mp3", "ogg", "m3u"}));
}

TEST(ReadSetFile, DepthLimitsBeyond32BitsAreHeld) {
    test::ScopedProjectSettings settings;
    ReadSet(Settings("<IndexDepthLimit value=\"3000000\"/>"));
    EXPECT_EQ(IndexDepthLimit, INT32_MAX);
    ReadSet(Settings("<IndexDepthLimit value=\"-3000000\"/>"));
    EXPECT_EQ(IndexDepthLimit, INT32_MIN);
    ReadSet(Settings("<IndexDepthLimit value=\"-1\"/>"));
    EXPECT_EQ(IndexDepthLimit, -1024);
}

TEST(ReadSetFile, RootElementAndEndsOfFile) {
    struct Case {
        const char* text;
        bool complete;
        std::int32_t keysCount;
    };
    const Case cases[] = {
        {"<KeysCount value=\"5\"/>", false, 0},                    // no root element
        {"<SETTINGS><KeysCount value=\"5\"/>", true, 5},           // root name in any case
        {"<settings><KeysCount value=\"5\"", true, 5},             // ends after the value
        {"<settings><KeysCount value=\"5", false, 0},              // inside the value
        {"<settings><KeysCount value=", false, 0},                 // before the value
        {"<settings><KeysCount", false, 0},                        // after the key
        {"<settings><KeysCount value=\"5\"/><", true, 5},          // after a "<"
        {"<settings><KeysCount>5</KeysCount>", true, 0},           // no attribute
        {"<settings><Foo><KeysCount value=\"5\"/>", true, 5},      // the next key is kept
        {"<!-- <settings> --><KeysCount value=\"5\"/>", true, 5},  // seen inside a comment
    };
    for (const Case& c : cases) {
        test::ScopedProjectSettings settings;
        const SetResult r = ReadSet(c.text);
        EXPECT_EQ(r.complete, c.complete) << c.text;
        EXPECT_EQ(r.rating.KeysCount, c.keysCount) << c.text;
    }
}

TEST(ReadTagsFile, RatingsNamesAndEnds) {
    test::ScopedProjectSettings settings;
    TRating rating;
    FileBuffer buffer = FileBufferFromBytes(
        "<?xml version=\"1.0\"?><tags>\n<title rating=\"300\"/>\n<H1 rating=\"+50%\"/>"
        "<script rating=\"-20\"/><b/><i other=\"5\" rating=\"7\"/><p rating=\"1.5\">"
        "<br><hr rating=\"x12\"/><!-- <em rating=\"9\"/> --></tags>");
    EXPECT_TRUE(ReadTagsFile(buffer, rating));
    const std::vector<TTagRating> expected = {
        {"title", 300, false}, {"H1", 50, false}, {"script", -20, false},
        {"b", 0, false},       {"i", 0, false},   {"p", 1, false},
        {"br", 0, false},      {"hr", 0, false},  {"em", 9, false},
    };
    EXPECT_EQ(rating.TagTable, expected);

    for (const char* cut : {"<tags><title", "<tags><title rating=\"3", "<tags><title rating="}) {
        TRating partial;
        FileBuffer cutBuffer = FileBufferFromBytes(cut);
        EXPECT_FALSE(ReadTagsFile(cutBuffer, partial)) << cut;
        EXPECT_EQ(partial.TagTable.size(), 1u) << cut;
    }
    TRating noRoot;
    FileBuffer noRootBuffer = FileBufferFromBytes("<title rating=\"300\"/>");
    EXPECT_FALSE(ReadTagsFile(noRootBuffer, noRoot));
    EXPECT_TRUE(noRoot.TagTable.empty());
}

TEST(ReadWordsFile, GroupsRatingsAndContent) {
    test::ScopedProjectSettings settings;
    TRating rating;
    FileBuffer buffer = FileBufferFromBytes(
        "<words>\n<group rating=\"-100\">the a\n an</group>\n"
        "<group>no rating 42 here</group>\n"
        "<group rating=\"7\"/>\n"
        "<group lang=\"en\" rating=\"5\">x y</group>\n"
        "<GROUP rating=\"3\">caf&eacute; <b>bold</b></GROUP></words>");
    EXPECT_TRUE(ReadWordsFile(buffer, rating));
    const std::vector<TWordsRating> expected = {
        {" the a an ", -100}, {" no rating here ", 0}, {" ", 7},
        {" x y ", 0},         {" caf\xE9 b ", 3},  // a "<" does not end the words
    };
    EXPECT_EQ(rating.WordGroups, expected);
}

TEST(ReadWordsFile, Utf8ModeConvertsFromTheSystemCodePage) {
    test::ScopedProjectSettings settings;
    UTF8Mode = true;
    TRating rating;
    FileBuffer buffer = FileBufferFromBytes("<words><group rating=\"1\">f&uuml;r</group></words>");
    EXPECT_TRUE(ReadWordsFile(buffer, rating));
    ASSERT_EQ(rating.WordGroups.size(), 1u);
    EXPECT_EQ(rating.WordGroups[0].Words, " f\xC3\xBCr ");
}

TEST(ReadWordsFile, EndsOfFile) {
    struct Case {
        const char* text;
        bool complete;
        std::size_t groups;
    };
    const Case cases[] = {
        {"<group rating=\"1\">a</group>", false, 0},
        {"<words>", true, 0},
        {"<words><group", false, 1},
        {"<words><group rating=\"1", false, 1},
        {"<words><group rating=\"1\"", false, 1},
        {"<words><group rating=\"1\">a b", true, 1},
    };
    for (const Case& c : cases) {
        test::ScopedProjectSettings settings;
        TRating rating;
        FileBuffer buffer = FileBufferFromBytes(c.text);
        EXPECT_EQ(ReadWordsFile(buffer, rating), c.complete) << c.text;
        EXPECT_EQ(rating.WordGroups.size(), c.groups) << c.text;
    }
}

// Lays out a program folder and a project folder with the given files.
class SettingsFolders : public ::testing::Test {
protected:
    void SetUp() override { SetProgramDirOverride(program_.dir()); }
    void TearDown() override { SetProgramDirOverride(""); }

    bool Load(TRating& rating) {
        const std::string folder = project_.dir();
        return LoadRatingSettings(rating, RatingFilePath(folder, "tags.xml"),
                                  RatingFilePath(folder, "words.xml"),
                                  RatingFilePath(folder, "set.xml"));
    }

    test::ScopedProjectSettings settings_;
    test::TempFolder program_;
    test::TempFolder project_;
};

TEST_F(SettingsFolders, EachFileIsLookedUpOnItsOwn) {
    program_.Write("set.xml", "<settings><KeysCount value=\"4\"/></settings>");
    program_.Write("tags.xml", "<tags><title rating=\"1\"/></tags>");
    program_.Write("words.xml", "<words><group rating=\"2\">w</group></words>");
    project_.Write("tags.xml", "<tags><h1 rating=\"9\"/></tags>");
    EXPECT_EQ(RatingFilePath(project_.dir(), "tags.xml"), project_.dir() + "tags.xml");
    EXPECT_EQ(RatingFilePath(project_.dir(), "set.xml"), program_.dir() + "set.xml");

    TRating rating;
    EXPECT_TRUE(Load(rating));
    EXPECT_EQ(rating.KeysCount, 4);
    EXPECT_EQ(rating.TagTable, (std::vector<TTagRating>{{"h1", 9, false}}));
    EXPECT_EQ(rating.WordGroups, (std::vector<TWordsRating>{{" w ", 2}}));
    EXPECT_EQ(rating.DescOffset, 35);
    EXPECT_EQ(rating.DescLength, 300);
}

TEST_F(SettingsFolders, NoSetFileMeansNothingElseIsRead) {
    project_.Write("tags.xml", "<tags><h1 rating=\"9\"/></tags>");
    project_.Write("words.xml", "<words><group rating=\"2\">w</group></words>");
    StopDirs = "kept";
    TRating rating;
    EXPECT_FALSE(Load(rating));
    EXPECT_TRUE(rating.TagTable.empty());
    EXPECT_TRUE(rating.WordGroups.empty());
    EXPECT_EQ(rating.KeysCount, 0);
    EXPECT_TRUE(StopDirList.empty());  // the lists are not rebuilt
}

TEST_F(SettingsFolders, ListsAreRebuiltAfterAFullReading) {
    project_.Write("set.xml",
                   "<settings><StopDirs value=\"images, cgi-bin; old_site\"/></settings>");
    project_.Write("tags.xml", "<tags></tags>");
    project_.Write("words.xml", "<words></words>");
    TRating rating;
    EXPECT_TRUE(Load(rating));
    EXPECT_EQ(StopDirList, (std::vector<std::string>{"images", "cgi-bin", "old_site"}));

    project_.Write("words.xml", "no root");
    StopDirs.clear();
    EXPECT_FALSE(Load(rating));
    EXPECT_EQ(StopDirList.size(), 3u);  // kept from before
}

TEST_F(SettingsFolders, AbsentKeysKeepTheEarlierProjectsSwitches) {
    project_.Write("set.xml", "<settings><UTF8Mode value=\"1\"/></settings>");
    EXPECT_FALSE(LoadProjectSettings(project_.dir() + "searchdb.js"));  // no tags.xml anywhere
    EXPECT_TRUE(UTF8Mode);
    test::TempFolder second;
    second.Write("set.xml", "<settings><KeysCount value=\"1\"/></settings>");
    LoadProjectSettings(second.dir() + "searchdb.js");
    EXPECT_TRUE(UTF8Mode);
}

TEST(ShippedSettings, LoadCompletelyWithSensibleValues) {
    test::ScopedProjectSettings settings;
    const std::string data = test::SourceDir() + "data/";
    TRating rating;
    ASSERT_TRUE(
        LoadRatingSettings(rating, data + "tags.xml", data + "words.xml", data + "set.xml"));
    EXPECT_TRUE(UTF8Mode);
    EXPECT_GE(rating.KeysCount, 40);
    EXPECT_LE(rating.KeysCount, 80);
    EXPECT_GE(IndexDepthLimit, 512 * 1024);
    const RatingLookup& lookup = EnsureLookup(rating);
    for (const char* hidden : {"script", "style", "noscript", "template"}) {
        const auto r = lookup.TagRating(hidden);
        ASSERT_TRUE(r.has_value()) << hidden;
        EXPECT_LT(*r, rating.TagsMinimalRating) << hidden;
    }
    EXPECT_GT(*lookup.TagRating("title"), *lookup.TagRating("h1"));
    EXPECT_GT(*lookup.TagRating("h1"), *lookup.TagRating("h2"));
    for (const char* stop : {"the", "and", "which", "und", "f\xC3\xBCr", "\xC3\xA9t\xC3\xA9", "les",
                             "tambi\xC3\xA9n", "porque", "navigation", "synopsis", "s", "t"}) {
        EXPECT_TRUE(lookup.IsStopWord(stop, rating.StopWordsMinimalRating)) << stop;
    }
    for (const char* keep : {"son", "war", "man", "font", "sea", "c", "r", "re", "search", "next", "index"})
        EXPECT_FALSE(lookup.IsStopWord(keep, rating.StopWordsMinimalRating)) << keep;
    std::size_t english = 0;
    for (char c : rating.WordGroups.front().Words)
        english += c == ' ';
    EXPECT_GT(english, 250u);
    for (const TTagRating& tag : rating.TagTable) {
        EXPECT_EQ(tag.Name, AnsiLowerCase(tag.Name)) << "never matches: " << tag.Name;
    }
    EXPECT_NE(std::find(StopDirList.begin(), StopDirList.end(), "cgi-bin"), StopDirList.end());
}

}  // namespace
}  // namespace qmp

namespace qmp {
namespace {

// Everything a loading leaves behind, to compare a repeated loading with a
// first one.
struct LoadOutcome {
    bool complete;
    std::vector<TTagRating> tags;
    std::vector<TWordsRating> groups;
    std::int32_t keysCount, descOffset;
    double beginOfFile;
    bool utf8;
    std::int64_t depth;
    std::string stopDirs;
    bool pendingSpace;
    bool operator==(const LoadOutcome&) const = default;
};

LoadOutcome LoadFrom(const test::TempFolder& folder) {
    TRating rating;
    const std::string dir = folder.dir();
    LoadOutcome o{};
    o.complete = LoadRatingSettings(rating, dir + "tags.xml", dir + "words.xml", dir + "set.xml");
    o.tags = rating.TagTable;
    o.groups = rating.WordGroups;
    o.keysCount = rating.KeysCount;
    o.descOffset = rating.DescOffset;
    o.beginOfFile = rating.BeginOfFile;
    o.utf8 = UTF8Mode;
    o.depth = IndexDepthLimit;
    o.stopDirs = StopDirs;
    o.pendingSpace = PendingSpace;
    return o;
}

TEST(LoadRatingSettings, RepeatedLoadingsMatchAFreshReading) {
    test::ScopedProjectSettings settings;
    test::TempFolder folder;
    folder.Write("set.xml",
                 "<settings><KeysCount value=\"9\"/><BeginOfFile value=\"250\"/>"
                 "<IndexDepthLimit value=\"2\"/><StopDirs value=\"a b\"/></settings>");
    folder.Write("tags.xml", "<tags><title rating=\"300\"/></tags>");
    folder.Write("words.xml", "<words><group rating=\"-1\">caf&eacute; x</group></words>word ");

    const LoadOutcome first = LoadFrom(folder);
    EXPECT_TRUE(first.complete);
    EXPECT_FALSE(first.pendingSpace);  // every reading ends at the end of a file
    EXPECT_EQ(first.groups, (std::vector<TWordsRating>{{" caf\xE9 x ", -1}}));
    // The switches are applied again on every loading, and so is the flag.
    ResetProjectSettings();
    PendingSpace = true;
    const LoadOutcome second = LoadFrom(folder);
    EXPECT_EQ(second, first);

    // UTF-8 mode, switched on between two loadings, converts the words anew.
    ResetProjectSettings();
    UTF8Mode = true;
    const LoadOutcome utf8 = LoadFrom(folder);
    EXPECT_EQ(utf8.groups, (std::vector<TWordsRating>{{" caf\xC3\xA9 x ", -1}}));

    // A changed file is read again.
    folder.Write("set.xml", "<settings><KeysCount value=\"4\"/></settings>");
    ResetProjectSettings();
    const LoadOutcome changed = LoadFrom(folder);
    EXPECT_EQ(changed.keysCount, 4);
    EXPECT_EQ(changed.beginOfFile, 0.0);
    EXPECT_EQ(changed.depth, kDefaultIndexDepthLimit);
}

TEST(LoadRatingSettings, RepeatedFailedLoadingsFailAlike) {
    test::ScopedProjectSettings settings;
    test::TempFolder folder;
    folder.Write("set.xml", "<settings><KeysCount value=\"9\"/><UTF8Mode value=\"1");
    folder.Write("tags.xml", "<tags><title rating=\"300\"/></tags>");
    const LoadOutcome first = LoadFrom(folder);
    EXPECT_FALSE(first.complete);
    EXPECT_TRUE(first.tags.empty());
    EXPECT_EQ(first.keysCount, 9);
    ResetProjectSettings();
    EXPECT_EQ(LoadFrom(folder), first);
}

}  // namespace
}  // namespace qmp

namespace qmp {
namespace {

// Every prefix of each shipped file, in a buffer of its own size, is read to
// its end without reading past it; a file cut inside an element is no success.
TEST(ShippedSettings, EveryPrefixReadsCleanly) {
    test::ScopedProjectSettings settings;
    using Reader = bool (*)(FileBuffer&, TRating&);
    const std::pair<const char*, Reader> files[] = {
        {"set.xml", ReadSetFile}, {"tags.xml", ReadTagsFile}, {"words.xml", ReadWordsFile}};
    for (const auto& [name, read] : files) {
        const std::string text = test::ReadFileBytes(test::SourceDir() + "data/" + name);
        ASSERT_FALSE(text.empty()) << name;
        std::size_t complete = 0;
        for (std::size_t n = 0; n <= text.size(); n += (n < 2000 ? 1 : 13)) {
            ResetProjectSettings();
            TRating rating;
            FileBuffer buffer = FileBufferFromBytes(std::string_view(text).substr(0, n));
            complete += read(buffer, rating) ? 1 : 0;
        }
        EXPECT_GT(complete, 0u) << name;
    }
}

}  // namespace
}  // namespace qmp
