#include "indexing/word_table.h"

#include <utility>

namespace qmp {

std::uint64_t WordTable::Hash(std::string_view word) {
    std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a
    for (char c : word)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    return hash ^ (hash >> 29);  // the slot is taken from the low bits
}

std::int64_t WordTable::Find(std::string_view word) const {
    if (slots_.empty()) return kMissing;
    const std::uint64_t hash = Hash(word);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].used; i = (i + 1) & mask) {
        if (slots_[i].hash == hash && slots_[i].word == word) return slots_[i].value;
    }
    return kMissing;
}

void WordTable::Place(Slot&& slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = slot.hash & mask;
    while (slots_[i].used)
        i = (i + 1) & mask;
    slots_[i] = std::move(slot);
}

void WordTable::Insert(std::string_view word, std::int64_t value) {
    if ((size_ + 1) * 2 > slots_.size()) {
        std::vector<Slot> old = std::move(slots_);
        slots_ = std::vector<Slot>(old.empty() ? 64 : old.size() * 2);
        for (Slot& slot : old) {
            if (slot.used) Place(std::move(slot));
        }
    }
    Place(Slot{Hash(word), value, std::string(word), true});
    ++size_;
}

void WordTable::Clear() {
    for (Slot& slot : slots_)
        slot.used = false;
    size_ = 0;
}

}  // namespace qmp
