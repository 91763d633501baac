#include "indexing/word_table.h"

#include <utility>

namespace qmp {

namespace {

// Words are short: comparing them in place beats a call to memcmp.
bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

}  // namespace

std::uint64_t WordTable::Hash(std::string_view word) {
    std::uint64_t hash = kHashStart;
    for (char c : word)
        hash = HashStep(hash, static_cast<unsigned char>(c));
    return HashFinish(hash);
}

std::int64_t WordTable::Find(std::string_view word, std::uint64_t hash) const {
    if (slots_.empty()) return kMissing;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].used; i = (i + 1) & mask) {
        if (slots_[i].hash == hash && SameWord(slots_[i].word, word)) return slots_[i].value;
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

void WordTable::Insert(std::string_view word, std::uint64_t hash, std::int64_t value) {
    if ((size_ + 1) * 2 > slots_.size()) {
        std::vector<Slot> old = std::move(slots_);
        slots_ = std::vector<Slot>(old.empty() ? 64 : old.size() * 2);
        for (Slot& slot : old) {
            if (slot.used) Place(std::move(slot));
        }
    }
    Place(Slot{hash, value, std::string(word), true});
    ++size_;
}

void WordTable::Clear() {
    for (Slot& slot : slots_)
        slot.used = false;
    size_ = 0;
}

}  // namespace qmp
