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

// The table against a map, through growth and clearing for reuse: words of
// one to eight bytes, words that differ only in their length (trailing zero
// bytes), and negative values.
TEST(ShortWordTable, FindsWhatAMapFinds) {
    ShortWordTable table;
    std::mt19937 random(11);
    for (int round = 0; round < 3; ++round) {
        std::map<std::string, std::int32_t> expected;
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
            const auto size = static_cast<std::uint32_t>(word.size());
            if (expected.count(word) == 0) {
                ASSERT_EQ(table.Find(Bytes(word), size), ShortWordTable::kMissing) << word;
                const std::int32_t value = i % 3 == 0 ? -8 + i % 5 : i;
                expected[word] = value;
                table.Insert(Bytes(word), size, value);
            }
        }
        for (const auto& [word, value] : expected)
            ASSERT_EQ(table.Find(Bytes(word), static_cast<std::uint32_t>(word.size())), value)
                << word;
        EXPECT_EQ(table.Find(Bytes("zz"), 2), ShortWordTable::kMissing);
        table.Clear();
        for (const auto& entry : expected)
            ASSERT_EQ(
                table.Find(Bytes(entry.first), static_cast<std::uint32_t>(entry.first.size())),
                ShortWordTable::kMissing);
    }
}

}  // namespace
}  // namespace qmp
