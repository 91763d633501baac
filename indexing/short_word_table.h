#pragma once
// An open-addressing table from words of one to eight bytes to integers, a
// word kept as its bytes in one integer (WordTable::LoadChunk) beside its
// length: a rating looks up every word of a document as it stands, and most
// are this short, so a look-up is one multiply and one compare. Clear keeps
// the storage for the next document.

#include <cstdint>
#include <vector>

namespace qmp {

class ShortWordTable final {
public:
    static constexpr std::int32_t kMissing = INT32_MIN;

    // The value stored for the word of `size` bytes (1 to 8) given by `bytes`,
    // or kMissing.
    ShortWordTable() { Grow(); }

    std::int32_t Find(std::uint64_t bytes, std::uint32_t size) const {
        for (std::size_t i = Home(bytes);; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (slot.bytes == bytes && slot.size == size) return slot.value;
            if (slot.size == 0) return kMissing;
        }
    }

    // Stores `value` for a word that is not in the table yet.
    void Insert(std::uint64_t bytes, std::uint32_t size, std::int32_t value) {
        if ((used_.size() + 1) * 2 > slots_.size()) Grow();
        Place(bytes, size, value);
    }

    // Empties the table in a time that follows its size, not its capacity.
    void Clear() {
        for (std::size_t i : used_)
            slots_[i] = Slot{};
        used_.clear();
    }

private:
    struct Slot {
        std::uint64_t bytes = 0;
        std::int32_t value = 0;
        std::uint32_t size = 0;  // 0: a free slot
    };

    // The top bits of the product mix every byte of the word.
    std::size_t Home(std::uint64_t bytes) const {
        return static_cast<std::size_t>((bytes * 0x9e3779b97f4a7c15u) >> shift_);
    }

    void Place(std::uint64_t bytes, std::uint32_t size, std::int32_t value) {
        std::size_t i = Home(bytes);
        while (slots_[i].size != 0)
            i = (i + 1) & mask_;
        slots_[i] = {bytes, value, size};
        used_.push_back(i);
    }

    void Grow() {
        std::vector<Slot> old;
        old.reserve(used_.size());
        for (std::size_t i : used_)
            old.push_back(slots_[i]);
        const std::size_t size = slots_.empty() ? 256 : slots_.size() * 2;
        slots_.assign(size, Slot{});
        mask_ = size - 1;
        shift_ = 64;
        for (std::size_t n = size; n > 1; n >>= 1)
            --shift_;
        used_.clear();
        for (const Slot& slot : old)
            Place(slot.bytes, slot.size, slot.value);
    }

    std::vector<Slot> slots_;        // a power of two long, at most half full
    std::vector<std::size_t> used_;  // the used slots, in the order of use
    std::size_t mask_ = 0;
    int shift_ = 64;
};

}  // namespace qmp
