// qmp addsite and qmp update on a small site, with the database file checked
// byte for byte. Every expected entry is worked out from the rules: with the
// site's rating settings a keyword's score is the number of times the word
// occurs (page text, file name), KeysCount is 3, and a page without a
// description meta gets its first words between "..." and "...".

#include <gtest/gtest.h>

#include "tests/cli/qmp_run.h"

namespace qmp {
namespace {

using test::ReadFileBytes;
using test::RunQmpIn;
using test::TempFolder;

constexpr std::string_view kHead = "// Test engine\r\n//Settings\r\n";
constexpr std::string_view kTail = "//DatabaseEnd\r\nvar qmpTail = true;\r\n";

std::string Database(std::string_view categories, std::string_view ln, std::string_view ds,
                     std::string_view kw) {
    return std::string(kHead) + "//v2format\r\n//DatabaseBegin\r\nvar cg=new Array(\r\n" +
           std::string(categories) + ");\r\nvar ln=new Array(\r\n" + std::string(ln) +
           ");\r\nvar ds=new Array(\r\n" + std::string(ds) + ");\r\nvar kw=new Array(\r\n" +
           std::string(kw) + ");\r\n" + std::string(kTail);
}

constexpr std::string_view kCategories = "'All Categories',\r\n'Stone'\r\n";

void WriteSite(const TempFolder& site) {
    site.Write("set.xml",
               "<settings><KeysCount value=\"3\"/><CountWeight value=\"100\"/>"
               "<DescOffset value=\"1\"/><DescLength value=\"40\"/><UTF8Mode value=\"1\"/>"
               "<StopDirs value=\"drafts\"/></settings>\n");
    site.Write("tags.xml", "<tags></tags>\n");
    site.Write("words.xml", "<words></words>\n");
    site.Write("100%.html",
               "<title>Full</title><meta name=\"description\" content=\"All of it.\">"
               "<p>Full full full.</p>\n");
    site.Write("about.html",
               "<html><head><title>About Granite</title>\n"
               "<meta name=\"description\" content=\"The granite society.\">\n"
               "<meta name=\"quarrymap-category\" content=\"5\">\n"
               "</head><body><p>Granite granite slate.</p></body></html>\n");
    site.Write(
        "caf\xC3\xA9.html",
        "<meta charset=\"utf-8\"><title>Caf\xC3\xA9</title><p>caf\xC3\xA9 caf\xC3\xA9</p>\n");
    site.Write("docs/a b.html", "<title>Slate</title><p>Slate quarry slate.</p>\n");
    site.Write("docs/drafts/y.html", "<title>Draft</title>");
    site.Write("drafts/x.html", "<title>Draft</title>");
    site.Write("notes.txt", "Granite notes\n");
    site.Write("image.png", "\x89PNG");
}

TEST(EndToEnd, AddSite) {
    TempFolder site;
    WriteSite(site);
    site.Write("searchdb.js", Database(kCategories, "''\r\n", "''\r\n", "'^^'\r\n"));

    const auto run = RunQmpIn(site.dir(), {"addsite", "searchdb.js", ".", "--category", "1"});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Links added: 5. Links in the database: 5.\n");
    const std::string expected = Database(kCategories,
                                          "'1^Full^100%25.html',\r\n"
                                          "'1^About Granite^about.html',\r\n"
                                          "'1^Caf\xC3\xA9^caf%C3%A9.html',\r\n"
                                          "'1^Slate^docs%2Fa%20b.html',\r\n"
                                          "'1^^notes.txt'\r\n",
                                          "'All of it.',\r\n"
                                          "'The granite society.',\r\n"
                                          "'... Caf\xC3\xA9 caf\xC3\xA9 caf\xC3\xA9...',\r\n"
                                          "'... Slate Slate quarry slate....',\r\n"
                                          "'... Granite notes...'\r\n",
                                          "'^full^100%^html^',\r\n"
                                          "'^granite^about^slate^',\r\n"
                                          "'^caf\xC3\xA9^html^',\r\n"
                                          "'^slate^quarry^a^',\r\n"
                                          "'^notes^granite^txt^'\r\n");
    EXPECT_EQ(ReadFileBytes(site.path() / "searchdb.js"), expected);

    // A second scan finds every file linked already.
    const auto again = RunQmpIn(site.dir(), {"addsite", site.dir() + "searchdb.js", site.dir()});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "Links added: 0. Links in the database: 5.\n");
    EXPECT_EQ(ReadFileBytes(site.path() / "searchdb.js"), expected);
}

TEST(EndToEnd, Update) {
    TempFolder site;
    WriteSite(site);
    const std::string untouchedLn =
        "'0^Remote^http%3A%2F%2Fexample.com%2F',\r\n"
        "'1^Locked^100%25.html',\r\n"
        "'1^Gone^docs%2Fold%20page.html',\r\n"
        "'0^Picture^image.png',\r\n";
    const std::string untouchedDs =
        "'A site elsewhere',\r\n'Kept as it is',\r\n'Deleted page',\r\n'A picture',\r\n";
    const std::string untouchedKw = "'^remote^',\r\n'^~^keep^',\r\n'^gone^',\r\n'^picture^',\r\n";
    site.Write("searchdb.js",
               Database(kCategories,
                        "'2^Old^about.html',\r\n" + untouchedLn + "'3^Old^caf%C3%A9.html'\r\n",
                        "'Old description',\r\n" + untouchedDs + "'Old'\r\n",
                        "'^old^',\r\n" + untouchedKw + "'^old^'\r\n"));

    const auto run = RunQmpIn(site.dir(), {"update", "searchdb.js"});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Warning: The page docs/old page.html is not found.\n");
    EXPECT_EQ(run.out, "Links updated: 2. Pages not found: 1.\n");
    EXPECT_EQ(ReadFileBytes(site.path() / "searchdb.js"),
              Database(kCategories,
                       "'2^About Granite^about.html',\r\n" + untouchedLn +
                           "'3^Caf\xC3\xA9^caf%C3%A9.html'\r\n",
                       "'The granite society.',\r\n" + untouchedDs +
                           "'... Caf\xC3\xA9 caf\xC3\xA9 caf\xC3\xA9...'\r\n",
                       "'^granite^about^slate^',\r\n" + untouchedKw + "'^caf\xC3\xA9^html^'\r\n"));
}

}  // namespace
}  // namespace qmp
