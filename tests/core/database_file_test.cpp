#include "core/database_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/integer_text.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::RecordingHost;

std::string Written(const TCat& categories, const TBase& links) {
    StringSink sink;
    EXPECT_TRUE(WriteCategories(categories, sink));
    EXPECT_TRUE(WriteLinks(links, sink));
    return sink.text;
}

struct Tables {
    TCat categories;
    TBase links;
};

Tables ReadBoth(std::string_view text, RecordingHost* host = nullptr) {
    RecordingHost local;
    Tables tables;
    FileBuffer buffer = FileBufferFromBytes(text);
    ReadCategories(buffer, tables.categories);
    ReadLinks(buffer, tables.links, host ? *host : local);
    return tables;
}

TBaseRecord Link(std::int32_t category, std::string caption, std::string url,
                 std::string description, std::vector<std::string> keywords) {
    return {category, std::move(caption), std::move(url), std::move(description),
            std::move(keywords)};
}

TEST(WriteDatabase, WritesTheArraysLineByLine) {
    TCat categories;
    categories.Add("All");
    categories.Add("News");
    TBase links;
    links.Add(Link(2, "Home", "index.html", "Start page", {"home", "start"}));
    links.Add(Link(-1, "", "", "", {}));
    EXPECT_EQ(Written(categories, links),
              "//v2format\r\n//DatabaseBegin\r\n"
              "var cg=new Array(\r\n'All',\r\n'News'\r\n);\r\n"
              "var ln=new Array(\r\n'2^Home^index.html',\r\n'-1^^'\r\n);\r\n"
              "var ds=new Array(\r\n'Start page',\r\n''\r\n);\r\n"
              "var kw=new Array(\r\n'^home^start^',\r\n'^^'\r\n);\r\n");
}

TEST(WriteDatabase, EmptyTablesReadBackEmpty) {
    const std::string text = Written(TCat(), TBase());
    EXPECT_EQ(text,
              "//v2format\r\n//DatabaseBegin\r\nvar cg=new Array(\r\n''\r\n);\r\n"
              "var ln=new Array(\r\n''\r\n);\r\nvar ds=new Array(\r\n''\r\n);\r\n"
              "var kw=new Array(\r\n'^^'\r\n);\r\n");
    // A table without links is written as one empty entry, and that entry
    // reads as no links (not as one blank link).
    const Tables back = ReadBoth(text);
    EXPECT_EQ(back.categories.Count(), 0);
    EXPECT_EQ(back.links.Count(), 0);
}

TEST(WriteDatabase, StopsAtAFailingWrite) {
    class FailingSink final : public ByteSink {
    public:
        bool Write(std::string_view) override {
            ++calls;
            return false;
        }
        int calls = 0;
    };
    TCat categories;
    categories.Add("A");
    FailingSink sink;
    EXPECT_FALSE(WriteCategories(categories, sink));
    EXPECT_FALSE(WriteLinks(TBase(), sink));
    EXPECT_EQ(sink.calls, 2);
}

TEST(JsEscape, EscapesWhatWouldBreakTheEntryOrTheFile) {
    const struct {
        std::string text;
        std::string escaped;
    } cases[] = {
        {"plain ^ \" text", "plain ^ \" text"},
        {"O'Brien", "O\\'Brien"},
        {"C:\\dir\\", "C:\\\\dir\\\\"},
        {"one\r\ntwo", "one two"},  // a line break cannot stand in a script string
        {"a\nb\rc", "ab c"},
        // Ordinary texts are written as they are...
        {"http://x/y", "http://x/y"},
        {"//Settings", "//Settings"},
        {"f(x) (y) new array", "f(x) (y) new array"},
        // ...but never the end marker or an array opening, in any letter case.
        {"a //DatabaseEnd b", "a /\\/DatabaseEnd b"},
        {"///databaseend", "//\\/databaseend"},
        {"/\n/DatabaseEnd", "/\\/DatabaseEnd"},  // the dropped line feed joins the marker
        {"var ln=new Array(1)", "var ln=new Array\\(1)"},
        {"ARRAY(", "ARRAY\\("},
        {"Arr\r\nay(", "Arr ay("},
        {"Ar\nray(", "Array\\("},
        {"f(x) (y)", "f(x) (y)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsEscape(c.text), c.escaped) << c.text;
}

TEST(ReadDatabase, ReadsAWrittenDatabaseBackUnchanged) {
    TCat categories;
    for (const char* name :
         {"All Categories", "O'Brien \\ notes", "//DatabaseEnd", "var ln=new Array("})
        categories.Add(name);
    TBase links;
    links.Add(Link(0, "It's \"here\"", "a%20b.html", "back\\slash", {"one", "two", "O'k"}));
    links.Add(Link(3, "//Settings", "https://example.org/x^y", "var ds=new Array( //v2format",
                   {"/", "//"}));
    links.Add(Link(70000, "", "", "", {}));
    const Tables back = ReadBoth(Written(categories, links));
    EXPECT_EQ(back.categories.Names(), categories.Names());
    EXPECT_EQ(back.links.Records(), links.Records());
}

TEST(WriteLinks, ALongTableContinuesAsAnArrayLiteralThatReadsBackWhole) {
    TBase links;
    for (int i = 0; i < 25000; ++i) {
        links.Add(Link(i % 3, "c" + std::to_string(i), "p" + std::to_string(i), "d", {"k"}));
    }
    const std::string text = Written(TCat(), links);
    // The constructor call takes the first entries; the rest follow in one literal.
    const std::size_t ln = text.find("var ln=new Array(\r\n");
    const std::size_t cont = text.find("'0^c9999^p9999',\r\n).concat([\r\n'1^c10000^p10000',", ln);
    ASSERT_NE(cont, std::string::npos);
    EXPECT_NE(text.find("'0^c24999^p24999'\r\n]);\r\nvar ds=new Array(", cont), std::string::npos);
    const Tables back = ReadBoth(text);
    EXPECT_EQ(back.links.Records(), links.Records());
}

TEST(ReadDatabase, TextsThatTheFormatCannotHoldComeBackAsThePartReadsThem) {
    TBase links;
    links.Add(Link(1, "Cap^tion", "u^rl", "line\r\nbreak", {"key^word", "lone"}));
    const Tables back = ReadBoth(Written(TCat(), links));
    ASSERT_EQ(back.links.Count(), 1);
    const TBaseRecord& r = back.links.Records()[0];
    EXPECT_EQ(r.Description, "line break");
    EXPECT_EQ(r.Keywords, (std::vector<std::string>{"key", "word", "lone"}));
}

TEST(ReadDatabase, CaretsInCaptionsAndUrls) {
    // Written by the program: the caption's carets are counted after the category.
    for (const std::string& caption :
         std::vector<std::string>{"operator^=", "^", "a^^b^", "^x^", "", std::string(120, '^')}) {
        for (const char* url : {"u.html", "u^v", "^", ""}) {
            TBase links;
            links.Add(Link(-3, caption, url, "d", {"k"}));
            const std::string text = Written(TCat(), links);
            const Tables back = ReadBoth(text);
            ASSERT_EQ(back.links.Count(), 1) << text;
            EXPECT_EQ(back.links.Records()[0], links.Records()[0]) << text;
        }
    }
    // Written by hand: the first two carets separate, unless counted; a count
    // the entry cannot hold reads as if there were none.
    const struct {
        const char* entry;
        TBaseRecord link;
    } cases[] = {
        {"2^Home^a^b.html", Link(2, "Home", "a^b.html", "", {})},
        {"2:1^x^y^z", Link(2, "x^y", "z", "", {})},
        {"2:2^x^y^z", Link(2, "x", "y^z", "", {})},
        {"2:99999999999999999999^x^y", Link(2, "x", "y", "", {})},
        {"2:a^x^y^z", Link(2, "x", "y^z", "", {})},
        {"-1:1^^^", Link(-1, "^", "", "", {})},
    };
    for (const auto& c : cases) {
        const Tables back =
            ReadBoth(std::string("//v2format var ln=new Array('") + c.entry + "');");
        ASSERT_EQ(back.links.Count(), 1) << c.entry;
        EXPECT_EQ(back.links.Records()[0], c.link) << c.entry;
    }
}

TEST(ReadDatabase, ReadsTheOlderPlusFormat) {
    const std::string text =
        "var cg=new Array('All','Books');\n"
        "var ln=new Array('1+Old page+old.html','0+A+b+c.html');\n"
        "var ds=new Array('First');\n"
        "var kw=new Array('+old+page+','+x^y+');\n";
    const Tables back = ReadBoth(text);
    EXPECT_EQ(back.categories.Names(), (std::vector<std::string>{"All", "Books"}));
    ASSERT_EQ(back.links.Count(), 2);
    EXPECT_EQ(back.links.Records()[0], Link(1, "Old page", "old.html", "First", {"old", "page"}));
    EXPECT_EQ(back.links.Records()[1], Link(0, "A", "b+c.html", "", {"x^y"}));

    // Written again, it is in the new format; the caret inside the keyword
    // now separates two keywords.
    const std::string again = Written(back.categories, back.links);
    EXPECT_EQ(again.rfind("//v2format\r\n", 0), 0u);
    const Tables twice = ReadBoth(again);
    ASSERT_EQ(twice.links.Count(), 2);
    EXPECT_EQ(twice.links.Records()[0], back.links.Records()[0]);
    EXPECT_EQ(twice.links.Records()[1], Link(0, "A", "b+c.html", "", {"x", "y"}));
}

TEST(ReadDatabase, EntriesThatTheWriterNeverProduces) {
    const std::string text =
        "//v2format\n"
        "var ln=new Array('7','8^Only caption','','x^y^z^w');\n"
        "var ds=new Array('d0','d1','d2','d3','extra','more');\n"
        "var kw=new Array('^a^','^b^','^^^','c','^spare^');\n";
    const Tables back = ReadBoth(text);
    ASSERT_EQ(back.links.Count(), 4);
    EXPECT_EQ(back.links.Records()[0], Link(7, "", "", "d0", {"a"}));
    EXPECT_EQ(back.links.Records()[1], Link(8, "Only caption", "", "d1", {"b"}));
    EXPECT_EQ(back.links.Records()[2],
              Link(0, "", "", "d2", {}));  // an empty entry inside the array
    EXPECT_EQ(back.links.Records()[3], Link(0, "y", "z^w", "d3", {"c"}));
}

TEST(ReadDatabase, ShortDescriptionAndKeywordArraysLeaveTheRestEmpty) {
    const std::string text =
        "//v2format\nvar ln=new Array('0^a^a','0^b^b','0^c^c');\n"
        "var ds=new Array('only first');\nvar kw=new Array('^k^',\n'^l^');\n";
    const Tables back = ReadBoth(text);
    ASSERT_EQ(back.links.Count(), 3);
    EXPECT_EQ(back.links.Records()[1].Description, "");
    EXPECT_EQ(back.links.Records()[1].Keywords, (std::vector<std::string>{"l"}));
    EXPECT_TRUE(back.links.Records()[2].Keywords.empty());
}

TEST(ReadDatabase, ArraysAreReadAsAScriptReadsThem) {
    // Blanks, line breaks and comments between the parts, a comma after the
    // last entry, double quotes, and an empty array.
    const Tables back = ReadBoth(
        "//v2format var cg=new Array( 'A' , \"B's\",\t'C'\n,/* old */'D' ,\r\n);\n"
        "var ln=new Array(\n// kept for later: '0^x^x',\n'0^y^y'  ,'0^z^w',\n);\n"
        "var kw=new Array();\n");
    EXPECT_EQ(back.categories.Names(), (std::vector<std::string>{"A", "B's", "C", "D"}));
    ASSERT_EQ(back.links.Count(), 2);
    EXPECT_EQ(back.links.Records()[1], Link(0, "z", "w", "", {}));

    // The arrays may stand in any order; the first opening of each counts.
    const Tables anyOrder = ReadBoth(
        "//v2format var kw=new Array('^k^');var ds=new Array('d');var ln=new Array('5^c^u');"
        "var ln=new Array('6^x^x');var cg=new Array('Z');");
    EXPECT_EQ(anyOrder.categories.Names(), (std::vector<std::string>{"Z"}));
    ASSERT_EQ(anyOrder.links.Count(), 1);
    EXPECT_EQ(anyOrder.links.Records()[0], Link(5, "c", "u", "d", {"k"}));
}

TEST(ReadDatabase, WhatCannotBeReadAsWrittenNamesItsLine) {
    const std::string noComma =
        "an entry is followed by something other than a comma or the array's end (a quote "
        "inside an entry needs a backslash)";
    const std::string noEntry = "something other than a quoted entry stands where an entry belongs";
    const struct {
        std::string text;
        std::string problem;                  // "" for none
        std::vector<std::string> categories;  // read before the problem
        int links;
    } cases[] = {
        {"var cg=new Array(\n'A',\n'O'Brien',\n'C');",
         "line 3 (the cg array): " + noComma,
         {"A", "O"},
         0},
        {"var cg=new Array('A','','C');",
         "line 1 (the cg array): an empty category name stands among the names",
         {"A"},
         0},
        {"var cg=new Array('A',,'C');", "line 1 (the cg array): " + noEntry, {"A"}, 0},
        {"var cg=new Array('A'\n\n",
         "line 3 (the cg array): the array breaks off before its end",
         {"A"},
         0},
        {"var cg=new Array('A', 'B\n);",
         "line 1 (the cg array): an entry has no closing quote",
         {"A"},
         0},
        {"var ln=new Array('0^a^a',\n'0^b^b'\n'0^c^c');var cg=new Array('A');",
         "line 3 (the ln array): " + noComma,
         {"A"},
         2},
        {"var ln=new Array('0^a^a').concat(['0^b^b'];",
         "line 1 (the ln array): the ']' of the array is not followed by ')'",
         {},
         2},
        {"var ln=new Array('0^a^a',\n).concat([\n'0^b^b',\n]);var kw=new Array('^a^' '^b^');",
         "line 4 (the kw array): " + noComma,
         {},
         2},
        {"var cg=new Array(''); var ln=new Array('') ;", "", {}, 0},
    };
    for (const auto& c : cases) {
        RecordingHost host;
        Tables tables;
        FileBuffer buffer = FileBufferFromBytes(c.text);
        ReadProblem problem = ReadCategories(buffer, tables.categories);
        if (ReadProblem links = ReadLinks(buffer, tables.links, host); !problem) problem = links;
        EXPECT_EQ(problem.text, c.problem) << c.text;
        EXPECT_EQ(problem.line > 0, !c.problem.empty()) << c.text;
        EXPECT_EQ(tables.categories.Names(), c.categories) << c.text;
        EXPECT_EQ(tables.links.Count(), c.links) << c.text;
    }
}

TEST(ReadDatabase, ImportAppendsAndKeepsCategoryNumbers) {
    TBase links;
    links.Add(Link(0, "existing", "e.html", "old", {"e"}));
    links.SetCurrent(0);
    RecordingHost host;
    FileBuffer buffer = FileBufferFromBytes(
        "//v2format\nvar ln=new Array('3^new^n.html','1^two^t.html');\n"
        "var ds=new Array('first','second');\nvar kw=new Array('^a^',\n'^b^',\n'^c^');\n");
    ReadLinks(buffer, links, host);
    ASSERT_EQ(links.Count(), 3);
    EXPECT_EQ(links.Records()[0], Link(0, "existing", "e.html", "old", {"e"}));
    EXPECT_EQ(links.Records()[1], Link(3, "new", "n.html", "first", {"a"}));
    EXPECT_EQ(links.Records()[2], Link(1, "two", "t.html", "second", {"b"}));
    EXPECT_EQ(links.Current(), 0);         // reading grows the table without moving Current
    EXPECT_EQ(host.processedMessages, 2);  // once before each keyword entry after the first
}

TEST(ReadDatabase, TheRealFileReadsAsWritten) {
    const std::string file = test::ReadTestData("core/engine_searchdb.js");
    const Tables back = ReadBoth(file);
    EXPECT_EQ(back.categories.Names(),
              (std::vector<std::string>{"All Categories", "Quarry history", "Walks & trails",
                                        "O'Brien's \\ notes"}));
    ASSERT_EQ(back.links.Count(), 4);
    EXPECT_EQ(
        back.links.Records()[2],
        Link(2, "Ridge walk (8 km)", "walks%2Fridge%20walk.html",
             "A circular walk along the quarry ridge; boots advised.", {"walk", "ridge", "~"}));
    EXPECT_EQ(back.links.Records()[3], Link(3, "Notes", "notes.txt", "", {}));
    EXPECT_TRUE(back.links.IsUpdateLocked(2));
}

TEST(ReadDatabase, EveryPrefixOfARealFileReadsSafely) {
    const std::string file = test::ReadTestData("core/engine_searchdb.js");
    ASSERT_FALSE(file.empty());
    const Tables whole = ReadBoth(file);
    for (std::size_t size = 0; size <= file.size(); ++size) {
        // The buffer holds exactly the prefix, so a read past it is an
        // AddressSanitizer error.
        const Tables part = ReadBoth(std::string_view(file).substr(0, size));
        ASSERT_LE(part.links.Count(), whole.links.Count()) << size;
        ASSERT_LE(part.categories.Count(), whole.categories.Count()) << size;
    }
}

TEST(IntegerPrefix, ReadsTheLeadingNumber) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"2", 2},          {"-15", -15},
        {"+4", 4},         {"   3", 3},
        {"3a", 3},         {"", 0},
        {"abc", 0},        {"\t3", 0},
        {"$1F", 31},       {"x10", 16},
        {"X10", 16},       {"0x1g", 1},
        {"0X10", 16},      {"-$10", -16},
        {"$", 0},          {"0x", 0},
        {"007", 7},        {"4294967295", -1},
        {"4294967296", 0}, {"2147483648", -2147483647 - 1},
        {"$FFFFFFFF", -1}, {"- 5", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IntegerPrefix(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace qmp
