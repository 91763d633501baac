#pragma once
// The rating settings of one project (set.xml, tags.xml, words.xml) and the
// state of one keyword rating. Each indexed document gets a fresh TRating,
// loaded by LoadRatingSettings and discarded after the document.

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "indexing/word_table.h"

namespace qmp {

// Hashes std::string and std::string_view alike, so that lookups by a view
// need no copy of the key.
struct TextHash {
    using is_transparent = void;
    // FNV-1a: the keys are short words, for which it beats a block hash.
    std::size_t operator()(std::string_view text) const noexcept {
        std::uint64_t hash = 0xcbf29ce484222325u;
        for (char c : text)
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
        return static_cast<std::size_t>(hash);
    }
};

// A map keyed by text that can be searched with a std::string_view.
template <typename Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

// A tag of tags.xml, or an entry of the open-tag stack of a rating.
struct TTagRating {
    std::string Name;
    std::int32_t Rating = 0;
    // On the open-tag stack only: the tag hides its content from the rating.
    bool Skip = false;

    bool operator==(const TTagRating&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TTagRating& tag) {
    return out << '{' << tag.Name << ", " << tag.Rating << (tag.Skip ? ", skip}" : "}");
}

// A group of words.xml: one space, then every word followed by one space.
struct TWordsRating {
    std::string Words;
    std::int32_t Rating = 0;

    bool operator==(const TWordsRating&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TWordsRating& group) {
    return out << "{\"" << group.Words << "\", " << group.Rating << '}';
}

// One candidate keyword of a rating.
struct TWordRecord {
    std::string Word;        // lower case, in the database encoding
    std::int64_t Count = 0;  // occurrences in text, keywords meta and file name
    // Running position of the first occurrence; -1 when first seen in the file
    // name, 0 for a keyword of the keywords meta.
    std::int64_t Position = 0;
    double Weight = 0.0;  // best single-occurrence weight; -1.0: file name only
    double Score = 0.0;   // 0 until ScoreWords
};

class RatingLookup;

struct TRating {
    std::vector<TTagRating> TagTable;      // from tags.xml
    std::vector<TWordsRating> WordGroups;  // from words.xml
    std::vector<TTagRating> TagStack;      // open tags while rating, bottom first
    bool SkipText = false;                 // words of the text are ignored while on
    std::int64_t FileSize = 0;             // bytes of the rated document

    std::int32_t TagsMinimalRating = 0;
    std::int32_t StopWordsMinimalRating = 0;
    std::int32_t KeysCount = 0;

    // set.xml values divided by 100.
    double BeginOfFile = 0.0;
    double EndOfFile = 0.0;
    double DigitRating = 0.0;
    double XXXRating = 0.0;
    double YyyRating = 0.0;
    double zzzRating = 0.0;
    double CodeRating = 0.0;
    double KeywordRating = 0.0;
    double ExistingWeight = 0.0;
    double TagWeight = 0.0;
    double WordPositionWeight = 0.0;
    double WordCaseWeight = 0.0;
    double CountWeight = 0.0;
    double FileNameWeight = 0.0;

    std::int32_t DescOffset = 0;
    std::int32_t DescLength = 0;

    std::vector<TWordRecord> WordList;  // candidates; ranked after RateFile

    // Lookup aids kept beside the tables above; the rating routines rebuild
    // them when the tables or the word list were changed behind their back.
    std::shared_ptr<const RatingLookup> Lookup;
    // Word -> its entry in WordList; while a document is rated also
    // word -> kKnownStopWord, so that a stop word is looked up in the groups
    // only once.
    WordTable WordIndex;
    static constexpr std::int32_t kKnownStopWord = -1;
    // Sums of (rating / 100) over TagStack from the bottom up to each entry.
    std::vector<long double> TagSums;
};

}  // namespace qmp
