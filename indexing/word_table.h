#pragma once
// A small open-addressing hash table from words to integers, for the word
// index of a rating: every word of a document is looked up in it, and a
// node-based map with prime-modulo buckets costs more than the rest of the
// work on that word.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qmp {

class WordTable final {
public:
    // What Find gives for a word that is not in the table.
    static constexpr std::int64_t kMissing = INT64_MIN;

    // The value stored for `word`, or kMissing.
    std::int64_t Find(std::string_view word) const;
    // Stores `value` for `word`, which must not be in the table yet.
    void Insert(std::string_view word, std::int64_t value);
    void Clear();
    std::size_t Size() const { return size_; }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::int64_t value = 0;
        std::string word;
        bool used = false;
    };

    static std::uint64_t Hash(std::string_view word);
    void Place(Slot&& slot);

    std::vector<Slot> slots_;  // a power of two long, at most half full
    std::size_t size_ = 0;
};

}  // namespace qmp
