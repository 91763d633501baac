#pragma once
// A small open-addressing hash table from words to integers, for the word
// index of a rating: every word of a document is looked up in it, and a
// node-based map with prime-modulo buckets costs more than the rest of the
// work on that word. Its slots are sixteen bytes, so that the table of a
// whole page stays in the fastest cache, and a short word is matched within
// its slot; Clear keeps the storage for the next document.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace qmp {

class WordTable final {
public:
    // What Find gives for a word that is not in the table.
    static constexpr std::int32_t kMissing = INT32_MIN;

    // What a word is kept under: a hash of all its bytes, and its first eight
    // bytes, which settle most comparisons at once.
    struct Key {
        std::uint64_t hash = 0;
        std::uint64_t head = 0;  // LoadChunk of the first eight bytes
    };

    // The key of a word, in steps, so that a caller can make it while it
    // makes the word: HashChunk for every eight bytes from kHashStart (each
    // chunk as LoadChunk gives it), then HashFinish with the word's length.
    static constexpr std::uint64_t kHashStart = 0x9e3779b97f4a7c15u;
    static std::uint64_t HashChunk(std::uint64_t hash, std::uint64_t chunk) {
        return (hash ^ chunk) * 0xbf58476d1ce4e5b9u;
    }
    static std::uint64_t HashFinish(std::uint64_t hash, std::size_t length) {
        hash ^= length;
        hash ^= hash >> 31;
        hash *= 0x94d049bb133111ebu;
        return hash ^ (hash >> 29);
    }
    // Up to eight bytes from `bytes` (`count` of them) as one chunk, the
    // first byte lowest; missing bytes are zero. A short word is read with a
    // few loads that may overlap, instead of a loop over its bytes.
    static std::uint64_t LoadChunk(const unsigned char* bytes, std::size_t count) {
        if (count >= 8) return Load32(bytes) | (Load32(bytes + 4) << 32);
        if (count >= 4) return Load32(bytes) | (Load32(bytes + count - 4) << (8 * (count - 4)));
        if (count == 0) return 0;
        return std::uint64_t{bytes[0]} | (std::uint64_t{bytes[count / 2]} << (8 * (count / 2))) |
               (std::uint64_t{bytes[count - 1]} << (8 * (count - 1)));
    }
    static Key MakeKey(std::string_view word);

    // The value stored for `word`, or kMissing; `key` is MakeKey(word).
    std::int32_t Find(std::string_view word, const Key& key) const {
        if (slots_.empty()) return kMissing;
        const std::size_t mask = slots_.size() - 1;
        const std::uint32_t check = Check(key, word.size());
        for (std::size_t i = key.hash & mask; slots_[i].check != 0; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (slot.head != key.head || slot.check != check) continue;
            // Equal heads and lengths are equal words up to eight bytes.
            if (word.size() <= 8 || SameTail(i, word)) return slot.value;
        }
        return kMissing;
    }
    std::int32_t Find(std::string_view word) const { return Find(word, MakeKey(word)); }
    // Stores `value` for `word`, which must not be in the table yet.
    void Insert(std::string_view word, const Key& key, std::int32_t value);
    void Insert(std::string_view word, std::int32_t value) { Insert(word, MakeKey(word), value); }
    // Empties the table in a time that follows its size, not its capacity.
    void Clear();
    std::size_t Size() const { return entries_.size(); }

private:
    static std::uint64_t Load32(const unsigned char* bytes) {
        return std::uint64_t{bytes[0]} | (std::uint64_t{bytes[1]} << 8) |
               (std::uint64_t{bytes[2]} << 16) | (std::uint64_t{bytes[3]} << 24);
    }
    // What a slot compares besides the head: high bits of the hash, and one
    // more than the length (up to 255) in the low byte, which is never 0.
    static std::uint32_t Check(const Key& key, std::size_t size) {
        return (static_cast<std::uint32_t>(key.hash >> 32) & 0xFFFFFF00u) |
               static_cast<std::uint32_t>(size < 254 ? size + 1 : 255);
    }

    // A used slot holds the value itself, so that a short word is found
    // without a look elsewhere.
    struct Slot {
        std::uint64_t head = 0;
        std::uint32_t check = 0;  // 0: a free slot
        std::int32_t value = 0;
    };
    struct Entry {
        Key key;
        std::size_t size;
        std::size_t text;  // where bytes 8 and on of a longer word start in text_
        std::size_t slot;
    };

    void Place(std::size_t index, std::int32_t value);
    // True when the word of the used slot `slot` is `word`, both longer than
    // eight bytes and alike in them.
    bool SameTail(std::size_t slot, std::string_view word) const;

    std::vector<Slot> slots_;                 // a power of two long, at most half full
    std::vector<std::uint32_t> slotEntries_;  // the entry of each used slot
    std::vector<Entry> entries_;
    std::string text_;  // the bytes after the eighth of every longer word
};

}  // namespace qmp
