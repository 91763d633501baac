#include "indexing/extraction.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "decoding/database_text.h"
#include "indexing/document_read.h"
#include "indexing/link_urls.h"
#include "tests/indexing/project_fixture.h"

namespace qmp {
namespace {

using test::Project;
using Keywords = std::vector<std::string>;

TBaseRecord Extract(const Project& project, std::string_view name) {
    TBaseRecord record;
    ExtractFile(project.Dir() + std::string(name), project.Database(), record);
    return record;
}

// Pages with and without a description meta, and text files, are checked
// byte for byte in the end-to-end tests of qmp addsite.

TEST(Extraction, FileNameCaption) {
    Project project("<FileNameCaptionMode value=\"1\"/>\n");
    project.Write("about-us.html", "<title>Who we are</title>");
    EXPECT_EQ(Extract(project, "about-us.html").Caption, "about-us.html");
}

TEST(Extraction, ScriptPageMarkers) {
    Project project(
        "<JSPageTitleSign value=\"pageTitle=\"/>\n<JSPageDescSign value=\"pageDesc =\"/>\n");
    project.Write("app.html",
                  "<title>Loading</title><script>var pageTitle=\"It\\'s \\\\here\";\n"
                  "var PAGEDESC = \"Built by a script\";</script>");
    const TBaseRecord record = Extract(project, "app.html");
    EXPECT_EQ(record.Caption, "It's \\here");
    EXPECT_EQ(record.Description, "Built by a script");
}

// A huge file is read only as far as its head and the depth limit reach:
// what it gives is what those bytes give alone, and the rest is never read.
TEST(Extraction, HugeDocumentIsReadOnlyToItsLimit) {
    const std::string head =
        "<html><head><title>Big</title><meta name=\"description\" content=\"Large\">"
        "<meta name=\"keywords\" content=\"granite\"></head><body>slate slate quarry ";
    Project project;
    project.Write("alone/page.html", head);
    const std::string big = project.Write("page.html", head);
    std::filesystem::resize_file(big, std::uintmax_t{2} << 30);  // sparse: no disk
    EXPECT_EQ(OpenDocument(big).Size(), DocumentReadLimit());
    TBaseRecord alone = Extract(project, "alone/page.html");
    alone.URL = "page.html";
    EXPECT_EQ(Extract(project, "page.html"), alone);
    EXPECT_EQ(alone.Description, "Large");
}

TEST(Extraction, CategoryMeta) {
    Project project;
    const struct {
        std::string_view content;
        std::int32_t category;
    } cases[] = {{"3", 3}, {" 3a ", 3}, {"\t-2\n", -2}, {"text", 0}, {"", 0}};
    for (const auto& c : cases) {
        project.Write("c.html", "<meta name=\"Quarrymap-Category\" content=\"" +
                                    std::string(c.content) + "\">");
        EXPECT_EQ(Extract(project, "c.html").Category, c.category) << c.content;
    }
}

TEST(Extraction, DeclaredCharsetInUtf8Mode) {
    Project project("<UTF8Mode value=\"1\"/>\n");
    // Windows-1251: 0xC4 is U+0414, 0xE0 is U+0430.
    project.Write("ru.html",
                  "<meta charset=\"windows-1251\"><title>\xC4\xE0</title>"
                  "<meta name=\"description\" content=\"\xE0\">");
    const TBaseRecord record = Extract(project, "ru.html");
    EXPECT_EQ(record.Caption, "\xD0\x94\xD0\xB0");
    EXPECT_EQ(record.Description, "\xD0\xB0");
}

// UTF-8 mode: captions and descriptions keep what references stand for,
// whatever the page's character set, and hold no control byte nor bytes that
// are no UTF-8; no keyword is a symbol.
TEST(Extraction, ReferencesAndStrayBytesInUtf8Mode) {
    Project project("<UTF8Mode value=\"1\"/>\n<KeysCount value=\"20\"/>\n");
    const std::string dash = "\xE2\x80\x94", quote = "\xE2\x80\x99", eacute = "\xC3\xA9";
    const struct {
        const char* charset;
        std::string title, description, caption, stored;
    } cases[] = {
        {"utf-8", "A &#8212; B&#8217;s caf&eacute; &#x2014;&#x14;",
         "x&mdash;y\x01 caf\xE9 \xC2\xB6",
         "A " + dash + " B" + quote + "s caf" + eacute + " " + dash + " ",
         "x" + dash + "y  caf" + eacute + " \xC2\xB6"},
        {"windows-1252", "caf&eacute; caf\xE9 &#8212;", "\x97 &rsquo;",
         "caf" + eacute + " caf" + eacute + " " + dash, dash + " " + quote},
    };
    for (const auto& c : cases) {
        project.Write("p.html", std::string("<meta charset=\"") + c.charset + "\"><title>" +
                                    c.title + "</title><meta name=\"description\" content=\"" +
                                    c.description +
                                    "\"><p>words \xC2\xB6 \xE2\x80\x94 \xC2\xBB</p>");
        const TBaseRecord record = Extract(project, "p.html");
        EXPECT_EQ(record.Caption, c.caption) << c.charset;
        EXPECT_EQ(record.Description, c.stored) << c.charset;
        EXPECT_FALSE(record.Keywords.empty());
        for (const std::string& keyword : record.Keywords) {
            EXPECT_EQ(keyword, StorableText(keyword));
            for (const std::string& symbol :
                 {std::string("\xC2\xB6"), dash, std::string("\xC2\xBB")})
                EXPECT_EQ(keyword.find(symbol), std::string::npos) << keyword;
        }
    }
}

TEST(Extraction, UnreadableFileKeepsItsNameWords) {
    Project project;
    TBaseRecord record;
    record.Caption = "old";
    ExtractHtml(project.Dir() + "gone-page.html", project.Dir() + "gone-page.html", record,
                project.Database());
    EXPECT_EQ(record.Caption, "");
    EXPECT_EQ(record.Description, "");
    EXPECT_EQ(record.URL, "gone-page.html");
    EXPECT_EQ(record.Keywords, (Keywords{"gone", "page", "html"}));
}

TEST(Extraction, RefusedExtension) {
    Project project;
    project.Write("letter.doc", "<title>A letter</title>");
    const TBaseRecord record = Extract(project, "letter.doc");
    TBaseRecord expected;
    expected.Description = "Unsupported file extension. Please upgrade to another edition";
    EXPECT_EQ(record, expected);
}

TEST(Extraction, Mp3LinkKeepsTheMp3sUrl) {
    Project project("<KeysCount value=\"100\"/>\n");
    project.Write("music/cbr_mpeg1.mp3", test::ReadTestData("audio/cbr_mpeg1.mp3"));
    const TBaseRecord record = Extract(project, "music/cbr_mpeg1.mp3");
    EXPECT_EQ(record.URL, "music%2Fcbr_mpeg1.mp3");
    // The page's title holds the tag's title, Short.
    EXPECT_NE(record.Caption.find("Short"), std::string::npos) << record.Caption;
    const auto has = [&](std::string_view word) {
        return std::find(record.Keywords.begin(), record.Keywords.end(), word) !=
               record.Keywords.end();
    };
    EXPECT_TRUE(has("short"));  // from the page
    EXPECT_TRUE(has("album"));  // from the page
    EXPECT_TRUE(has("cbr"));    // from the file's own name only
    EXPECT_TRUE(has("mpeg1"));
}

TEST(Extraction, JsUnescape) {
    const struct {
        std::string_view text;
        std::string_view unescaped;
    } cases[] = {
        {"It\\'s", "It's"}, {"a\\\\b", "a\\b"}, {"\\n", "n"}, {"end\\", "end\\"}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsUnescape(c.text), c.unescaped) << c.text;
}

TEST(LinkUrls, RelativeUrl) {
    test::ProgramState state;
    const struct {
        std::string_view database;
        std::string_view file;
        std::string_view url;
    } cases[] = {
        {"/site/searchdb.js", "/site/docs/a b.html", "docs%2Fa%20b.html"},
        {"/site/searchdb.js", "/sitex/a.html", "..%2Fsitex%2Fa.html"},
        {"/a/b/c/searchdb.js", "/a/x/y.html", "..%2F..%2Fx%2Fy.html"},
        {"/site/searchdb.js", "other/x.html", "other%2Fx.html"},
        {"/site/searchdb.js", "/site/100%.html", "100%25.html"},
        {"/site/searchdb.js", "/site/a\\b.html", "a%5Cb.html"},
        {"/site/searchdb.js", "/site/caf\xE9.html", "caf%E9.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RelativeUrl(c.database, c.file), c.url) << c.file;
    ScopedUtf8Mode utf8(true);
    EXPECT_EQ(RelativeUrl("/site/searchdb.js", "/site/caf\xE9.html"), "caf%C3%A9.html");
}

TEST(LinkUrls, UrlToPathAndExtension) {
    EXPECT_EQ(UrlToPath("/other/a.html", "/site/searchdb.js"), "/other/a.html");
    EXPECT_EQ(UrlToPath("docs/a b.html", "/site/searchdb.js"), "/site/docs/a b.html");
    const struct {
        std::string_view path;
        std::string_view extension;
    } cases[] = {
        {"/site/A.HTML", "html"}, {"/site/v1.2/readme", ""}, {"/site/.htaccess", "htaccess"},
        {"/site/a.tar.gz", "gz"}, {"/site/x.", ""},          {"page.PhP5", "php5"}};
    for (const auto& c : cases)
        EXPECT_EQ(FileExtension(c.path), c.extension) << c.path;
}

}  // namespace
}  // namespace qmp
