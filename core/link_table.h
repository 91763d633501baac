#pragma once
// The link table of a search database: its records, the entry moves, the
// renumbering that follows a change of the category table, and the five sorts.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qmp {

// One link. Texts are in the database's encoding.
struct TBaseRecord {
    std::int32_t Category = 0;  // position of the link's category in the category table
    std::string Caption;
    std::string URL;  // percent-encoded, relative to the database's folder for scanned files
    std::string Description;
    std::vector<std::string> Keywords;  // best first

    bool operator==(const TBaseRecord&) const = default;
};

class TBase final {
public:
    // Number of links.
    int Count() const { return static_cast<int>(records_.size()); }
    // Removes all links (and frees their memory); Current becomes 0.
    void Clear();
    // Appends the record, whatever it holds, and makes it current.
    void Add(TBaseRecord record);
    // Appends the record without moving Current: the table grows, as when a
    // database file is read.
    void Append(TBaseRecord record);
    // Gives back the room that growing left unused.
    void ShrinkToFit() { records_.shrink_to_fit(); }
    // A copy of the record at `position`; an empty record outside the table.
    TBaseRecord Get(int position) const;
    // Replaces the whole record at `position` when it lies in the table.
    void Put(int position, TBaseRecord record);
    // Removes the link at `position`.
    void Delete(int position);
    void MoveToBegin(int position);
    void MoveToEnd(int position);
    void MoveUp(int position);
    void MoveDown(int position);

    // True when the link's keywords hold "~" or "dont_update" exactly.
    bool IsUpdateLocked(int position) const;

    // Renumber the links after the same move of category `a` in a category
    // table of `categoryCount` names (the move does not change the count).
    void CatMovedToBegin(int a);
    void CatMovedToEnd(int a, int categoryCount);
    void CatMovedUp(int a);
    void CatMovedDown(int a, int categoryCount);
    // After category `k` was deleted: its links go, and the links of later
    // categories move down one number.
    void CatDeleted(int k);

    // Reorder all links by one key, in exactly the order of a selection sort
    // that exchanges the first smallest remaining record into place (so ties
    // are not kept in order). Current stays.
    void SortByCat();
    void SortByURL();
    void SortByCaption();
    void SortByDescription();
    void SortByKeys();

    // The position the list focuses after the last change.
    int Current() const { return current_; }
    void SetCurrent(int position) { current_ = position; }

    // The record at `position` for reading or changing in place; nullptr outside the table.
    const TBaseRecord* At(int position) const;
    TBaseRecord* At(int position);
    // All records, in table order.
    const std::vector<TBaseRecord>& Records() const { return records_; }

    // Changes whenever the records may have changed (every change, and every
    // writable access through At), so that an index kept beside the table can
    // tell whether it is still in step with it.
    std::uint64_t Revision() const { return revision_; }

private:
    void Reorder(const std::vector<std::size_t>& order);

    std::vector<TBaseRecord> records_;
    int current_ = 0;
    std::uint64_t revision_ = 0;
};

// The key SortByKeys uses: the first four keywords, each followed by ", "
// unless it is the link's last keyword.
std::string KeywordSortKey(const TBaseRecord& record);

// The key SortByURL uses: the URL percent-decoded, as system ANSI text.
std::string UrlSortKey(const TBaseRecord& record);

}  // namespace qmp
