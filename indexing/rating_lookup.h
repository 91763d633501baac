#pragma once
// Hash lookups over the tag table and the word groups of a TRating, with
// exactly the results of the linear searches they stand in for: the rating
// looks up every word of a document, and the groups hold hundreds of words.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "indexing/rating.h"
#include "indexing/word_table.h"

namespace qmp {

class RatingLookup final {
public:
    RatingLookup(std::vector<TTagRating> tags, std::vector<TWordsRating> groups);

    // True when built from exactly these tables.
    bool Matches(const std::vector<TTagRating>& tags,
                 const std::vector<TWordsRating>& groups) const {
        return tags == tags_ && groups == groups_;
    }

    // The tables it was built from.
    const std::vector<TTagRating>& Tags() const { return tags_; }
    const std::vector<TWordsRating>& Groups() const { return groups_; }

    // The rating of the first tag-table entry named exactly `name`.
    std::optional<std::int32_t> TagRating(std::string_view name) const;

    // True when some group whose words contain " " + word + " " is rated
    // below `minimalRating`.
    bool IsStopWord(std::string_view word, std::int32_t minimalRating) const {
        return IsStopWord(word, WordTable::MakeKey(word), minimalRating);
    }
    // The same with the word table's key of `word` in hand.
    bool IsStopWord(std::string_view word, const WordTable::Key& key,
                    std::int32_t minimalRating) const;

    // The rating of the last group whose words contain " " + word + " ".
    std::optional<std::int32_t> LastGroupRating(std::string_view word) const;

    // What the groups whose words contain " " + word + " " say of `word`:
    // whether there is one, the lowest of their ratings and the last one's.
    struct GroupRatings {
        bool any = false;
        std::int32_t lowest = 0;
        std::int32_t last = 0;
    };
    // `key` is the word table's key of `word`.
    GroupRatings Groups(std::string_view word, const WordTable::Key& key) const;

private:
    struct GroupMembership {
        std::int32_t lowestRating;
        std::int32_t lastRating;
    };

    // The membership of a word without spaces, or nullptr.
    const GroupMembership* Membership(std::string_view word, const WordTable::Key& key) const;

    // A word with a space (or an empty one) can span group words; only the
    // plain search answers for it.
    static bool NeedsPlainSearch(std::string_view word);
    std::vector<const TWordsRating*> GroupsContaining(std::string_view word) const;

    std::vector<TTagRating> tags_;
    std::vector<TWordsRating> groups_;
    WordTable tagIndex_;  // tag name -> its first entry in tags_
    // Every word of the groups, to its entry in memberships_: the rating
    // looks up each new word of a document here.
    WordTable members_;
    std::vector<GroupMembership> memberships_;
};

// The lookup for the rating's current tables, rebuilt when they changed.
const RatingLookup& EnsureLookup(TRating& rating);

}  // namespace qmp
