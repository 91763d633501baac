#pragma once
// Counting the words of a rating into its word list: the work of AddWord and
// AddKeyword for a run of words under the same settings. Every word of a
// document passes through here, so its hot steps are defined in this header
// for the document reader to inline. Internal to the keyword rating.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "indexing/rating.h"
#include "indexing/rating_lookup.h"
#include "indexing/tag_stack.h"
#include "indexing/word_table.h"
#include "indexing/word_weight.h"

namespace qmp {

// What an occurrence of a word in the list changes, kept compact beside the
// list while words are counted: a page's words mostly repeat, and each
// repetition then touches one small record.
struct CountedWord {
    double weight;
    std::int64_t count;
    // The occurrence that gave the weight: its position, the number of its
    // tag sum (kNoTagSum: none to compare with) and its case class.
    std::int64_t bestPosition;
    std::uint32_t bestSum;
    CaseKind bestCase;
};

constexpr std::uint32_t kNoTagSum = UINT32_MAX;

// A word of one to eight bytes met lately, as it stood in the text: its
// bytes (as WordTable::LoadChunk gives them), its entry of the word list or
// kKnownStopWord, and its case class. A size of 0 marks a free place.
struct RecentWord {
    std::uint64_t bytes;
    std::int32_t known;
    std::uint8_t size;
    CaseKind caseKind;
};
constexpr int kRecentBits = 9;  // 512 places

// The word index and the counted words of a rating: kept from one document
// to the next, so that a page's words find their storage ready.
struct CountingScratch {
    WordTable index;
    std::vector<CountedWord> counted;   // by entry of the word list
    std::vector<long double> sums;      // the tag sums met, by number
    std::vector<long double> sumTerms;  // TagWeight times each of them
    std::vector<RecentWord> recent;     // short words met lately, by their bytes
};

// Counts words into a rating's word list for as long as the rating's
// settings and file size stay as they are: the work of AddWord and
// AddKeyword, with the weight terms worked out once. The counts and weights
// are kept in the scratch while counting and written to the list by Finish.
// The scratch's index maps the words of the list to their entries, and
// known stop words to kKnownStopWord.
class WordCounter final {
public:
    WordCounter(TRating& rating, const RatingLookup& lookup, CountingScratch& scratch)
        : rating_(rating),
          lookup_(lookup),
          index_(scratch.index),
          counted_(scratch.counted),
          sums_(scratch.sums),
          sumTerms_(scratch.sumTerms),
          recent_(scratch.recent),
          terms_(rating) {
        sums_.clear();
        sumTerms_.clear();
        recent_.assign(std::size_t{1} << kRecentBits, RecentWord{0, 0, 0, CaseKind::kDigit});
        counted_.clear();
        for (const TWordRecord& entry : rating.WordList)
            counted_.push_back({entry.Weight, entry.Count, 0, kNoTagSum, CaseKind::kDigit});
    }

    const RatingLookup& Lookup() const { return lookup_; }

    // `readable`: bytes that may be read from the word's first byte on.
    void AddWord(std::string_view word, std::int64_t position, std::size_t readable = 0) {
        if (word == "-" || rating_.SkipText) return;
        // A short word met before as it stands is known without lower-casing
        // it or looking it up.
        RecentWord* recent = nullptr;
        std::uint64_t bytes = 0;
        const std::size_t size = word.size();
        if (size - 1 < 8 && readable >= 8) {
            bytes = WordTable::LoadChunk(reinterpret_cast<const unsigned char*>(word.data()), 8) &
                    (~std::uint64_t{0} >> (8 * (8 - size)));
            recent = &recent_[(bytes * 0x9e3779b97f4a7c15u) >> (64 - kRecentBits)];
            if (recent->size == size && recent->bytes == bytes)
                return CountKnown(recent->known, recent->caseKind, position);
        }
        const WordKey key = LowerWord(word, lower_, readable);
        std::int32_t known = Find(key);
        if (known == WordTable::kMissing) {
            known = static_cast<std::int32_t>(rating_.WordList.size());
            if (position == -1) {
                Append(key, position, {-1.0, 1, 0, kNoTagSum, key.caseKind});
            } else {
                const std::uint32_t sum = SumNumber(CurrentTagSum(rating_));
                Append(key, position,
                       {Weight(key.caseKind, position, sum), 1, position, sum, key.caseKind});
            }
        } else {
            CountKnown(known, key.caseKind, position);
        }
        if (recent != nullptr)
            *recent = {bytes, known, static_cast<std::uint8_t>(size), key.caseKind};
    }

    void AddKeyword(std::string_view word) {
        const WordKey key = LowerWord(word, lower_);
        const std::int32_t known = Find(key);
        if (known == TRating::kKnownStopWord) return;
        const auto keywordWeight = [&] {
            return terms_.Weight(key.caseKind, 0, CurrentTagSum(rating_)) * rating_.KeywordRating;
        };
        if (known != WordTable::kMissing) {
            CountedWord& entry = counted_[static_cast<std::size_t>(known)];
            if (entry.count < INT64_MAX) ++entry.count;
            if (rating_.KeywordRating > entry.weight) {
                entry.weight = keywordWeight();  // may be lower than before
                entry.bestSum = kNoTagSum;
            }
            return;
        }
        Append(key, 0, {keywordWeight(), 1, 0, kNoTagSum, key.caseKind});
    }

    // Writes the counts and weights to the word list.
    void Finish() {
        for (std::size_t i = 0; i < rating_.WordList.size(); ++i) {
            rating_.WordList[i].Count = counted_[i].count;
            rating_.WordList[i].Weight = counted_[i].weight;
        }
    }

private:
    // One more occurrence of a word of the list (`known`, its entry) or of a
    // stop word (`known` is kKnownStopWord).
    void CountKnown(std::int32_t known, CaseKind kind, std::int64_t position) {
        if (known == TRating::kKnownStopWord) return;
        CountedWord& entry = counted_[static_cast<std::size_t>(known)];
        if (entry.count < INT64_MAX) ++entry.count;
        const std::uint32_t sum = SumNumber(CurrentTagSum(rating_));
        if (Outweighed(entry, kind, sum, position)) return;
        const double weight = Weight(kind, position, sum);
        if (weight > entry.weight) {
            entry.weight = weight;
            entry.bestPosition = position;
            entry.bestSum = sum;
            entry.bestCase = kind;
        }
    }

    // The word list entry of a word, kKnownStopWord or WordTable::kMissing.
    std::int32_t Find(const WordKey& key) {
        const std::int32_t known = index_.Find(key.lower, key.tableKey);
        if (known != WordTable::kMissing) return known;
        if (lookup_.IsStopWord(key.lower, key.tableKey, rating_.StopWordsMinimalRating)) {
            index_.Insert(key.lower, key.tableKey, TRating::kKnownStopWord);
            return TRating::kKnownStopWord;
        }
        return WordTable::kMissing;
    }

    // The number of a tag sum: equal sums, equal numbers. The sum and its
    // term of the weight are kept under the number.
    std::uint32_t SumNumber(long double sum) {
        if (lastNumber_ < sums_.size() && sum == sums_[lastNumber_]) return lastNumber_;
        // A sum that is not a number equals nothing; all such share one number.
        const bool number = sum == sum;
        std::size_t i = 0;
        while (i < sums_.size() && (number ? !(sums_[i] == sum) : sums_[i] == sums_[i]))
            ++i;
        if (i == sums_.size()) {
            sums_.push_back(sum);
            sumTerms_.push_back(terms_.TagTerm(sum));
        }
        return lastNumber_ = static_cast<std::uint32_t>(i);
    }

    double Weight(CaseKind kind, std::int64_t position, std::uint32_t sum) const {
        return terms_.WeightWithTagTerm(kind, position, sumTerms_[sum]);
    }

    // True when an occurrence of an entry's word at `position`, of case class
    // `kind` and under the tags of sum number `sum`, can weigh no more than
    // the occurrence that gave the entry its weight: each term of the weight
    // is then at most that occurrence's term, and the sums and roundings of
    // the formula keep that order.
    bool Outweighed(const CountedWord& entry, CaseKind kind, std::uint32_t sum,
                    std::int64_t position) const {
        return entry.bestSum != kNoTagSum && position >= entry.bestPosition &&
               terms_.FallsWithPosition() && sumTerms_[sum] <= sumTerms_[entry.bestSum] &&
               terms_.CaseTerm(kind) <= terms_.CaseTerm(entry.bestCase);
    }

    void Append(const WordKey& key, std::int64_t position, const CountedWord& counted) {
        const std::size_t index = rating_.WordList.size();
        index_.Insert(key.lower, key.tableKey, static_cast<std::int32_t>(index));
        rating_.WordList.push_back(
            TWordRecord{std::string(key.lower), 1, position, counted.weight, 0.0});
        counted_.push_back(counted);
    }

    TRating& rating_;
    const RatingLookup& lookup_;
    WordTable& index_;
    std::vector<CountedWord>& counted_;
    std::vector<long double>& sums_;
    std::uint32_t lastNumber_ = kNoTagSum;
    std::vector<long double>& sumTerms_;
    std::vector<RecentWord>& recent_;
    const WeightTerms terms_;
    std::string lower_;  // room for the lower-case form of the word being counted
};

}  // namespace qmp
