#include "indexing/rating_lookup.h"

#include <string.h>

#include <algorithm>

namespace qmp {

RatingLookup::RatingLookup(std::vector<TTagRating> tags, std::vector<TWordsRating> groups)
    : tags_(std::move(tags)), groups_(std::move(groups)) {
    for (std::size_t i = 0; i < tags_.size(); ++i) {
        const WordTable::Key key = WordTable::MakeKey(tags_[i].Name);
        if (tagIndex_.Find(tags_[i].Name, key) == WordTable::kMissing)  // the first entry wins
            tagIndex_.Insert(tags_[i].Name, key, static_cast<std::int32_t>(i));
    }

    for (const TWordsRating& group : groups_) {
        // A word stands between two spaces: every piece of the text cut at its
        // spaces but the one before the first space and the one after the last.
        const std::string_view words = group.Words;
        std::size_t start = words.find(' ');
        while (start != std::string_view::npos) {
            const std::size_t end = words.find(' ', start + 1);
            if (end == std::string_view::npos) break;
            const std::string_view piece = words.substr(start + 1, end - start - 1);
            if (!piece.empty()) {
                const WordTable::Key key = WordTable::MakeKey(piece);
                const std::int32_t known = members_.Find(piece, key);
                if (known == WordTable::kMissing) {
                    members_.Insert(piece, key, static_cast<std::int32_t>(memberships_.size()));
                    memberships_.push_back({group.Rating, group.Rating});
                } else {
                    GroupMembership& member = memberships_[static_cast<std::size_t>(known)];
                    member.lowestRating = std::min(member.lowestRating, group.Rating);
                    member.lastRating = group.Rating;
                }
            }
            start = end;
        }
    }
}

std::optional<std::int32_t> RatingLookup::TagRating(std::string_view name) const {
    const std::int32_t index = tagIndex_.Find(name);
    if (index == WordTable::kMissing) return std::nullopt;
    return tags_[static_cast<std::size_t>(index)].Rating;
}

bool RatingLookup::NeedsPlainSearch(std::string_view word) {
    // Words are short: a loop costs less than a call of memchr.
    return word.empty() || std::find(word.begin(), word.end(), ' ') != word.end();
}

std::vector<const TWordsRating*> RatingLookup::GroupsContaining(std::string_view word) const {
    std::string needle;
    needle.reserve(word.size() + 2);
    needle.push_back(' ');
    needle.append(word);
    needle.push_back(' ');
    std::vector<const TWordsRating*> found;
    for (const TWordsRating& group : groups_) {
        // The needle starts with a space, which a plain find would stop at
        // after every word of the group; the two-way search of memmem does not.
        if (::memmem(group.Words.data(), group.Words.size(), needle.data(), needle.size()) !=
            nullptr)
            found.push_back(&group);
    }
    return found;
}

const RatingLookup::GroupMembership* RatingLookup::Membership(std::string_view word,
                                                              const WordTable::Key& key) const {
    const std::int32_t known = members_.Find(word, key);
    if (known == WordTable::kMissing) return nullptr;
    return &memberships_[static_cast<std::size_t>(known)];
}

RatingLookup::GroupRatings RatingLookup::Groups(std::string_view word,
                                                const WordTable::Key& key) const {
    if (NeedsPlainSearch(word)) {
        const auto groups = GroupsContaining(word);
        if (groups.empty()) return {};
        GroupRatings ratings{true, groups.front()->Rating, groups.back()->Rating};
        for (const TWordsRating* group : groups)
            ratings.lowest = std::min(ratings.lowest, group->Rating);
        return ratings;
    }
    const GroupMembership* member = Membership(word, key);
    if (member == nullptr) return {};
    return {true, member->lowestRating, member->lastRating};
}

bool RatingLookup::IsStopWord(std::string_view word, const WordTable::Key& key,
                              std::int32_t minimalRating) const {
    const GroupRatings groups = Groups(word, key);
    return groups.any && groups.lowest < minimalRating;
}

std::optional<std::int32_t> RatingLookup::LastGroupRating(std::string_view word) const {
    const GroupRatings groups = Groups(word, WordTable::MakeKey(word));
    if (!groups.any) return std::nullopt;
    return groups.last;
}

const RatingLookup& EnsureLookup(TRating& rating) {
    if (!rating.Lookup || !rating.Lookup->Matches(rating.TagTable, rating.WordGroups))
        rating.Lookup = std::make_shared<const RatingLookup>(rating.TagTable, rating.WordGroups);
    return *rating.Lookup;
}

}  // namespace qmp
