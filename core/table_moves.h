#pragma once
// The entry moves and the delete shared by the category and the link table:
// whole entries move, and `current` follows the moved entry.

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace qmp::detail {

template <typename Entry>
bool IsValidPosition(const std::vector<Entry>& entries, int p) {
    return p >= 0 && static_cast<std::size_t>(p) < entries.size();
}

template <typename Entry>
void MoveEntryToBegin(std::vector<Entry>& entries, int p, int& current) {
    if (p == 0 || !IsValidPosition(entries, p)) return;
    std::rotate(entries.begin(), entries.begin() + p, entries.begin() + p + 1);
    current = 0;
}

template <typename Entry>
void MoveEntryToEnd(std::vector<Entry>& entries, int p, int& current) {
    const int last = static_cast<int>(entries.size()) - 1;
    if (p < 0 || p >= last) return;
    std::rotate(entries.begin() + p, entries.begin() + p + 1, entries.end());
    current = last;
}

template <typename Entry>
void MoveEntryUp(std::vector<Entry>& entries, int p, int& current) {
    if (p == 0 || !IsValidPosition(entries, p)) return;
    std::swap(entries[p - 1], entries[p]);
    current = p - 1;
}

template <typename Entry>
void MoveEntryDown(std::vector<Entry>& entries, int p, int& current) {
    const int last = static_cast<int>(entries.size()) - 1;
    if (p < 0 || p >= last) return;
    std::swap(entries[p], entries[p + 1]);
    current = p + 1;
}

template <typename Entry>
void DeleteEntry(std::vector<Entry>& entries, int p, int& current) {
    if (!IsValidPosition(entries, p)) return;
    const bool wasLast = static_cast<std::size_t>(p) + 1 == entries.size();
    entries.erase(entries.begin() + p);
    current = (p != 0 && wasLast) ? p - 1 : p;
}

}  // namespace qmp::detail
