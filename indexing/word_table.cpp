#include "indexing/word_table.h"

namespace qmp {

WordTable::Key WordTable::MakeKey(std::string_view word) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
    std::uint64_t hash = kHashStart;
    for (std::size_t i = 0; i < word.size(); i += 8)
        hash = HashChunk(hash, LoadChunk(bytes + i, word.size() - i));
    return {HashFinish(hash, word.size()), LoadChunk(bytes, word.size())};
}

bool WordTable::SameTail(std::size_t slot, std::string_view word) const {
    const Entry& entry = entries_[slotEntries_[slot]];
    return entry.size == word.size() &&
           text_.compare(entry.text, word.size() - 8, word.data() + 8, word.size() - 8) == 0;
}

void WordTable::Place(std::size_t index, std::int32_t value) {
    Entry& entry = entries_[index];
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = entry.key.hash & mask;
    while (slots_[i].check != 0)
        i = (i + 1) & mask;
    slots_[i] = {entry.key.head, Check(entry.key, entry.size), value};
    slotEntries_[i] = static_cast<std::uint32_t>(index);
    entry.slot = i;
}

void WordTable::Insert(std::string_view word, const Key& key, std::int32_t value) {
    const std::size_t index = entries_.size();
    const std::size_t text = text_.size();
    if (word.size() > 8) text_.append(word.substr(8));
    entries_.push_back({key, word.size(), text, 0});
    if (entries_.size() * 2 <= slots_.size()) return Place(index, value);

    // Twice the room: every entry is placed again, with the value its slot held.
    std::vector<std::int32_t> values(entries_.size());
    for (std::size_t i = 0; i < index; ++i)
        values[i] = slots_[entries_[i].slot].value;
    values[index] = value;
    const std::size_t size = slots_.empty() ? 64 : slots_.size() * 2;
    slots_.assign(size, Slot{});
    slotEntries_.assign(size, 0);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        Place(i, values[i]);
}

void WordTable::Clear() {
    for (const Entry& entry : entries_)
        slots_[entry.slot] = Slot{};
    entries_.clear();
    text_.clear();
}

}  // namespace qmp
