#include "core/category_table.h"

#include "core/table_moves.h"

namespace qmp {

void TCat::Clear() {
    std::vector<std::string>().swap(names_);
    current_ = 0;
}

void TCat::Add(std::string_view name) {
    if (name.empty()) return;
    names_.emplace_back(name);
    current_ = Count() - 1;
}

std::string TCat::Get(int position) const {
    return detail::IsValidPosition(names_, position) ? names_[position] : std::string();
}

void TCat::Put(int position, std::string_view name) {
    if (detail::IsValidPosition(names_, position)) names_[position] = name;
}

void TCat::Delete(int position) {
    detail::DeleteEntry(names_, position, current_);
}
void TCat::MoveToBegin(int position) {
    detail::MoveEntryToBegin(names_, position, current_);
}
void TCat::MoveToEnd(int position) {
    detail::MoveEntryToEnd(names_, position, current_);
}
void TCat::MoveUp(int position) {
    detail::MoveEntryUp(names_, position, current_);
}
void TCat::MoveDown(int position) {
    detail::MoveEntryDown(names_, position, current_);
}

}  // namespace qmp
