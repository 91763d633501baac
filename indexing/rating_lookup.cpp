#include "indexing/rating_lookup.h"

#include <string.h>

#include <algorithm>

namespace qmp {

RatingLookup::RatingLookup(std::vector<TTagRating> tags, std::vector<TWordsRating> groups)
    : tags_(std::move(tags)), groups_(std::move(groups)) {
    for (const TTagRating& tag : tags_)
        tagRatings_.emplace(tag.Name, tag.Rating);  // the first entry of a name wins

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
                auto [it, added] = members_.try_emplace(
                    std::string(piece), GroupMembership{group.Rating, group.Rating});
                if (!added) {
                    it->second.lowestRating = std::min(it->second.lowestRating, group.Rating);
                    it->second.lastRating = group.Rating;
                }
            }
            start = end;
        }
    }
}

std::optional<std::int32_t> RatingLookup::TagRating(std::string_view name) const {
    const auto it = tagRatings_.find(name);
    if (it == tagRatings_.end()) return std::nullopt;
    return it->second;
}

bool RatingLookup::NeedsPlainSearch(std::string_view word) {
    return word.empty() || word.find(' ') != std::string_view::npos;
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

bool RatingLookup::IsStopWord(std::string_view word, std::int32_t minimalRating) const {
    if (NeedsPlainSearch(word)) {
        const auto groups = GroupsContaining(word);
        return std::any_of(groups.begin(), groups.end(),
                           [&](const TWordsRating* g) { return g->Rating < minimalRating; });
    }
    const auto it = members_.find(word);
    return it != members_.end() && it->second.lowestRating < minimalRating;
}

std::optional<std::int32_t> RatingLookup::LastGroupRating(std::string_view word) const {
    if (NeedsPlainSearch(word)) {
        const auto groups = GroupsContaining(word);
        if (groups.empty()) return std::nullopt;
        return groups.back()->Rating;
    }
    const auto it = members_.find(word);
    if (it == members_.end()) return std::nullopt;
    return it->second.lastRating;
}

const RatingLookup& EnsureLookup(TRating& rating) {
    if (!rating.Lookup || !rating.Lookup->Matches(rating.TagTable, rating.WordGroups))
        rating.Lookup = std::make_shared<const RatingLookup>(rating.TagTable, rating.WordGroups);
    return *rating.Lookup;
}

}  // namespace qmp
