#include "media/document_filters.h"

#include <gtest/gtest.h>

#include "decoding/ansi_code_page.h"
#include "media/filter_process.h"
#include "media/filter_registry.h"
#include "system/paths.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::TempFolder;

using Command = std::vector<std::string>;

TEST(FilterRegistryTest, FindsTheFirstLineForTheExtension) {
    const std::string ini =
        "; filters of this machine\r\n"
        ".pdf=ignored outside the section\n"
        "[Other]\n"
        ".pdf=ignored too\n"
        "[ filters ]\r\n"
        "  .PDF = pdftotext  -q\t-enc UTF-8 %1 -  \r\n"
        ".pdf=second line loses\n"
        ".doc=\n"
        "# comment\n"
        ".odt=odt2txt %1\n";
    struct Case {
        const char* extension;
        std::optional<Command> command;
    };
    const Case cases[] = {
        {".pdf", Command{"pdftotext", "-q", "-enc", "UTF-8", "%1", "-"}},
        {".Pdf", Command{"pdftotext", "-q", "-enc", "UTF-8", "%1", "-"}},
        {".odt", Command{"odt2txt", "%1"}},
        {".doc", std::nullopt},  // an empty command serves nothing
        {".txt", std::nullopt},
        {"pdf", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilterCommandFor(ini, c.extension), c.command) << c.extension;
}

TEST(FilterRegistryTest, SubstitutesTheDocumentPath) {
    EXPECT_EQ(FilterArguments({"tool", "%1", "--in=%1", "x%1%1y", "-"}, "/a b/c.pdf"),
              (Command{"tool", "/a b/c.pdf", "--in=/a b/c.pdf", "x/a b/c.pdf/a b/c.pdfy", "-"}));
}

TEST(FilterTextTest, SpaceRuns) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string(12, ' '), "  "},  // 10 -> 1 leaves 3, then 2 -> 1 leaves 2
        {std::string(10, ' '), " "},
        {std::string(3, ' '), "  "},
        {"a         b", "a b"},  // 9: 8 -> 1 leaves 2, then 2 -> 1
        {"a b  c", "a b c"},
        {"", ""},
    };
    for (const auto& [text, shortened] : cases) {
        EXPECT_EQ(ShortenSpaceRuns(text), shortened) << '"' << text << '"';
    }
}

TEST(FilterTextTest, Titles) {
    const std::string line127(127, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"First line\r\nrest", "First line\r"},
        {"First line\nrest", "First line\n"},
        {line127 + "\nrest", line127 + "\n"},
        {line127 + "x\nrest", line127 + "x..."},
        {"one line only", ""},
    };
    for (const auto& [text, title] : cases)
        EXPECT_EQ(FilteredTextTitle(text), title);
}

TEST(FilterTextTest, OutputBecomesSystemTextWithThreeSpaces) {
    SetSystemCodePage(kCharsetWindows1252);
    EXPECT_EQ(FilterOutputToText("caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD"), "caf\xE9 \x80     ");
    EXPECT_EQ(FilterOutputToText(""), "   ");
    // A NUL cuts the rest of its piece of text.
    EXPECT_EQ(FilterOutputToText(std::string("ab\0cd", 5)), "ab   ");
    std::string twoPieces(16384, 'a');
    twoPieces[5] = '\0';
    twoPieces += "tail";
    EXPECT_EQ(FilterOutputToText(twoPieces), "aaaaatail   ");
}

class FilterProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemCodePage(kCharsetWindows1252);
        SetProgramDirOverride(programs_.dir());
    }
    void TearDown() override { SetProgramDirOverride(""); }

    void Register(const std::string& lines) {
        programs_.Write("filters.ini", "[Filters]\n" + lines);
    }
    // A filter command that runs a shell script (through sh, so that a
    // temporary folder mounted without execution rights does not matter).
    std::string Script(const std::string& name, const std::string& body) {
        return "sh " + programs_.Write(name, body);
    }

    TempFolder programs_;
    TempFolder documents_;
};

TEST_F(FilterProgramTest, NoRegistryOrNoLineMeansNoText) {
    const std::string doc = documents_.Write("a.pdf", "text");
    EXPECT_EQ(FilterText(doc), "");
    Register(".txt=cat %1\n");
    EXPECT_EQ(FilterText(doc), "");
    EXPECT_EQ(FilterText(documents_.dir() + "noextension"), "");
    EXPECT_FALSE(FilterToTextFile(doc, documents_.dir() + "out.txt", true));
    EXPECT_FALSE(std::filesystem::exists(documents_.dir() + "out.txt"));
}

TEST_F(FilterProgramTest, RunsTheProgramWithTheDocumentPath) {
    Register(".PDF=cat %1\n");
    const std::string doc = documents_.Write("my caf\xC3\xA9.pdf", "Hello caf\xC3\xA9\n");
    // The program holds the path as system text; the filter gets the system's name.
    EXPECT_EQ(FilterText(documents_.dir() + "my caf\xE9.pdf"), "Hello caf\xE9\n   ");
    (void)doc;
}

TEST_F(FilterProgramTest, FailingProgramsGiveNoText) {
    const std::string doc = documents_.Write("a.pdf", "text");
    const std::string failing = Script("failing.sh", "echo partial; exit 3\n");
    for (const std::string& line :
         {".pdf=" + failing + " %1\n", std::string(".pdf=/no/such/program %1\n"),
          std::string(".pdf=no-such-program-anywhere %1\n")}) {
        Register(line);
        EXPECT_EQ(FilterText(doc), "") << line;
    }
    // A program killed by a signal gives none either.
    Register(".pdf=" + Script("killed.sh", "echo partial; kill -9 $$\n") + "\n");
    EXPECT_EQ(FilterText(doc), "");
}

TEST_F(FilterProgramTest, StandardInputAndErrorAreNotTheCallers) {
    const std::string doc = documents_.Write("a.pdf", "text");
    Register(".pdf=" + Script("quiet.sh", "cat; echo noise >&2; echo out\n") + "\n");
    EXPECT_EQ(FilterText(doc), "out\n   ");  // stdin is empty, stderr dropped
}

TEST_F(FilterProgramTest, WritesATextFileWithATitle) {
    const std::string doc = documents_.Write("a.pdf", "Report title\nBody          text\n");
    Register(".pdf=cat %1\n");
    const std::string out = documents_.dir() + "out.txt";
    documents_.Write("out.txt", "old content that is longer than the new one, to be replaced");
    ASSERT_TRUE(FilterToTextFile(doc, out, true));
    // Ten spaces become one, then the chunk's and the reports' three become two.
    EXPECT_EQ(test::ReadFileBytes(out), "<title>Report title\n</title>Report title\nBody text\n  ");
    ASSERT_TRUE(FilterToTextFile(doc, out, false));
    EXPECT_EQ(test::ReadFileBytes(out), "Report title\nBody text\n  ");
    // Nothing but the temporary file's replacement is left behind.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(documents_.path())) {
        ++files;
    }
    EXPECT_EQ(files, 2u);
}

TEST_F(FilterProgramTest, AnOutputThatCannotBeWrittenGivesFalse) {
    const std::string doc = documents_.Write("a.pdf", "text\n");
    Register(".pdf=cat %1\n");
    EXPECT_FALSE(FilterToTextFile(doc, documents_.dir() + "no/such/folder/out.txt", true));
}

TEST(FilterProcessTest, CollectsLargeOutputs) {
    const auto output = RunFilterProgram({"head", "-c", "300000", "/dev/zero"});
    ASSERT_TRUE(output);
    EXPECT_EQ(output->size(), 300000u);
    EXPECT_FALSE(RunFilterProgram({}));
    EXPECT_FALSE(RunFilterProgram({""}));
}

}  // namespace
}  // namespace qmp
