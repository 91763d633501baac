#include "indexing/keyword_rating.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "tests/indexing/tokenizer_support.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

// A rating whose terms can be told apart: each case class has its own
// weight, positions do not count unless a test sets Begin/EndOfFile.
TRating MakeRating() {
    TRating r;
    r.TagTable = {{"title", 300, false},   {"h1", 200, false},     {"b", 50, false},
                  {"script", -100, false}, {"style", -100, false}, {"SPAN", 70, false}};
    r.WordGroups = {{" the a an ", -100}, {" song whale ", 200}};
    r.TagsMinimalRating = 0;
    r.StopWordsMinimalRating = 0;
    r.KeysCount = 100;
    r.WordPositionWeight = 1.0;
    r.WordCaseWeight = 1.0;
    r.DigitRating = 0.01;
    r.CodeRating = 0.02;
    r.XXXRating = 0.03;
    r.YyyRating = 0.04;
    r.zzzRating = 0.05;
    r.TagWeight = 1.0;
    r.KeywordRating = 2.0;
    r.CountWeight = 0.25;
    r.FileNameWeight = 10.0;
    r.ExistingWeight = 1.0;
    r.DescOffset = 1;
    r.DescLength = 1000;
    return r;
}

struct Rated {
    std::string excerpt;
    std::vector<TWordRecord> words;

    const TWordRecord* Find(std::string_view word) const {
        for (const TWordRecord& w : words)
            if (w.Word == word) return &w;
        return nullptr;
    }
    std::vector<std::string> Order() const {
        std::vector<std::string> order;
        for (const TWordRecord& w : words)
            order.push_back(w.Word);
        return order;
    }
};

Rated Rate(TRating& rating, std::string_view page, std::string_view namePath = "") {
    FileBuffer buffer = FileBufferFromBytes(page);
    Rated result;
    EXPECT_TRUE(RateBuffer(rating, buffer, namePath, result.excerpt, ""));
    result.words = rating.WordList;
    return result;
}

class KeywordRating : public ::testing::Test {
protected:
    test::ScopedProjectSettings settings_;
    TRating rating_ = MakeRating();
};

TEST_F(KeywordRating, CaseClasses) {
    struct Case {
        const char* word;
        double caseClass;
    };
    const Case cases[] = {
        {"Hello", 0.04},     {"hello", 0.05},     {"HELLO", 0.03},  {"mp3", 0.02},
        {"3d", 0.01},        {"2024", 0.01},      {"e-mail", 0.04}, {"E-MAIL", 0.03},
        {"\xE9t\xE9", 0.05}, {"\xC9T\xC9", 0.03},  // windows-1252 capitals
    };
    rating_.FileSize = 100;
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(WordWeight(rating_, c.word, 0), 1.0 + c.caseClass) << c.word;
}

TEST_F(KeywordRating, Utf8WordsAreJudgedByTheirCharacters) {
    ScopedUtf8Mode mode(true);
    rating_.FileSize = 100;
    EXPECT_DOUBLE_EQ(WordWeight(rating_, "\xC3\xA9t\xC3\xA9", 0), 1.05);  // été
    EXPECT_DOUBLE_EQ(WordWeight(rating_, "\xC3\x89T\xC3\x89", 0), 1.03);  // ÉTÉ
    EXPECT_DOUBLE_EQ(WordWeight(rating_, "\xC3\x89t\xC3\xA9", 0), 1.04);  // Été
}

TEST_F(KeywordRating, WeightFormulaInExtendedPrecision) {
    rating_.BeginOfFile = 1.5;
    rating_.EndOfFile = 0.25;
    rating_.WordPositionWeight = 2.0;
    rating_.WordCaseWeight = 0.5;
    rating_.TagWeight = 0.7;
    rating_.FileSize = 3000;
    rating_.TagStack = {{"h1", 200, false}, {"x", 0, false}, {"b", 33, false}};
    long double d = 1.5L - 0.25L;
    d = d * 1234.0L;
    d = d / 3000.0L;
    long double expected = (1.0L - d) * 2.0L;
    expected = expected + 0.5L * static_cast<long double>(0.05);
    long double sum = 0.0L;
    for (int r : {200, 0, 33})
        sum = sum + static_cast<long double>(r) / 100.0L;
    expected = expected + static_cast<long double>(0.7) * sum;
    EXPECT_EQ(WordWeight(rating_, "word", 1234), static_cast<double>(expected));

    rating_.FileSize = 0;  // no positions in an empty file
    EXPECT_DOUBLE_EQ(WordWeight(rating_, "word", 7), 0.5 * 0.05 + 0.7 * 2.33);
}

TEST_F(KeywordRating, PositionsCountTokenTextsAndCommentOpenersTwice) {
    rating_.BeginOfFile = 1.0;  // weight falls with the position: 1 - position / size
    const std::string page = "<!-- c -->word <b>x</b>";
    const Rated r = Rate(rating_, page);
    const TWordRecord* word = r.Find("word");
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->Position, 17);  // 10 bytes, the opener's 3 once more, and the word
    EXPECT_DOUBLE_EQ(word->Weight, (1.0 - 17.0 / page.size()) + 0.05);
    EXPECT_EQ(r.Find("x")->Position, 22);
}

TEST_F(KeywordRating, RepeatedWordsKeepFirstPositionAndBestWeight) {
    const Rated r = Rate(rating_, "Cat cat <h1>CAT</h1> cat");
    const TWordRecord* cat = r.Find("cat");
    ASSERT_NE(cat, nullptr);
    EXPECT_EQ(cat->Count, 4);
    EXPECT_EQ(cat->Position, 3);
    EXPECT_DOUBLE_EQ(cat->Weight, 1.0 + 0.03 + 2.0);  // the heading's capitals
    EXPECT_DOUBLE_EQ(cat->Score, 4 * 0.25 + cat->Weight);
}

TEST_F(KeywordRating, TagsHideTheirTextFromRatingButNotFromTheExcerpt) {
    const Rated r = Rate(rating_, "one <script>var hidden;</script> two <SPAN>three</SPAN>");
    EXPECT_EQ(r.Find("var"), nullptr);
    EXPECT_EQ(r.Find("hidden"), nullptr);
    ASSERT_NE(r.Find("two"), nullptr);
    EXPECT_EQ(r.excerpt, " one var hidden; two three");
    // Tag names are lower-cased before the exact lookup, so SPAN rates 0.
    EXPECT_DOUBLE_EQ(r.Find("three")->Weight, 1.05);
}

TEST_F(KeywordRating, UnmatchedClosingTagEmptiesTheStack) {
    const Rated r = Rate(rating_, "<title><h1>alpha</x>beta</h1></title>");
    EXPECT_DOUBLE_EQ(r.Find("alpha")->Weight, 1.05 + 3.0 + 2.0);
    EXPECT_DOUBLE_EQ(r.Find("beta")->Weight, 1.05);
}

TEST_F(KeywordRating, ClosingTagsCutTheStackAtTheirMatch) {
    const Rated r = Rate(rating_, "<h1><b><i>alpha</b>beta</h1>gamma<br/>delta");
    EXPECT_DOUBLE_EQ(r.Find("alpha")->Weight, 1.05 + 2.0 + 0.5);
    EXPECT_DOUBLE_EQ(r.Find("beta")->Weight, 1.05 + 2.0);
    EXPECT_DOUBLE_EQ(r.Find("gamma")->Weight, 1.05);
    EXPECT_DOUBLE_EQ(r.Find("delta")->Weight, 1.05);
}

// A stray closing tag inside hidden text, a hidden tag closed out of order,
// or nested hidden tags must not hide the rest of the page for good.
TEST_F(KeywordRating, HiddenTextEndsWithTheLastHidingTag) {
    struct Case {
        const char* page;
        std::vector<std::string> rated;
    };
    const Case cases[] = {
        {"<script>s1 '</span>' s2</script> after", {"after", "s2"}},
        {"<p><script>s1</p> after", {"after"}},
        {"<script><style>s1</style>s2</script> after", {"after"}},
        {"<script>s1<style/>s2</script> after", {"after"}},
        {"<script>s1 <b>s2</b> s3", {}},
    };
    for (const Case& c : cases) {
        TRating rating = MakeRating();
        EXPECT_EQ(Rate(rating, c.page).Order(), c.rated) << c.page;
    }
}

TEST_F(KeywordRating, FileNameWordsCountEvenAfterHiddenText) {
    const Rated r = Rate(rating_, "<script>never closed", "/site/Blue-whale_song.mp3");
    EXPECT_EQ(r.Order(), (std::vector<std::string>{"whale", "song", "blue", "mp3"}));
    EXPECT_DOUBLE_EQ(r.Find("blue")->Score, 0.25 + 10.0);
    EXPECT_DOUBLE_EQ(r.Find("whale")->Score, 0.25 + 10.0 + 2.0);  // favoured group
    EXPECT_EQ(r.Find("blue")->Position, -1);
    EXPECT_EQ(r.Find("blue")->Weight, -1.0);
}

TEST_F(KeywordRating, UnreadableFileRatesOnlyItsName) {
    std::string excerpt = "old";
    EXPECT_TRUE(
        RateFile(rating_, "/nonexistent/page one.html", "/nonexistent/page one.html", excerpt, ""));
    EXPECT_EQ(excerpt, "");
    std::vector<std::string> words;
    for (const TWordRecord& w : rating_.WordList)
        words.push_back(w.Word);
    EXPECT_EQ(words, (std::vector<std::string>{"page", "one", "html"}));
}

TEST_F(KeywordRating, KeywordsMetaAndStopWords) {
    const std::string page =
        "<meta name=\"Keywords\" content=\" The, Dogs ,,*star, &x,cats\n\"> cats";
    const Rated r = Rate(rating_, page);
    EXPECT_EQ(r.Find("the"), nullptr);  // a stop word even from the meta
    EXPECT_EQ(r.Find("star"), nullptr);
    EXPECT_EQ(r.Find("&x"), nullptr);
    const TWordRecord* dogs = r.Find("dogs");
    ASSERT_NE(dogs, nullptr);
    EXPECT_EQ(dogs->Position, 0);
    EXPECT_DOUBLE_EQ(dogs->Weight, (1.0 + 0.04) * 2.0);
    // cats was in the text first; KeywordRating 2 beats its weight 1.05.
    const TWordRecord* cats = r.Find("cats");
    EXPECT_EQ(cats->Count, 2);
    EXPECT_DOUBLE_EQ(cats->Weight, (1.0 + 0.05) * 2.0);
    // Every token's text here is as long as its bytes: the text's cats ends the page.
    EXPECT_EQ(cats->Position, static_cast<std::int64_t>(page.size()));
}

TEST_F(KeywordRating, KeywordReplacesTheWeightOnlyWhenItsFactorIsGreater) {
    rating_.KeywordRating = 0.5;
    const Rated r = Rate(rating_, "<title>cats</title><meta name=\"keywords\" content=\"cats\">");
    EXPECT_DOUBLE_EQ(r.Find("cats")->Weight, 1.05 + 3.0);
    EXPECT_EQ(r.Find("cats")->Count, 2);
}

TEST_F(KeywordRating, NumbersLoseATrailingMark) {
    const Rated r = Rate(rating_, "in 2024. 10:30 1,000.");
    EXPECT_NE(r.Find("2024"), nullptr);
    EXPECT_NE(r.Find("10:30"), nullptr);
    EXPECT_NE(r.Find("1,000"), nullptr);
    EXPECT_EQ(r.excerpt, " in 2024. 10:30 1,000.");
}

TEST_F(KeywordRating, MarkupDebrisIsNoKeyword) {
    const Rated r = Rate(rating_, "&foo; &copy;right &trade;mark plain &lt;tag");
    EXPECT_EQ(r.Order(), (std::vector<std::string>{"plain"}));
}

TEST_F(KeywordRating, ExcerptStartsAtDescOffset) {
    struct Case {
        std::int32_t offset;
        const char* excerpt;
    };
    const Case cases[] = {
        {0, " 1-- one, two three!"},
        {1, " one, two three!"},
        {2, " two three!"},
        {3, " three!"},
        {4, ""},
    };
    for (const Case& c : cases) {
        TRating rating = MakeRating();
        rating.DescOffset = c.offset;
        EXPECT_EQ(Rate(rating, "1 -- one, two three!").excerpt, c.excerpt) << c.offset;
    }
}

TEST_F(KeywordRating, ExcerptGrowsPastItsLengthByOneToken) {
    rating_.DescLength = 3;
    EXPECT_EQ(Rate(rating_, "alpha beta gamma").excerpt, " alpha");
    rating_.DescLength = 7;
    EXPECT_EQ(Rate(rating_, "alpha beta gamma").excerpt, " alpha beta");
    rating_.DescLength = 0;
    EXPECT_EQ(Rate(rating_, "alpha beta").excerpt, "");
}

TEST_F(KeywordRating, ExcerptRunsOfSpacesAreShortened) {
    // Words made of unknown entities end with a space of their own.
    EXPECT_EQ(Rate(rating_, "&aa; &bb; x").excerpt, " &aa &bb x");
    // A bare ampersand gives "& " and one more space: three spaces become two.
    EXPECT_EQ(Rate(rating_, "a&  x").excerpt, " a&  x");
    EXPECT_EQ(Rate(rating_, "a&  &   x").excerpt, " a&  &  x");
    std::string many = "a";
    for (int i = 0; i < 5; ++i)
        many += " &q;";
    // Each unknown entity gives "&q " after a space: two spaces between them.
    EXPECT_EQ(Rate(rating_, many).excerpt, " a &q &q &q &q &q ");
}

TEST_F(KeywordRating, ByteOrderMarkIsNoText) {
    for (bool utf8 : {false, true}) {
        ScopedUtf8Mode mode(utf8);
        const Rated r = Rate(rating_, "\xEF\xBB\xBFHello <b>x</b>");
        EXPECT_EQ(r.Order(), (std::vector<std::string>{"x", "hello"})) << utf8;
        EXPECT_EQ(r.Find("hello")->Position, 5);
    }
}

TEST_F(KeywordRating, DepthLimitStopsTheRating) {
    IndexDepthLimit = 10;
    const Rated r = Rate(rating_, "alpha beta gamma delta");
    EXPECT_EQ(r.Order(), (std::vector<std::string>{"alpha", "beta"}));
}

TEST_F(KeywordRating, KeysCountCutsTheList) {
    rating_.KeysCount = 3;
    EXPECT_EQ(Rate(rating_, "e e e e d d d c c b a1").Order(),
              (std::vector<std::string>{"e", "d", "c"}));
    rating_.KeysCount = 0;
    EXPECT_TRUE(Rate(rating_, "e d").words.empty());
    rating_.KeysCount = -4;
    EXPECT_TRUE(Rate(rating_, "e d").words.empty());
}

TEST_F(KeywordRating, CommentMarkersLeaveOutARegion) {
    const std::string page =
        "one <!-- QMPNoIndex --> <h1>two <!-- other --> three <!-- qmpindex rest --> four "
        "<!-- qmpindex --> five <!--qmpnoindex--> six";
    const Rated r = Rate(rating_, page, "/site/seven.html");
    // The file-name words, added last, are swapped to the front: equal
    // scores change their order.
    EXPECT_EQ(r.Order(), (std::vector<std::string>{"seven", "html", "five", "one", "four"}));
    EXPECT_EQ(r.excerpt, " one four five");
    // The left-out tokens still advance the position, and no heading is open.
    EXPECT_EQ(r.Find("four")->Position, static_cast<std::int64_t>(page.find("four") + 4 + 3 * 3));
    EXPECT_DOUBLE_EQ(r.Find("four")->Weight, 1.05);
}

TEST_F(KeywordRating, KeywordsMetaCountsInsideALeftOutRegion) {
    const Rated r = Rate(rating_, "<!-- qmpnoindex --><meta name=\"keywords\" content=\"dogs\">");
    EXPECT_EQ(r.Order(), (std::vector<std::string>{"dogs"}));
}

TEST_F(KeywordRating, SortKeepsTheSelectionSortsTieOrder) {
    rating_.WordList = {{"p", 1, 0, 0, 1.0}, {"q", 1, 0, 0, 1.0}, {"r", 1, 0, 0, 3.0}};
    SortWords(rating_);
    std::vector<std::string> order;
    for (const TWordRecord& w : rating_.WordList)
        order.push_back(w.Word);
    EXPECT_EQ(order, (std::vector<std::string>{"r", "q", "p"}));
}

TEST_F(KeywordRating, SortMatchesASelectionSortOnManyTies) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<TWordRecord> list;
        const int n = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < n; ++i)
            list.push_back({std::to_string(i), 1, 0, 0, static_cast<double>(random() % 5)});
        std::vector<TWordRecord> expected = list;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            std::size_t best = i;
            for (std::size_t j = i + 1; j < expected.size(); ++j)
                if (expected[j].Score > expected[best].Score) best = j;
            std::swap(expected[i], expected[best]);
        }
        rating_.WordList = list;
        SortWords(rating_);
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(rating_.WordList[i].Word, expected[i].Word) << round << ' ' << i;
    }
}

TEST_F(KeywordRating, ScoresAddCountWeightAndGroup) {
    rating_.WordList = {{"song", 3, 5, 1.5, 0.0}, {"x", 2, -1, -1.0, 0.0}, {"y", 1, 0, 2.0, 0.5}};
    rating_.WordGroups.push_back({" song ", 50});  // the last matching group wins
    ScoreWords(rating_);
    EXPECT_DOUBLE_EQ(rating_.WordList[0].Score, 3 * 0.25 + 1.5 + 0.5);
    EXPECT_DOUBLE_EQ(rating_.WordList[1].Score, 2 * 0.25 + 10.0);
    EXPECT_DOUBLE_EQ(rating_.WordList[2].Score, 0.25 + 0.5 + 2.0);
}

TEST_F(KeywordRating, Utf8GroupsMatchAccentedWords) {
    ScopedUtf8Mode mode(true);
    rating_.WordGroups = {{" caf\xC3\xA9 ", 300}, {" f\xC3\xBCr ", -100}};
    FileBuffer buffer = FileBufferFromBytes("Caf\xC3\xA9 f\xC3\xBCr");
    std::string excerpt;
    RateBuffer(rating_, buffer, "", excerpt, "utf-8");
    ASSERT_EQ(rating_.WordList.size(), 1u);
    EXPECT_EQ(rating_.WordList[0].Word, "caf\xC3\xA9");
    EXPECT_DOUBLE_EQ(rating_.WordList[0].Score, 0.25 + 1.04 + 3.0);
}

// A page rates the same whatever was read before it on the thread, a page
// that the depth limit cut right after a word and its blank included.
TEST_F(KeywordRating, APageRatesTheSameWhateverWasReadBefore) {
    rating_.BeginOfFile = 1.5;  // positions count
    rating_.EndOfFile = 0.5;
    IndexDepthLimit = 1024;
    std::string filler;
    while (filler.size() < 1024)
        filler += "a ";
    const std::string page = "Granite quarry <b>slate</b> granite.";
    const auto rate = [&] {
        std::vector<std::tuple<std::string, std::int64_t, std::int64_t, double>> words;
        for (const TWordRecord& w : Rate(rating_, page).words)
            words.emplace_back(w.Word, w.Count, w.Position, w.Weight);
        return words;
    };
    const auto alone = rate();
    ASSERT_FALSE(alone.empty());
    for (const std::string& before :
         {filler + "bb cc", filler + "bb\ncc", filler + "bb", std::string("word "), filler}) {
        Rate(rating_, before);
        EXPECT_EQ(rate(), alone) << before.substr(before.size() - 6);
    }
}

TEST_F(KeywordRating, PushAndPopTagDirectly) {
    PushTag(rating_, "h1");
    PushTag(rating_, "script");
    EXPECT_TRUE(rating_.SkipText);
    AddWord(rating_, "hidden", 1);
    EXPECT_TRUE(rating_.WordList.empty());
    PopTag(rating_, "script");
    EXPECT_FALSE(rating_.SkipText);
    rating_.FileSize = 10;
    AddWord(rating_, "-", 1);
    AddWord(rating_, "Shown", 1);
    ASSERT_EQ(rating_.WordList.size(), 1u);
    EXPECT_EQ(rating_.WordList[0].Word, "shown");
    EXPECT_DOUBLE_EQ(rating_.WordList[0].Weight, 1.04 + 2.0);
    PopTag(rating_, "nothing");
    EXPECT_TRUE(rating_.TagStack.empty());
}

// Every prefix of a realistic page, each in a buffer of its own size, rates
// without reading past it.
TEST_F(KeywordRating, EveryPrefixRatesCleanly) {
    const std::string page = test::ReadTestData("indexing/sample_page.html");
    ASSERT_GT(page.size(), 1000u);
    for (bool utf8 : {false, true}) {
        ScopedUtf8Mode mode(utf8);
        // Every prefix of the head, then about three hundred through the body.
        for (std::size_t n = 0; n <= page.size(); n += (n < 1500 ? 1 : page.size() / 300)) {
            TRating rating = MakeRating();
            rating.KeysCount = 5;
            const Rated r = Rate(rating, page.substr(0, n));
            ASSERT_LE(r.words.size(), 5u);
        }
    }
}

}  // namespace
}  // namespace qmp

namespace qmp {
namespace {

// Documents rated one after another, with the word groups, the stop words'
// rating or the letter rules changed in between: each rates as it would
// alone (forms met in an earlier document are not taken as they counted there).
TEST_F(KeywordRating, EachDocumentRatesUnderItsOwnSettings) {
    const std::string page = "<p>whale songs and the whale singing again and again</p>";
    Rated first = Rate(rating_, page);
    ASSERT_NE(first.Find("whale"), nullptr);
    EXPECT_EQ(first.Find("the"), nullptr);  // a stop word

    rating_.WordGroups = {{" whale ", -100}};  // now a stop word; "the" no longer
    Rated second = Rate(rating_, page);
    EXPECT_EQ(second.Find("whale"), nullptr);
    ASSERT_NE(second.Find("the"), nullptr);
    EXPECT_EQ(second.Find("the")->Count, 1);

    rating_.StopWordsMinimalRating = -200;  // no group is below it
    Rated third = Rate(rating_, page);
    ASSERT_NE(third.Find("whale"), nullptr);
    EXPECT_EQ(third.Find("whale")->Count, 2);

    // 0xDF is a small sharp s in windows-1252 and a capital ya (small: 0xFF) in
    // windows-1251: the same form lower-cases differently.
    const std::string page2 = "<p>ab\xDF words here</p>";
    SetSystemCodePage(kCharsetWindows1252);
    EXPECT_NE(Rate(rating_, page2).Find("ab\xDF"), nullptr);
    SetSystemCodePage(CharsetFromName("windows-1251"));
    Rated cyrillic = Rate(rating_, page2);
    EXPECT_EQ(cyrillic.Find("ab\xDF"), nullptr);
    EXPECT_NE(cyrillic.Find("ab\xFF"), nullptr);
    SetSystemCodePage(kCharsetWindows1252);
    EXPECT_NE(Rate(rating_, page2).Find("ab\xDF"), nullptr);
}

}  // namespace
}  // namespace qmp
