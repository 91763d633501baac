#include "indexing/tag_stack.h"

#include <algorithm>
#include <string>

namespace qmp {
namespace {

// Text stays hidden while any open tag hides it, and only then: a tag closed
// out of order, or an unmatched closing tag that empties the stack, must not
// leave the rest of the page hidden for good.
void UpdateSkipText(TRating& rating) {
    rating.SkipText = std::any_of(rating.TagStack.begin(), rating.TagStack.end(),
                                  [](const TTagRating& tag) { return tag.Skip; });
}

}  // namespace

long double TagTerm(const TTagRating& tag) {
    return static_cast<long double>(tag.Rating) / 100.0L;
}

long double StackSum(const std::vector<TTagRating>& stack) {
    long double sum = 0.0L;
    for (const TTagRating& tag : stack)
        sum = sum + TagTerm(tag);
    return sum;
}

void SyncTagSums(TRating& rating) {
    if (rating.TagSums.size() == rating.TagStack.size()) return;
    rating.TagSums.clear();
    long double sum = 0.0L;
    for (const TTagRating& tag : rating.TagStack) {
        sum = sum + TagTerm(tag);
        rating.TagSums.push_back(sum);
    }
}

void CutTagStack(TRating& rating, std::size_t size) {
    rating.TagStack.resize(size);
    rating.TagSums.resize(size);
    UpdateSkipText(rating);
}

void PushTagWith(TRating& rating, const RatingLookup& lookup, std::string_view name) {
    PushTagRated(rating, name, lookup.TagRating(name));
}

void PushTagRated(TRating& rating, std::string_view name, std::optional<std::int32_t> found) {
    TTagRating entry{std::string(name), 0, false};
    if (found) {
        entry.Rating = *found;
        if (entry.Rating < rating.TagsMinimalRating) {
            entry.Skip = true;
            rating.SkipText = true;
        }
    }
    rating.TagSums.push_back(CurrentTagSum(rating) + TagTerm(entry));
    rating.TagStack.push_back(std::move(entry));
}

void PopTagWith(TRating& rating, std::string_view name) {
    for (std::size_t i = rating.TagStack.size(); i-- > 0;) {
        if (rating.TagStack[i].Name == name) return CutTagStack(rating, i);
    }
    CutTagStack(rating, 0);
}

}  // namespace qmp
