// The five link sorts. Each gives exactly the order of a selection sort that,
// for every position i, exchanges the first record at or after i holding the
// smallest key into place. The keys are computed once, and a tree of minima
// over the positions finds that record in logarithmic time, so a sort costs
// O(n log n) comparisons instead of O(n^2).

#include <bit>
#include <numeric>
#include <string_view>
#include <type_traits>

#include "core/link_table.h"
#include "decoding/database_text.h"

namespace qmp {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The order (original indexes, by final position) that the selection sort gives.
template <typename Key>
std::vector<std::size_t> SelectionOrder(std::vector<Key> keys) {
    const std::size_t n = keys.size();
    std::vector<std::size_t> at(n);  // at[position] = original index of the record there
    std::iota(at.begin(), at.end(), std::size_t{0});
    if (n < 2) return at;

    // Each node holds the position of the smallest key below it, the leftmost
    // one among equal keys; a position already sorted holds kNone.
    const std::size_t leaves = std::bit_ceil(n);
    std::vector<std::size_t> tree(2 * leaves, kNone);
    auto better = [&keys](std::size_t left, std::size_t right) {
        if (left == kNone) return right;
        if (right == kNone) return left;
        return keys[right] < keys[left] ? right : left;  // ties stay left (earlier)
    };
    for (std::size_t i = 0; i < n; ++i)
        tree[leaves + i] = i;
    for (std::size_t node = leaves - 1; node >= 1; --node)
        tree[node] = better(tree[2 * node], tree[2 * node + 1]);
    auto update = [&](std::size_t position, std::size_t value) {
        std::size_t node = leaves + position;
        tree[node] = value;
        for (node /= 2; node >= 1; node /= 2)
            tree[node] = better(tree[2 * node], tree[2 * node + 1]);
    };

    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t b = tree[1];
        update(i, kNone);
        if (b != i) {
            std::swap(keys[i], keys[b]);
            std::swap(at[i], at[b]);
            update(b, b);
        }
    }
    return at;
}

// Each record's key, computed once.
template <typename KeyOf>
auto KeysOf(const std::vector<TBaseRecord>& records, KeyOf keyOf) {
    std::vector<std::decay_t<decltype(keyOf(records.front()))>> keys;
    keys.reserve(records.size());
    for (const TBaseRecord& r : records)
        keys.push_back(keyOf(r));
    return keys;
}

}  // namespace

std::string KeywordSortKey(const TBaseRecord& record) {
    std::string key;
    const std::size_t count = record.Keywords.size();
    for (std::size_t i = 0; i < count && i < 4; ++i) {
        key += record.Keywords[i];
        if (i + 1 < count) key += ", ";
    }
    return key;
}

std::string UrlSortKey(const TBaseRecord& record) {
    return FromDatabaseText(UrlDecode(record.URL));
}

// Texts compare as unsigned bytes, left to right, a prefix first: exactly
// std::string_view's ordering.

void TBase::SortByCat() {
    Reorder(SelectionOrder(KeysOf(records_, [](const TBaseRecord& r) { return r.Category; })));
}

void TBase::SortByCaption() {
    Reorder(SelectionOrder(
        KeysOf(records_, [](const TBaseRecord& r) { return std::string_view(r.Caption); })));
}

void TBase::SortByDescription() {
    Reorder(SelectionOrder(
        KeysOf(records_, [](const TBaseRecord& r) { return std::string_view(r.Description); })));
}

void TBase::SortByURL() {
    Reorder(SelectionOrder(KeysOf(records_, UrlSortKey)));
}

void TBase::SortByKeys() {
    Reorder(SelectionOrder(KeysOf(records_, KeywordSortKey)));
}

}  // namespace qmp
