#pragma once
// The category table of a search database: an ordered list of names that the
// links refer to by position.

#include <string>
#include <string_view>
#include <vector>

namespace qmp {

class TCat final {
public:
    // Number of names.
    int Count() const { return static_cast<int>(names_.size()); }
    // Removes all names; Current becomes 0.
    void Clear();
    // Appends a non-empty name and makes it current; an empty name is ignored.
    void Add(std::string_view name);
    // The name at `position`; empty text outside the table.
    std::string Get(int position) const;
    // Replaces the name at `position` when it lies in the table.
    void Put(int position, std::string_view name);
    // Removes the name at `position`; see the table moves for Current.
    void Delete(int position);
    void MoveToBegin(int position);
    void MoveToEnd(int position);
    void MoveUp(int position);
    void MoveDown(int position);

    // The position the list focuses after the last change.
    int Current() const { return current_; }
    void SetCurrent(int position) { current_ = position; }

    // All names, in table order.
    const std::vector<std::string>& Names() const { return names_; }

private:
    std::vector<std::string> names_;
    int current_ = 0;
};

}  // namespace qmp
