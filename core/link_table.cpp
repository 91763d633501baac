#include "core/link_table.h"

#include <algorithm>
#include <utility>

#include "core/table_moves.h"

namespace qmp {
namespace {

// Revisions are unique across all tables, so that a table assigned from
// another never shows a revision that stood for other content.
std::uint64_t NextRevision() {
    static std::uint64_t last = 0;
    return ++last;
}

}  // namespace

void TBase::Append(TBaseRecord record) {
    revision_ = NextRevision();
    records_.push_back(std::move(record));
}

void TBase::Clear() {
    revision_ = NextRevision();
    std::vector<TBaseRecord>().swap(records_);
    current_ = 0;
}

void TBase::Add(TBaseRecord record) {
    revision_ = NextRevision();
    records_.push_back(std::move(record));
    current_ = Count() - 1;
}

TBaseRecord TBase::Get(int position) const {
    const TBaseRecord* record = At(position);
    return record != nullptr ? *record : TBaseRecord();
}

void TBase::Put(int position, TBaseRecord record) {
    revision_ = NextRevision();
    if (TBaseRecord* target = At(position)) *target = std::move(record);
}

const TBaseRecord* TBase::At(int position) const {
    return detail::IsValidPosition(records_, position) ? &records_[position] : nullptr;
}

TBaseRecord* TBase::At(int position) {
    revision_ = NextRevision();
    return detail::IsValidPosition(records_, position) ? &records_[position] : nullptr;
}

void TBase::Delete(int position) {
    revision_ = NextRevision();
    detail::DeleteEntry(records_, position, current_);
}
void TBase::MoveToBegin(int position) {
    revision_ = NextRevision();
    detail::MoveEntryToBegin(records_, position, current_);
}
void TBase::MoveToEnd(int position) {
    revision_ = NextRevision();
    detail::MoveEntryToEnd(records_, position, current_);
}
void TBase::MoveUp(int position) {
    revision_ = NextRevision();
    detail::MoveEntryUp(records_, position, current_);
}
void TBase::MoveDown(int position) {
    revision_ = NextRevision();
    detail::MoveEntryDown(records_, position, current_);
}

bool TBase::IsUpdateLocked(int position) const {
    const TBaseRecord* record = At(position);
    if (record == nullptr) return false;
    return std::any_of(record->Keywords.begin(), record->Keywords.end(),
                       [](const std::string& k) { return k == "~" || k == "dont_update"; });
}

// The guards below only keep positions that callers never pass (outside the
// category table) from overflowing; valid positions follow the rules as given.

void TBase::CatMovedToBegin(int a) {
    revision_ = NextRevision();
    if (a <= 0) return;
    for (TBaseRecord& link : records_) {
        if (link.Category < a)
            ++link.Category;
        else if (link.Category == a)
            link.Category = 0;
    }
}

void TBase::CatMovedToEnd(int a, int categoryCount) {
    revision_ = NextRevision();
    if (a < 0 || categoryCount == a + 1) return;
    for (TBaseRecord& link : records_) {
        if (link.Category > a)
            --link.Category;
        else if (link.Category == a)
            link.Category = categoryCount - 1;
    }
}

void TBase::CatMovedUp(int a) {
    revision_ = NextRevision();
    if (a <= 0) return;
    for (TBaseRecord& link : records_) {
        if (link.Category == a)
            link.Category = a - 1;
        else if (link.Category == a - 1)
            link.Category = a;
    }
}

void TBase::CatMovedDown(int a, int categoryCount) {
    revision_ = NextRevision();
    if (a < 0 || categoryCount == a + 1 || a == INT32_MAX) return;
    for (TBaseRecord& link : records_) {
        if (link.Category == a)
            link.Category = a + 1;
        else if (link.Category == a + 1)
            link.Category = a;
    }
}

void TBase::CatDeleted(int k) {
    revision_ = NextRevision();
    // One pass instead of a Delete per link; Current ends where the last of
    // those Deletes would have left it.
    const std::size_t count = records_.size();
    std::size_t kept = 0;
    bool deletedAny = false;
    std::size_t lastDeletedAt = 0;  // its position when it was deleted
    bool lastDeletedWasLast = false;
    for (std::size_t i = 0; i < count; ++i) {
        if (records_[i].Category == k) {
            deletedAny = true;
            lastDeletedAt = kept;
            lastDeletedWasLast = i + 1 == count;
            continue;
        }
        if (kept != i) records_[kept] = std::move(records_[i]);
        ++kept;
    }
    records_.resize(kept);
    if (deletedAny) {
        current_ = (lastDeletedAt != 0 && lastDeletedWasLast) ? static_cast<int>(lastDeletedAt) - 1
                                                              : static_cast<int>(lastDeletedAt);
    }
    for (TBaseRecord& link : records_)
        if (link.Category > k) --link.Category;
}

void TBase::Reorder(const std::vector<std::size_t>& order) {
    revision_ = NextRevision();
    std::vector<TBaseRecord> sorted;
    sorted.reserve(records_.size());
    for (std::size_t from : order)
        sorted.push_back(std::move(records_[from]));
    records_ = std::move(sorted);
}

}  // namespace qmp
