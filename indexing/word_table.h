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

    // The hash a word is kept under, in steps, so that a caller can hash a
    // word while it makes it: HashStep for every byte from kHashStart, then
    // HashFinish (FNV-1a, with the high bits folded into the low ones).
    static constexpr std::uint64_t kHashStart = 0xcbf29ce484222325u;
    static std::uint64_t HashStep(std::uint64_t hash, unsigned char byte) {
        return (hash ^ byte) * 0x100000001b3u;
    }
    static std::uint64_t HashFinish(std::uint64_t hash) { return hash ^ (hash >> 29); }
    static std::uint64_t Hash(std::string_view word);

    // The value stored for `word`, or kMissing; `hash` is Hash(word).
    std::int64_t Find(std::string_view word, std::uint64_t hash) const;
    std::int64_t Find(std::string_view word) const { return Find(word, Hash(word)); }
    // Stores `value` for `word`, which must not be in the table yet.
    void Insert(std::string_view word, std::uint64_t hash, std::int64_t value);
    void Insert(std::string_view word, std::int64_t value) { Insert(word, Hash(word), value); }
    void Clear();
    std::size_t Size() const { return size_; }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::int64_t value = 0;
        std::string word;
        bool used = false;
    };

    void Place(Slot&& slot);

    std::vector<Slot> slots_;  // a power of two long, at most half full
    std::size_t size_ = 0;
};

}  // namespace qmp
