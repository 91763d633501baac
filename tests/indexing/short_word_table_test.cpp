#include "indexing/short_word_table.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>

#include "indexing/word_table.h"

namespace qmp {
namespace {

std::uint64_t Bytes(const std::string& word) {
    return WordTable::LoadChunk(reinterpret_cast<const unsigned char*>(word.data()), word.size());
}

std::uint32_t Size(const std::string& word) {
    return static_cast<std::uint32_t>(word.size());
}

// The table against a map, through growth, two documents and clearing:
// words of one to eight bytes, words that differ only in their length
// (trailing zero bytes), negative values. A word keeps its number from one
// document to the next; its value is the current one only under the stamp it
// was set with.
TEST(ShortWordTable, FindsWhatAMapFinds) {
    ShortWordTable table;
    std::mt19937 random(11);
    for (int round = 0; round < 2; ++round) {
        std::map<std::string, std::pair<std::uint32_t, std::int32_t>> expected;  // number, value
        for (int i = 0; i < 4000; ++i) {
            std::string word = std::to_string(random() % 3000);
            if (i % 5 == 0) {
                word = std::to_string(random() % 9'000'000);
                word.insert(word.begin(), 'w');  // up to eight bytes
            }
            if (i % 9 == 0) {
                word.assign(1 + random() % 3, 'x');
                word.append(random() % 5, '\0');
            }
            if (expected.count(word) == 0) {
                ASSERT_EQ(table.Find(Bytes(word), Size(word)), ShortWordTable::kNone) << word;
                const std::int32_t value = i % 3 == 0 ? -8 + i % 5 : i;
                const auto number = static_cast<std::uint32_t>(expected.size());
                expected[word] = {number, value};
                table.Insert(Bytes(word), Size(word), number, 1, value);
            }
        }
        EXPECT_EQ(table.Size(), expected.size());
        for (const auto& [word, entry] : expected) {
            const std::size_t slot = table.Find(Bytes(word), Size(word));
            ASSERT_NE(slot, ShortWordTable::kNone) << word;
            EXPECT_EQ(table.Number(slot), entry.first) << word;
            EXPECT_TRUE(table.Current(slot, 1)) << word;
            EXPECT_EQ(table.Value(slot), entry.second) << word;
            // The next document: the value is stale until it is set again.
            EXPECT_FALSE(table.Current(slot, 2)) << word;
            table.SetValue(slot, 2, entry.second + 1);
        }
        for (const auto& [word, entry] : expected) {
            const std::size_t slot = table.Find(Bytes(word), Size(word));
            ASSERT_TRUE(table.Current(slot, 2)) << word;
            EXPECT_EQ(table.Value(slot), entry.second + 1) << word;
            EXPECT_EQ(table.Number(slot), entry.first) << word;
        }
        EXPECT_EQ(table.Find(Bytes("zz"), 2), ShortWordTable::kNone);
        table.Clear();
        EXPECT_EQ(table.Size(), 0u);
        for (const auto& entry : expected)
            ASSERT_EQ(table.Find(Bytes(entry.first), Size(entry.first)), ShortWordTable::kNone);
    }
}

}  // namespace
}  // namespace qmp
