#pragma once
// The stored URLs of a link table, hashed, so that asking whether a file is
// already linked costs the same for ten links as for a hundred thousand.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

#include "core/link_table.h"
#include "indexing/rating.h"

namespace qmp {

class LinkUrlIndex final {
public:
    // True when some link of `links` has exactly the URL `url`: the answer of
    // comparing every link. The index follows the table: built at the first
    // question, extended by NoteAdded, and built again whenever the table
    // changed in any other way.
    bool Contains(const TBase& links, std::string_view url);

    // The link just appended at the end of `links` (by Add or Append) joins the
    // index without a rebuild, when the index was in step before that append.
    void NoteAdded(const TBase& links, std::uint64_t revisionBefore);

private:
    void Rebuild(const TBase& links);

    const TBase* table_ = nullptr;
    std::uint64_t revision_ = 0;
    std::unordered_set<std::string, TextHash, std::equal_to<>> urls_;
};

}  // namespace qmp
