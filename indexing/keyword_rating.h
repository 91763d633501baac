#pragma once
// The keyword rating of one document: every word is weighed by where it
// stands, its letter case and the tags around it; the page's keywords meta
// and the words of its file name are added, and the best KeysCount words are
// kept in the rating's word list. A plain-text excerpt comes out on the way.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/file_buffer.h"
#include "indexing/rating.h"
#include "indexing/rating_lookup.h"

namespace qmp {

// Rates the file at `filePath`; the file-name words come from `namePath`.
// Text is converted with ToDatabaseText and `charsetName` (the page's declared
// character set, possibly empty). Leaves the ranked keywords in the rating's
// word list, the excerpt in `description`, and gives true. A file that cannot
// be read rates as empty: only its file-name words count.
bool RateFile(TRating& rating, std::string_view filePath, std::string_view namePath,
              std::string& description, std::string_view charsetName);

// RateFile over a document already held in `buffer` (read from its start).
bool RateBuffer(TRating& rating, FileBuffer& buffer, std::string_view namePath,
                std::string& description, std::string_view charsetName);

// What marks the keywords meta: the first occurrence, in any letter case, is
// followed by the quoted list of keywords.
inline constexpr std::string_view kKeywordsMark = "\"keywords\"";

// RateBuffer with the rating's tag table and word groups given by `lookup`
// (the rating's own tables are not looked at), for a document whose keywords
// meta was looked for already: `keywordsEnd` is the position just after the
// first kKeywordsMark, negative when there is none.
bool RateDocument(TRating& rating, const RatingLookup& lookup, FileBuffer& buffer,
                  std::string_view namePath, std::string& description, std::string_view charsetName,
                  std::int64_t keywordsEnd);

// Opens `name` (lower case) on the open-tag stack with its tags.xml rating;
// a tag rated below TagsMinimalRating hides the text up to its end.
void PushTag(TRating& rating, std::string_view name);

// Closes the topmost open tag named `name` and every tag above it; when none
// is open by that name, every open tag is closed.
void PopTag(TRating& rating, std::string_view name);

// Counts one occurrence of `word` (database text) at a running position
// (-1: in the file name), unless it is "-", a stop word, or text is hidden.
void AddWord(TRating& rating, std::string_view word, std::int64_t position);

// Counts a keyword of the page's keywords meta, weighted by KeywordRating.
void AddKeyword(TRating& rating, std::string_view word);

// The weight of one occurrence of `word` at `position`, by position in the
// file, letter case and the ratings of the open tags.
double WordWeight(const TRating& rating, std::string_view word, std::int64_t position);

// Gives every word its score from count, weight and word-group rating.
void ScoreWords(TRating& rating);

// Orders the word list by score, highest first, as a selection sort that
// takes the earliest of equal scores does.
void SortWords(TRating& rating);

}  // namespace qmp
