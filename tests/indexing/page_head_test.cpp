#include "indexing/page_head.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "decoding/database_text.h"
#include "indexing/keyword_rating.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/project_settings.h"
#include "tests/indexing/tokenizer_support.h"

namespace qmp {
namespace {

struct MetaCase {
    const char* name;
    std::string_view page;
    std::string_view description;
    std::string_view charset;
};

// The meta rules, case by case; each expectation follows from reading the
// page's tokens by hand.
const MetaCase kMetaCases[] = {
    {"two descriptions, the second wins",
     R"(<meta name="description" content="one"><meta name="description" content="two">)", "two",
     ""},
    {"content before name", R"(<meta content="reversed" name="description">)", "reversed", ""},
    {"value in any case", R"(<META Name=x name="Description" content="caps">)", "caps", ""},
    {"attribute word in capitals is not seen", R"(<meta NAME="description" content="x">)", "", ""},
    {"keywords meta stops its element",
     R"(<meta name="keywords" content="a, b"><meta name="description" content="d">)", "d", ""},
    {"unquoted content is no value", R"(<meta name=description content=plain>)", "", ""},
    {"a lone single quote ends the content", R"(<meta name="description" content="Rock 'n' roll">)",
     "Rock ", ""},
    {"an apostrophe inside a word is dropped", R"(<meta name="description" content="Don't stop">)",
     "Dont stop", ""},
    {"tag pieces inside the content are dropped",
     R"(<meta name="description" content="a <b c <? d">)", "a b c  d", ""},
    {"a tag end inside the content clears it", R"(<meta name="description" content="a > b">)", "",
     ""},
    {"a content cut short by the end of the file",
     R"(<meta name="description" content="unfinished)", "unfinished", ""},
    {"charset attribute, then Content-Type: the last wins",
     R"(<meta charset="utf-8"><meta http-equiv="Content-Type" content="text/html; charset=windows-1251">)",
     "", "windows-1251"},
    {"Content-Type, then charset attribute: the last wins",
     R"(<meta http-equiv="Content-Type" content="text/html; charset=windows-1251"><meta charset="UTF-8">)",
     "", "utf-8"},
    {"Content-Type without a charset",
     R"(<meta charset="koi8-r"><meta http-equiv="content-type" content="text/html">)", "",
     "koi8-r"},
    {"charset-only meta reads on into the body",
     R"(<meta charset="utf-8"></head><body>The charset koi8-r is old.</body>)", "", "koi8-r"},
    {"the word name between stops that reading",
     R"(<meta charset="utf-8"></head><body>Our name is charset koi8-r.</body>)", "", "utf-8"},
    {"a description found past the element's end",
     R"(<meta charset="utf-8"><p>name="description" content="in the body"</p>)", "in the body",
     "utf-8"},
    {"a late meta element in the body",
     R"(<body><p>text text</p><p>more</p><meta name="description" content="late"></body>)", "late",
     ""},
    {"a less-than sign before the element hides it",
     R"(<<meta name="description" content="hidden">)", "", ""},
    {"an apostrophe inside the element name", R"(<me'ta name="description" content="apos">)",
     "apos", ""},
    {"a numeric reference to a letter is a question mark outside UTF-8 mode",
     R"(<&#109;eta name="description" content="ref">)", "", ""},
    {"a longer element name", R"(<metadata name="description" content="no">)", "", ""},
    {"no meta at all", "<html><head><title>x</title></head><body>main</body></html>", "", ""},
};

TEST(PageHead, MetaRules) {
    ResetProjectSettings();
    for (const MetaCase& c : kMetaCases) {
        FileBuffer buffer = FileBufferFromBytes(c.page);
        const MetaFields fields = ReadMetaFields(buffer);
        EXPECT_EQ(fields.description, c.description) << c.name;
        EXPECT_EQ(fields.charset, c.charset) << c.name;
        EXPECT_FALSE(PendingSpace) << c.name;
    }
}

TEST(PageHead, ReferenceInsideTheElementNameInUtf8Mode) {
    ResetProjectSettings();
    ScopedUtf8Mode utf8(true);
    FileBuffer buffer = FileBufferFromBytes(R"(<&#109;eta name="description" content="ref">)");
    EXPECT_EQ(ReadMetaFields(buffer).description, "ref");
}

TEST(PageHead, Title) {
    ResetProjectSettings();
    const struct {
        std::string_view page;
        std::string_view title;
    } cases[] = {
        {"<html><head><title>Don't panic</title>", "Dont panic"},
        {"<title> A\t B </title>", " A  B "},
        {"<TITLE>Fish &amp; chips</TITLE>", "Fish & chips"},
        {"<title>A<b>B</b></title>", "A"},
        {"<title>3rd of 12.5 km</title>", "3rd of 12.5 km"},
        {"<title>Unfinished", "Unfinished"},
        {"<title", ""},
        {"<p>No title here</p>", ""},
        {"<title>First</title><title>Second</title>", "First"},
    };
    for (const auto& c : cases) {
        FileBuffer buffer = FileBufferFromBytes(c.page);
        EXPECT_EQ(ReadPageTitle(buffer), c.title) << c.page;
    }
}

// The elements are found however many tags and look-alikes come first and
// wherever they then stand, written in either case.
TEST(PageHead, ElementsFoundAfterAnyRunOfOtherTags) {
    test::ScopedProjectSettings settings;
    const std::string noise = "<p><a href='x'>m</a><M><t><main><&<tit <me>";
    const struct {
        std::string element;
        std::string description;
        std::string title;
    } elements[] = {
        {"<meta name=\"description\" content=\"d\"><title>t</title>", "d", "t"},
        {"<TITLE>t</TITLE><META name=\"description\" content=\"d\">", "d", "t"},
        {"<p>none</p>", "", ""},
    };
    for (const auto& e : elements) {
        for (std::size_t length = 0; length <= 3 * noise.size(); ++length) {
            std::string before;
            while (before.size() < length)
                before += noise;
            const std::string page = before.substr(0, length) + " " + e.element;
            FileBuffer buffer = FileBufferFromBytes(page);
            EXPECT_EQ(ReadMetaFields(buffer).description, e.description) << page;
            EXPECT_EQ(ReadPageTitle(buffer), e.title) << page;
        }
    }
}

// Both marks end where a search for each alone from the start ends, wherever
// they stand among other quotes and whatever their letter case, near the end
// of the page too.
TEST(PageHead, QuotedMarksEndWhereAPlainSearchEnds) {
    test::ScopedProjectSettings settings;  // code page 1252
    const std::array marks{kKeywordsMark, kCategoryMark};
    const std::vector<std::string> fillers = {
        "", "x", "\"k\" \"q\"", "\"keyword\" \"Quarry\"", "\"\"\"", std::string(29, 'a') + "\"KEY"};
    const std::vector<std::string> written = {
        "\"keywords\"",           "\"KeyWords\"", "\"quarrymap-category\"", "\"QUARRYMAP-Category\"",
        "\"keywords",             "\"quarrymap-categor\"", ""};
    for (const std::string& filler : fillers) {
        for (const std::string& first : written) {
            for (const std::string& second : written) {
                for (std::size_t padding : {0, 1, 16, 40}) {
                    const std::string page =
                        filler + first + filler + second + std::string(padding, '"');
                    FileBuffer buffer = FileBufferFromBytes(page);
                    const auto ends = FindQuotedMarks(buffer, marks);
                    for (std::size_t m = 0; m < marks.size(); ++m) {
                        std::int64_t position = 0;
                        const std::int64_t expected =
                            FindText(buffer, marks[m], position) ? position : -1;
                        EXPECT_EQ(ends[m], expected) << page << " " << marks[m];
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace qmp
