#pragma once
// An open-addressing table of words of one to eight bytes, a word kept as its
// bytes in one integer (WordTable::LoadChunk) beside its length: a rating
// looks up every word of a document as it stands, and most are this short,
// so a look-up is one multiply and one compare. Each word has a number that
// stays with it (given when it is added), and a value with the stamp of the
// document it was set for, so that the words stay from one document to the
// next while their values do not.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmp {

class ShortWordTable final {
public:
    static constexpr std::size_t kNone = SIZE_MAX;
    // Stamps are below this; a stamp of 0 is never current.
    static constexpr std::uint32_t kStampLimit = std::uint32_t{1} << 24;

    // The slot of the word of `size` bytes (1 to 8) given by `bytes`, or kNone.
    std::size_t Find(std::uint64_t bytes, std::uint32_t size) const {
        if (slots_.empty()) return kNone;
        for (std::size_t i = Home(bytes);; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (slot.bytes == bytes && (slot.tag & 0xFF) == size) return i;
            if (slot.tag == 0) return kNone;
        }
    }

    // The value of a slot, and whether it was set under `stamp`.
    bool Current(std::size_t slot, std::uint32_t stamp) const {
        return slots_[slot].tag >> 8 == stamp;
    }
    std::int32_t Value(std::size_t slot) const { return slots_[slot].value; }
    // The number the slot's word was added with.
    std::uint32_t Number(std::size_t slot) const { return numbers_[slot]; }
    // Sets the value of a slot under `stamp` (below kStampLimit).
    void SetValue(std::size_t slot, std::uint32_t stamp, std::int32_t value) {
        slots_[slot].value = value;
        slots_[slot].tag = (slots_[slot].tag & 0xFF) | (stamp << 8);
    }

    // Adds a word that is not in the table yet, with its number and a value
    // set under `stamp`.
    void Insert(std::uint64_t bytes, std::uint32_t size, std::uint32_t number, std::uint32_t stamp,
                std::int32_t value) {
        if ((count_ + 1) * 2 > slots_.size()) Grow();
        Place({bytes, value, size | (stamp << 8)}, number);
    }

    std::size_t Size() const { return count_; }

    // Empties the table.
    void Clear() {
        slots_.assign(slots_.size(), Slot{});
        count_ = 0;
    }

private:
    struct Slot {
        std::uint64_t bytes = 0;
        std::int32_t value = 0;
        std::uint32_t tag = 0;  // the length, and the stamp above it; 0: a free slot
    };

    // The top bits of the product mix every byte of the word.
    std::size_t Home(std::uint64_t bytes) const {
        return static_cast<std::size_t>((bytes * 0x9e3779b97f4a7c15u) >> shift_);
    }

    void Place(const Slot& slot, std::uint32_t number) {
        std::size_t i = Home(slot.bytes);
        while (slots_[i].tag != 0)
            i = (i + 1) & mask_;
        slots_[i] = slot;
        numbers_[i] = number;
        ++count_;
    }

    void Grow() {
        std::vector<Slot> old = std::move(slots_);
        std::vector<std::uint32_t> oldNumbers = std::move(numbers_);
        const std::size_t size = old.empty() ? 256 : old.size() * 2;
        slots_.assign(size, Slot{});
        numbers_.assign(size, 0);
        mask_ = size - 1;
        shift_ = 64;
        for (std::size_t n = size; n > 1; n >>= 1)
            --shift_;
        count_ = 0;
        for (std::size_t i = 0; i < old.size(); ++i) {
            if (old[i].tag != 0) Place(old[i], oldNumbers[i]);
        }
    }

    std::vector<Slot> slots_;             // a power of two long, at most half full
    std::vector<std::uint32_t> numbers_;  // the number of each used slot's word
    std::size_t count_ = 0;
    std::size_t mask_ = 0;
    int shift_ = 64;
};

}  // namespace qmp
