#include "indexing/word_weight.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "decoding/database_text.h"
#include "indexing/word_table.h"
#include "tests/indexing/tokenizer_support.h"

namespace qmp {
namespace {

// Words of every length up to twenty, of every kind of byte the case rules
// tell apart, with and without bytes after them in memory.
std::vector<std::string> VariedWords() {
    std::vector<std::string> words = {"",
                                      "a",
                                      "A",
                                      "7",
                                      "a7",
                                      "Hello",
                                      "HELLO",
                                      "hello",
                                      "mp3",
                                      "3d",
                                      "e-mail",
                                      "E-MAIL",
                                      "x&foo y",
                                      "@[`{",
                                      "ZzZzZzZz",
                                      "zzzzzzzzz",
                                      "ABCDEFGHIJKLMNOPQRST",
                                      std::string(1, '\0'),
                                      std::string("a\0b", 3),
                                      "caf\xC3\xA9",
                                      "\xC3\x89T\xC3\x89",
                                      "\xE9t\xE9",
                                      "\xC9T\xC9",
                                      "Stra\xC3\x9F"
                                      "e"};
    std::mt19937 random(11);
    const std::string alphabet = "aAzZ09-_.+#@[`{\x7F\x01 ";
    for (int i = 0; i < 400; ++i) {
        std::string word(random() % 21, ' ');
        for (char& c : word)
            c = alphabet[random() % alphabet.size()];
        words.push_back(word);
    }
    return words;
}

// The lower-case form and the case class of the one pass agree with the
// general conversions, and its key is the word table's own key of the form.
TEST(LowerWord, AgreesWithTheGeneralConversionsInBothModes) {
    test::ScopedProjectSettings settings;
    for (bool utf8 : {false, true}) {
        ScopedUtf8Mode mode(utf8);
        for (const std::string& word : VariedWords()) {
            // The word in a larger piece of memory, so that the one-load
            // path may read past it.
            const std::string padded = word + "QQQQQQQQ";
            for (std::size_t readable : {word.size(), padded.size()}) {
                std::string scratch;
                const WordKey key =
                    LowerWord(std::string_view(padded.data(), word.size()), scratch, readable);
                const std::string expected = DatabaseLowerCase(word);
                ASSERT_EQ(key.lower, expected) << word;
                const WordTable::Key tableKey = WordTable::MakeKey(expected);
                EXPECT_EQ(key.tableKey.hash, tableKey.hash) << word;
                EXPECT_EQ(key.tableKey.head, tableKey.head) << word;
                EXPECT_EQ(key.caseKind, ClassifyCase(word)) << word;
            }
        }
    }
}

TEST(ClassifyCase, FollowsTheOrderOfTheRules) {
    test::ScopedProjectSettings settings;
    struct Case {
        const char* word;
        CaseKind kind;
    };
    const Case cases[] = {
        {"3d", CaseKind::kDigit},        {"2024", CaseKind::kDigit},
        {"mp3", CaseKind::kCode},        {"MP3", CaseKind::kCode},
        {"HELLO", CaseKind::kUpper},     {"-+", CaseKind::kUpper},
        {"", CaseKind::kUpper},          {"hello", CaseKind::kLower},
        {"Hello", CaseKind::kMixed},     {"e-mail", CaseKind::kMixed},
        {"\xE9t\xE9", CaseKind::kLower}, {"\xC9T\xC9", CaseKind::kUpper},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyCase(c.word), c.kind) << c.word;
    ScopedUtf8Mode mode(true);
    EXPECT_EQ(ClassifyCase("\xC3\xA9t\xC3\xA9"), CaseKind::kLower);  // été
    EXPECT_EQ(ClassifyCase("\xC3\x89T\xC3\x89"), CaseKind::kUpper);  // ÉTÉ
    EXPECT_EQ(ClassifyCase("\xC3\x89t\xC3\xA9"), CaseKind::kMixed);  // Été
}

// The table against a map, through growth, words that share their first
// eight bytes, long words and clearing for reuse.
TEST(WordTable, FindsWhatAMapFinds) {
    WordTable table;
    std::mt19937 random(5);
    for (int round = 0; round < 3; ++round) {
        std::map<std::string, std::int32_t> expected;
        for (int i = 0; i < 3000; ++i) {
            std::string word = "prefix__" + std::to_string(random() % 5000);
            if (i % 7 == 0) word = std::to_string(random() % 300);
            if (i % 11 == 0) word = std::string(250 + random() % 10, 'w');
            if (i % 13 == 0) word.clear();
            if (expected.count(word) == 0) {
                ASSERT_EQ(table.Find(word), WordTable::kMissing) << word;
                expected[word] = i;
                table.Insert(word, i);
            }
        }
        EXPECT_EQ(table.Size(), expected.size());
        for (const auto& [word, value] : expected)
            ASSERT_EQ(table.Find(word), value) << word;
        EXPECT_EQ(table.Find("prefix__x"), WordTable::kMissing);
        EXPECT_EQ(table.Find(std::string(261, 'w')), WordTable::kMissing);
        table.Clear();
        EXPECT_EQ(table.Size(), 0u);
        for (const auto& entry : expected)
            ASSERT_EQ(table.Find(entry.first), WordTable::kMissing) << entry.first;
    }
}

}  // namespace
}  // namespace qmp
