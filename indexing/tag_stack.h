#pragma once
// The open-tag stack of a rating: the tags around the words being read, with
// their ratings, and the running sums of (rating / 100) from the bottom entry
// up that the word weight takes. Internal to the keyword rating.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "indexing/rating.h"
#include "indexing/rating_lookup.h"

namespace qmp {

// rating / 100 of one tag, in extended precision.
long double TagTerm(const TTagRating& tag);

// The sum of TagTerm over `stack` from its bottom entry up, each step in
// extended precision.
long double StackSum(const std::vector<TTagRating>& stack);

// Rebuilds the running sums when the stack was changed directly.
void SyncTagSums(TRating& rating);

// The sum over the whole stack; 0 when it is empty.
inline long double CurrentTagSum(const TRating& rating) {
    return rating.TagSums.empty() ? 0.0L : rating.TagSums.back();
}

// Keeps the first `size` entries.
void CutTagStack(TRating& rating, std::size_t size);

// PushTag and PopTag with the rating's lookup in hand.
void PushTagWith(TRating& rating, const RatingLookup& lookup, std::string_view name);
// PushTag with the tag's rating in tags.xml already looked up (none: not there).
void PushTagRated(TRating& rating, std::string_view name, std::optional<std::int32_t> found);
void PopTagWith(TRating& rating, std::string_view name);

}  // namespace qmp
