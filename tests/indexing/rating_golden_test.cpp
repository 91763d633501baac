// The tokens and the keyword rating of a varied set of pages, under several
// settings and modes, compared with a fixture recorded from the plain
// byte-by-byte implementation: the fast paths must not change a single token,
// word, count, position, weight bit, score bit or excerpt byte.
//
// To record the fixture again (only ever from a build whose results are known
// to be right), run the test with QMP_RECORD_RATING_GOLDEN set to the path of
// tests/data/indexing/rating_golden.txt.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "indexing/keyword_rating.h"
#include "indexing/rating_settings.h"
#include "tests/indexing/tokenizer_support.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

struct Page {
    std::string name;      // how the fixture names it
    std::string namePath;  // where the rating takes the file-name words from
    std::string bytes;
};

// Bytes outside printable ASCII (and the escape and quote bytes) as \xHH, so
// that the fixture is plain text and every byte shows.
std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && c != '\\' && c != '"') {
            out.push_back(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        }
    }
    return out;
}

// A double exactly, as a hexadecimal floating-point text.
std::string Exact(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

// Pages built from a fixed pseudo-random sequence over the bytes that steer
// the tokenizer: markup, references, word glue, digits and high bytes.
std::string RandomPage(std::uint32_t seed, std::size_t size) {
    static constexpr std::string_view kAlphabet =
        "<<<>>>//!!--??&&&##;;xXdD012345678''__++..\\\\  \n\t\"=aAbBcCeEnNtTqQ"
        "\x80\xA9\x99\xC3\xA9\xE9\xFF\xD0\xB6";
    std::uint32_t state = seed;
    std::string page;
    page.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        if (state % 7 == 0) {
            static constexpr std::string_view kPieces[] = {"<!-- qmpnoindex -->",
                                                           "<!-- qmpindex -->",
                                                           "<script>",
                                                           "</script>",
                                                           "<h1>",
                                                           "</h1>",
                                                           "&nbsp;",
                                                           "&eacute;",
                                                           "&#233;",
                                                           "&#x41;",
                                                           "c++ ",
                                                           "wi-fi",
                                                           "don't",
                                                           "<br/>",
                                                           "->",
                                                           ".net"};
            page += kPieces[(state >> 8) % std::size(kPieces)];
        } else {
            page.push_back(kAlphabet[(state >> 8) % kAlphabet.size()]);
        }
    }
    return page;
}

// Small pages, each aimed at some rule of the tokenizer or the rating.
std::vector<Page> CraftedPages() {
    std::vector<Page> pages = {
        {"entities", "/site/entities.html",
         "<p>&amp;lt; caf&eacute; &Eacute;T&Eacute; &#233;t&#233; &#x263A;x &#x; &#X41; &#65; "
         "&#8364; &#39;s &#128512; &t; &p; &foo;bar x&foo;y &NBSP; word&nbsp;next "
         "&amp<b>bold</b> & bare &; &#; &#x &euro;5 &trade; &copy; &yuml;&apos;&quot;"
         "&mdash;&ndash;end &lt;tag&gt; Fish&amp;Chips AT&amp;T &iexcl;Hola!</p>"},
        {"comments", "/site/comments.html",
         "one <!-- plain words --> two <!-- QMPNoIndex --> <h1>hidden <!-- other --> more "
         "<!-- qmpindex tail words --> three <!-- qmpindex --> four <!--qmpnoindex--> five "
         "<!-- qmpindex--> six <!----> seven <!- x -> eight <!-- unclosed nine ten"},
        {"technical-names", "/src/c++_and c#.net",
         "C++ c+ C# c#x .NET .Net .ne ASP.NET asp.x X.Y com+ COM+ tcp/ip TCP/IP tcp/ wi-fi "
         "wi- objective-c Objective-C objective- snake_case _lead trail_ c++/cli c++/ "
         "e-mail and/or back\\slash a-/b x--y mp3 MP3 3d 3D 2024 a1b2 Hello HELLO hello "
         "Straße don't rock'n'roll '' it''s"},
        {"numbers", "/n/1-2.3_4 5.txt",
         "10:30 1,000.50 3-4 3d 2D 3rd 12. 7- 8: 0.5.6 99,, 4-> 5/> 6<7 1.2.3.net 42x "
         "v1.2 1d0 ,5 -5 .5"},
        {"tags", "/t/tags.html",
         "<html><head><title>Title Words</title></head><body>"
         "<h1>Heading <b>bold <i>italic</h1> after</i> <script>var hidden = 1;</script> "
         "shown <style>.x{}</style> <br/> <p/> text <SPAN>span</SPAN> a < b > c "
         "</ 3> <3> <!DOCTYPE x> <?php echo 1; ?> <!x> </nothing> <b>open <em>deep "
         "<strong>deeper <a href='x'>link</a> <img src=x alt=\"alt words\"/> tail"},
        {"hidden-regions", "/t/hidden.html",
         "<script>one <b>two</b> <noscript>three</script> four <style>five <style>six"
         "</style> seven</style> eight <script>nine</script/> ten <script/> eleven"},
        {"keywords-meta", "/k/meta.html",
         "<meta name=\"keywords\" content=\" The, ,dogs ,Cats,  *star, <x, >y, &z, \"q, "
         "dogs, DOGS,  caf\xC3\xA9 ,\x01"
         "ctl,the, \">Dogs dogs cats the"},
        {"keywords-after-text", "/k/late.html",
         "words before the meta <b>Bold</b> <meta content=\"bold, words\" name=\"KEYWORDS\"> "
         "and \"keywords\" \"a,b\""},
        {"utf8-text",
         "/u/\xC3\xBC"
         "ber-stra\xC3\x9F"
         "e.html",
         "\xEF\xBB\xBF\xC3\x84rger \xC3\xBC"
         "ber Stra\xC3\x9F"
         "e \xCE\x95\xCE\xBB\xCE\xBB"
         "\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC \xD1\x80\xD1\x83\xD1\x81\xD1\x81\xD0\xBA"
         "\xD0\xB8\xD0\xB9 \xC5\x92UVRE \xC3\xA9t\xC3\xA9 \xC3\x89T\xC3\x89 \xC3\x89t\xC3\xA9"
         " caf\xC3\xA9 f\xC3\xBCr \xE2\x82\xAC 5\xE2\x82\xAC \xC2\xA9 \xC2\xAE cut\xC3"},
        {"ansi-text", "/a/\xE9t\xE9.html",
         "\xE9t\xE9 \xC9T\xC9 \xC9t\xE9 caf\xE9 f\xFCr \x80 \xA9"
         "copy \x99trade \xA9 \x99 "
         "\xC0\xC1 \xDF\xFF \xB5micro \xAA\xBA na\xEFve"},
        {"markup-debris", "/m/debris.html",
         "*star \"quoted\" <lt >gt &amp;amp - -- --- -> a->b word-> x - y _ __ "
         "'quote' \\ / // /> . .. ... a.b"},
        {"spaces-in-excerpt", "/e/spaces.html",
         "a b c d e f g h i j k l m n o p q r s t u v w x y z one two three four five "
         "six seven eight nine ten eleven twelve thirteen fourteen fifteen sixteen , . ; "
         "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;x"
         "\t\t\t\n\n\n\r\r\r y   z  w , , ,\x01\x02 end"},
        {"empty", "/e/twice-twice.html", ""},
        {"buffer-end-lt", "/e/end-lt.html", "word <"},
        {"buffer-end-decl", "/e/end-decl.html", "word <!"},
        {"buffer-end-dot", "/e/end-dot.html", "word .ne"},
        {"buffer-end-amp", "/e/end-amp.html", "word &#"},
        {"buffer-end-dash", "/e/end-dash.html", "word-"},
        {"buffer-end-number", "/e/end-number.html", "word 12,"},
        {"random-1", "/r/random one.html", RandomPage(1, 4000)},
        {"random-2", "/r/random_two.html", RandomPage(0xC0FFEE, 4000)},
        {"random-3", "/r/random-three.html", RandomPage(0x5EED, 20000)},
    };
    std::string longWord(3000, 'a');
    longWord += " Long " + std::string(2000, 'B') + "\xC3\xA9 end";
    pages.push_back({"long-words", "/l/long.html", longWord});
    return pages;
}

// Text that nothing rates (a script, a left-out region) after the excerpt is
// full, and tags whose attributes hold what their plain count could get
// wrong: the reader counts long runs of such bytes without reading them
// token by token wherever that gives the same tokens.
std::string HiddenRunsPage() {
    std::string page = "<html><head><title>Hidden runs</title></head><body><p>";
    for (int i = 0; i < 60; ++i)
        page += "word" + std::to_string(i % 7) + " filler text ";
    page += "</p>\n";
    const std::string script =
        "var a = 'click'; b = x.y('z'); c = 3'; d = ('' + \"it's\"); e = f(\"d\")['g'];\n"
        "if (a && b || c &amp;&amp; d) { e = a<b ? 1 : 2; f = a > b; g = c->d; h = i-->0; }\n"
        "k = 'asp.net'; l = x.net; m = X.NeT; n = .5; o = 3d'; p = tcp/ + c++/ + wi- ;\n"
        "q = '<b>'; r = \"</b>\"; s = /> ; t = ->; u = 1.2.3; v = don't; w = rock'n'roll;\n"
        "for (var i = 0; i < 10; i++) { arr[i] = arr[i - 1] + 'x' + i + \"y\"; }\n";
    page += "<script type='text/javascript'>\n" + script + "</script>\n";
    page += "<style>.a{b:c}.d>.e{f:g} a::after{content:'\\201C'} .x{y:'z'}</style>\n";
    page +=
        "<p>Tags: <a href='x.html' title=\"don't\">one</a> <p data-x=\"a->b\">two</p>"
        "<img alt=\"tcp/\"/> <br /> <x a=c++/> <y a=\"wi-\"/> <div class=\".net\">three</div>"
        "<div class=\"a.ne\">four</div></div foo=\"/>\" > <!DOCTYPE x \"/>\" > <?x a='b' ?>"
        "<p title=\"&amp;\">five</p><p title=\"<b>\">six</p><p title='7'>seven</p>"
        "<p class=\"md:px-8 hover:text-slate-900\" data-n=3d>eight</p></p>\n";
    page += "<!-- qmpnoindex --><div>" + script + "</div><script>" + script +
            "</script><!-- qmpindex -->\n<p>after the region</p>\n";
    page += "<noscript>" + script + "</noscript><svg><path d=\"M1 2 L3 4 Z\"/></svg>\n";
    page += "<script>var tail = 'end'; x.n";
    return page;
}

// Pages whose markup and hidden text make most of their bytes.
std::vector<Page> MarkupPages() {
    return {{"markup_page", "/site/events/guided-walks.html",
             test::ReadTestData("indexing/markup_page.html")},
            {"hidden-runs", "/h/hidden-runs.html", HiddenRunsPage()},
            {"hidden-runs-open-tag", "/h/open.html", HiddenRunsPage() + "' and <b class=x"}};
}

Page SamplePage() {
    return {"sample_page", "/site/walks/quarry-trails.html",
            test::ReadTestData("indexing/sample_page.html")};
}

// Copies of the example site's pages, so that edits of the examples leave
// the fixture alone. "--" in a copy's name stands for a folder separator.
std::vector<Page> SitePages() {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(test::TestDataDir() + "indexing/golden/site"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::vector<Page> pages;
    for (const std::string& name : names) {
        // Appended piece by piece: GCC 12 warns wrongly about "literal" + text
        // in release builds.
        Page page;
        page.name.append("site/").append(name);
        page.namePath.append("/site/");
        for (std::size_t at = 0; at < name.size(); ++at) {
            if (name.compare(at, 2, "--") == 0) {
                page.namePath.push_back('/');
                ++at;
            } else {
                page.namePath.push_back(name[at]);
            }
        }
        std::string data = "indexing/golden/";
        data.append(page.name);
        page.bytes = test::ReadTestData(data);
        pages.push_back(std::move(page));
    }
    return pages;
}

std::string GoldenFile(const char* name) {
    return test::TestDataDir() + "indexing/golden/" + name;
}

// The settings a rating runs with.
enum class Settings { kShipped, kExampleSite, kCrafted, kRising, kNegative, kPulling };

const char* SettingsName(Settings settings) {
    switch (settings) {
        case Settings::kShipped:
            return "shipped";
        case Settings::kExampleSite:
            return "example-site";
        case Settings::kCrafted:
            return "crafted";
        case Settings::kRising:
            return "rising";
        case Settings::kNegative:
            return "negative";
        case Settings::kPulling:
            return "pulling";
    }
    return "?";
}

// Weights that tell the terms apart, odd values that round, a tag hidden
// below the minimal rating, a tag table entry in capitals, groups of both
// kinds and a word with a space (an unknown entity inside a word makes one).
TRating CraftedRating() {
    TRating r;
    r.TagTable = {{"title", 300, false},    {"h1", 250, false},     {"b", 33, false},
                  {"i", -7, false},         {"em", 17, false},      {"strong", 101, false},
                  {"a", 1, false},          {"script", -50, false}, {"style", -51, false},
                  {"noscript", -49, false}, {"SPAN", 70, false},    {"b", 999, false},
                  {"p", 3, false}};
    r.WordGroups = {{" the a an and of ", -100},
                    {" dogs caf\xC3\xA9 caf\xE9 quarry ", 200},
                    {" x&foo y ", 40},
                    {" granite the ", 70},
                    {" walks ", -48}};
    r.TagsMinimalRating = -48;
    r.StopWordsMinimalRating = -47;
    r.KeysCount = 100000;
    r.BeginOfFile = 1.37;
    r.EndOfFile = 0.11;
    r.WordPositionWeight = 0.93;
    r.WordCaseWeight = 1.13;
    r.DigitRating = 0.07;
    r.CodeRating = 0.19;
    r.XXXRating = 0.31;
    r.YyyRating = 0.43;
    r.zzzRating = 0.57;
    r.TagWeight = 0.71;
    r.KeywordRating = 2.9;
    r.CountWeight = 0.13;
    r.FileNameWeight = 1.7;
    r.ExistingWeight = 0.83;
    r.DescOffset = 3;
    r.DescLength = 420;
    return r;
}

// One rating run: the settings, the modes it runs in and the page.
struct Run {
    Settings settings;
    bool utf8;
    bool programming;
    CharsetId codePage = kCharsetWindows1252;
    std::int32_t depthLimit = kDefaultIndexDepthLimit;
    std::string charset;  // the page's declared character set
};

std::string Describe(const Run& run) {
    std::ostringstream out;
    out << SettingsName(run.settings) << " utf8=" << run.utf8 << " prog=" << run.programming
        << " cp=" << static_cast<int>(run.codePage) << " depth=" << run.depthLimit
        << " charset=" << (run.charset.empty() ? "-" : run.charset);
    return out.str();
}

TRating LoadedRating(Settings settings) {
    TRating rating;
    switch (settings) {
        case Settings::kShipped:
            EXPECT_TRUE(LoadRatingSettings(rating, GoldenFile("tags.xml"), GoldenFile("words.xml"),
                                           GoldenFile("set.xml")));
            break;
        case Settings::kExampleSite:
            EXPECT_TRUE(LoadRatingSettings(rating, GoldenFile("tags.xml"), GoldenFile("words.xml"),
                                           GoldenFile("site-set.xml")));
            break;
        case Settings::kCrafted:
            rating = CraftedRating();
            break;
        case Settings::kRising:
            // Later words weigh more, and the tags and cases pull both ways.
            rating = CraftedRating();
            rating.BeginOfFile = 0.2;
            rating.EndOfFile = 2.9;
            rating.TagWeight = -0.37;
            rating.XXXRating = -0.6;
            break;
        case Settings::kNegative:
            rating = CraftedRating();
            rating.WordPositionWeight = -1.3;
            rating.WordCaseWeight = -0.9;
            break;
        case Settings::kPulling:
            // Later words weigh less, but more open tags and capitals less too.
            rating = CraftedRating();
            rating.TagWeight = -0.37;
            rating.XXXRating = -0.6;
            rating.BeginOfFile = -0.5;
            rating.EndOfFile = -0.9;
            break;
    }
    return rating;
}

// The rating of `page` in `run`, as fixture lines.
std::string Record(const Page& page, const Run& run) {
    test::ScopedProjectSettings restore;
    SetSystemCodePage(run.codePage);
    TRating rating = LoadedRating(run.settings);
    // Loading set.xml sets the modes; the run's own come after it.
    UTF8Mode = run.utf8;
    ProgrammingLanguageMode = run.programming;
    IndexDepthLimit = run.depthLimit;
    PendingSpace = false;

    FileBuffer buffer = FileBufferFromBytes(page.bytes);
    std::string excerpt;
    RateBuffer(rating, buffer, page.namePath, excerpt, run.charset);

    std::ostringstream out;
    out << "== " << page.name << " | " << Describe(run) << '\n';
    out << "excerpt \"" << Escape(excerpt) << "\"\n";
    for (const TWordRecord& w : rating.WordList) {
        out << Escape(w.Word) << ' ' << w.Count << ' ' << w.Position << ' ' << Exact(w.Weight)
            << ' ' << Exact(w.Score) << '\n';
    }
    return out.str();
}

// The token stream of `page`, as a count and a hash of every token's kind,
// text and the buffer's position after it.
std::string RecordTokens(const Page& page, bool utf8, bool programming) {
    test::ScopedProjectSettings restore;
    UTF8Mode = utf8;
    ProgrammingLanguageMode = programming;
    PendingSpace = false;
    FileBuffer buffer = FileBufferFromBytes(page.bytes);
    std::uint64_t hash = 0xcbf29ce484222325u;
    const auto add = [&hash](unsigned char byte) { hash = (hash ^ byte) * 0x100000001b3u; };
    std::size_t count = 0;
    Token token;
    do {
        NextToken(buffer, token);
        ++count;
        add(token.Kind);
        for (char c : token.Text)
            add(static_cast<unsigned char>(c));
        for (int shift = 0; shift < 64; shift += 8)
            add(static_cast<unsigned char>(static_cast<std::uint64_t>(buffer.Position()) >> shift));
    } while (token.Kind != tkEnd && count <= page.bytes.size() + 2);
    char line[200];
    std::snprintf(line, sizeof line, "tokens %s utf8=%d prog=%d: %zu %016llx\n", page.name.c_str(),
                  utf8, programming, count, static_cast<unsigned long long>(hash));
    return line;
}

std::string RecordAll() {
    std::string out;
    const Page sample = SamplePage();
    const std::vector<Page> site = SitePages();
    const std::vector<Page> crafted = CraftedPages();

    std::vector<const Page*> all = {&sample};
    for (const Page& p : site)
        all.push_back(&p);
    for (const Page& p : crafted)
        all.push_back(&p);
    for (const Page* page : all) {
        for (bool utf8 : {false, true}) {
            for (bool programming : {false, true})
                out += RecordTokens(*page, utf8, programming);
        }
    }

    for (Settings settings : {Settings::kShipped, Settings::kExampleSite, Settings::kCrafted}) {
        for (bool utf8 : {false, true}) {
            for (bool programming : {false, true})
                out += Record(sample, {settings, utf8, programming, kCharsetWindows1252,
                                       kDefaultIndexDepthLimit, utf8 ? "utf-8" : ""});
        }
    }
    out += Record(sample, {Settings::kShipped, true, false, kCharsetWindows1252, 4096, "utf-8"});
    out += Record(sample, {Settings::kCrafted, false, false, kCharsetWindows1252, 1, ""});
    out += Record(sample, {Settings::kCrafted, false, true, kCharsetWindows1252, 0, ""});

    for (const Page& page : site) {
        out += Record(page, {Settings::kShipped, true, false, kCharsetWindows1252,
                             kDefaultIndexDepthLimit, "utf-8"});
        out += Record(page, {Settings::kExampleSite, false, true, kCharsetWindows1252,
                             kDefaultIndexDepthLimit, ""});
    }

    const CharsetId windows1251 = CharsetFromName("windows-1251");
    for (const Page& page : crafted) {
        for (bool utf8 : {false, true}) {
            for (bool programming : {false, true})
                out += Record(page, {Settings::kCrafted, utf8, programming, kCharsetWindows1252,
                                     kDefaultIndexDepthLimit, utf8 ? "utf-8" : ""});
        }
        out += Record(page, {Settings::kShipped, true, true, kCharsetWindows1252,
                             kDefaultIndexDepthLimit, "iso-8859-1"});
        out += Record(page, {Settings::kCrafted, false, false, windows1251, 300, "koi8-r"});
    }

    for (const Page& page : MarkupPages()) {
        for (bool utf8 : {false, true}) {
            for (bool programming : {false, true}) {
                out += RecordTokens(page, utf8, programming);
                out += Record(page, {Settings::kShipped, utf8, programming, kCharsetWindows1252,
                                     kDefaultIndexDepthLimit, utf8 ? "utf-8" : ""});
            }
        }
        out += Record(page, {Settings::kCrafted, true, false, kCharsetWindows1252,
                             kDefaultIndexDepthLimit, "utf-8"});
        out += Record(page, {Settings::kExampleSite, false, false, kCharsetWindows1252,
                             kDefaultIndexDepthLimit, ""});
        // Depth limits that fall inside hidden text and inside tags.
        const auto size = static_cast<std::int32_t>(page.bytes.size());
        for (std::int32_t limit = 500; limit < size; limit += size / 23 + 1)
            out += Record(page, {Settings::kShipped, true, limit % 2 == 1, kCharsetWindows1252,
                                 limit, "utf-8"});
    }

    // Weights that rise with the position, or fall with a negative factor.
    for (Settings settings : {Settings::kRising, Settings::kNegative, Settings::kPulling}) {
        out += Record(
            sample, {settings, true, false, kCharsetWindows1252, kDefaultIndexDepthLimit, "utf-8"});
        for (const Page& page : crafted)
            out += Record(
                page, {settings, false, false, kCharsetWindows1252, kDefaultIndexDepthLimit, ""});
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(RatingGolden, TokensAndRatingsMatchTheRecordedResults) {
    const std::string actual = RecordAll();
    if (const char* record = std::getenv("QMP_RECORD_RATING_GOLDEN")) {
        std::ofstream(record, std::ios::binary) << actual;
        std::printf("recorded %zu bytes to %s\n", actual.size(), record);
        return;
    }
    const std::vector<std::string> expected =
        Lines(test::ReadTestData("indexing/rating_golden.txt"));
    const std::vector<std::string> got = Lines(actual);
    ASSERT_GT(expected.size(), 1000u);
    // The first difference with the run it belongs to, then a count.
    std::string run;
    std::size_t differences = 0;
    for (std::size_t i = 0; i < std::max(expected.size(), got.size()); ++i) {
        const std::string e = i < expected.size() ? expected[i] : "(nothing)";
        const std::string g = i < got.size() ? got[i] : "(nothing)";
        if (e.rfind("== ", 0) == 0) run = e;
        if (e == g) continue;
        if (++differences <= 5)
            ADD_FAILURE() << "line " << i + 1 << " in " << run << "\n  expected: " << e
                          << "\n  actual:   " << g;
    }
    EXPECT_EQ(differences, 0u);
}

}  // namespace
}  // namespace qmp
