#pragma once
// Counting the words of a rating into its word list: the work of AddWord and
// AddKeyword for a run of words under the same settings. Every word of a
// document passes through here, so its hot steps are defined in this header
// for the document reader to inline. Internal to the keyword rating.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "indexing/rating.h"
#include "indexing/rating_lookup.h"
#include "indexing/short_word_table.h"
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
    // The bits of that sum and class in the masks of what they outweigh (see
    // WordCounter::CountKnown): kNeverBit when there is none to compare with.
    std::uint8_t bestSumBit;
    std::uint8_t bestCaseBit;
};

constexpr std::uint32_t kNoTagSum = UINT32_MAX;
// Tag sums numbered below this have a bit of their own in the masks.
constexpr std::uint32_t kMaskedSums = 62;
constexpr std::uint8_t kNeverBit = 62;   // set in no mask
constexpr std::uint8_t kAlwaysBit = 63;  // set in every mask

// What a form of a word, as it stands in the text, is counted as: its entry
// of the word list (or kKnownStopWord) times kFormKinds, plus its case class.
constexpr std::int32_t kFormKinds = 8;  // the entry is then the value >> 3
// Entries above this are not kept by their forms (the packed value must fit).
constexpr std::int32_t kLastFormEntry = INT32_MAX / kFormKinds - 1;

// The word index and the counted words of a rating: kept from one document
// to the next, so that a page's words find their storage ready.
struct CountingScratch {
    WordTable index;
    // Every form met in the document, as it stands, to what it counts as: a
    // form met again is counted without lower-casing it or looking it up.
    // Forms of up to eight bytes read in one load are kept by their bytes.
    ShortWordTable shortForms;
    WordTable forms;
    std::vector<CountedWord> counted;  // by entry of the word list
    // By entry of the word list: the rating of the last group that holds it.
    std::vector<std::optional<std::int32_t>> groupRatings;
    std::vector<long double> sums;        // the tag sums met, by number
    std::vector<long double> sumTerms;    // TagWeight times each of them
    std::vector<std::uint64_t> sumMasks;  // what each of them outweighs, as bits
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
          shortForms_(scratch.shortForms),
          forms_(scratch.forms),
          counted_(scratch.counted),
          groupRatings_(scratch.groupRatings),
          sums_(scratch.sums),
          sumTerms_(scratch.sumTerms),
          sumMasks_(scratch.sumMasks),
          terms_(rating) {
        sums_.clear();
        sumTerms_.clear();
        sumMasks_.clear();
        shortForms_.Clear();
        forms_.Clear();
        counted_.clear();
        groupRatings_.clear();
        for (const TWordRecord& entry : rating.WordList)
            groupRatings_.push_back(lookup.LastGroupRating(entry.Word));
        // Stop words count into the first record, which every occurrence
        // outweighs: they need no test of their own.
        counted_.push_back(
            {0.0, 0, INT64_MIN, kNoTagSum, CaseKind::kDigit, kAlwaysBit, kAlwaysBit});
        for (const TWordRecord& entry : rating.WordList)
            counted_.push_back(Unrivalled(entry.Weight, entry.Count, 0, CaseKind::kDigit));
        const bool falls = terms_.FallsWithPosition();
        for (std::size_t kind = 0; kind < caseMasks_.size(); ++kind) {
            caseMasks_[kind] = std::uint64_t{1} << kAlwaysBit;
            for (std::size_t best = 0; best < caseMasks_.size(); ++best) {
                if (falls && terms_.CaseTerm(static_cast<CaseKind>(kind)) <=
                                 terms_.CaseTerm(static_cast<CaseKind>(best)))
                    caseMasks_[kind] |= std::uint64_t{1} << best;
            }
        }
        TagsChanged();
    }

    const RatingLookup& Lookup() const { return lookup_; }

    // To be called whenever the rating's open tags change while counting.
    void TagsChanged() { EnterSum(SumNumber(CurrentTagSum(rating_))); }

    // The same for a caller that keeps the numbers of its open tags' sums:
    // the sum of the open tags is now the one numbered `number`.
    void EnterSum(std::uint32_t number) {
        currentSum_ = number;
        currentMask_ =
            currentSum_ < kMaskedSums ? sumMasks_[currentSum_] : std::uint64_t{1} << kAlwaysBit;
    }

    // The number of the current tag sum (see TagsChanged).
    std::uint32_t CurrentSumNumber() const { return currentSum_; }

    // The number of a tag sum: equal sums, equal numbers. The sum and its
    // term of the weight are kept under the number.
    std::uint32_t SumNumber(long double sum) {
        // A sum that is not a number equals nothing; all such share one number.
        const bool number = sum == sum;
        std::size_t i = 0;
        while (i < sums_.size() && (number ? !(sums_[i] == sum) : sums_[i] == sums_[i]))
            ++i;
        if (i == sums_.size()) {
            sums_.push_back(sum);
            sumTerms_.push_back(terms_.TagTerm(sum));
            if (i < kMaskedSums) AddSumMask(i);
        }
        return static_cast<std::uint32_t>(i);
    }

    // `readable`: bytes that may be read from the word's first byte on.
    // Inlined into the document reader's loop, which it is most of.
    [[gnu::always_inline]] void AddWord(std::string_view word, std::int64_t position,
                                        std::size_t readable = 0) {
        if (rating_.SkipText || (word.size() == 1 && word[0] == '-')) return;
        const std::size_t size = word.size();
        std::int32_t form = 0;
        if (size - 1 < 8 && readable >= 8) {
            const std::uint64_t bytes =
                WordTable::LoadChunk(reinterpret_cast<const unsigned char*>(word.data()), 8) &
                (~std::uint64_t{0} >> (8 * (8 - size)));
            form = shortForms_.Find(bytes, static_cast<std::uint32_t>(size));
            if (form == ShortWordTable::kMissing) return AddNewForm(word, position, readable);
        } else {
            form = forms_.Find(word);
            if (form == WordTable::kMissing) return AddNewForm(word, position, readable);
        }
        // The entry, kKnownStopWord included, by an arithmetic shift.
        CountKnown(form >> 3, static_cast<CaseKind>(form & (kFormKinds - 1)), position);
    }

    // AddWord for a word that the document reader read as a run of the
    // document's bytes (TokenReader::NextPlainWord): not "-", eight bytes
    // readable from its first, and `head` its bytes when it has up to eight.
    [[gnu::always_inline]] void AddPlainWord(std::string_view word, std::uint64_t head,
                                             std::int64_t position) {
        if (rating_.SkipText) return;
        const std::size_t size = word.size();
        std::int32_t form = 0;
        if (size <= 8) {
            form = shortForms_.Find(head, static_cast<std::uint32_t>(size));
            if (form == ShortWordTable::kMissing) return AddNewForm(word, position, 8);
        } else {
            form = forms_.Find(word);
            if (form == WordTable::kMissing) return AddNewForm(word, position, 8);
        }
        CountKnown(form >> 3, static_cast<CaseKind>(form & (kFormKinds - 1)), position);
    }

    void AddKeyword(std::string_view word) {
        const WordKey key = LowerWord(word, lower_);
        const std::int32_t known = Find(key);
        if (known == TRating::kKnownStopWord) return;
        const auto keywordWeight = [&] {
            return terms_.Weight(key.caseKind, 0, CurrentTagSum(rating_)) * rating_.KeywordRating;
        };
        if (known != WordTable::kMissing) {
            CountedWord& entry = Counted(known);
            if (entry.count < INT64_MAX) ++entry.count;
            if (rating_.KeywordRating > entry.weight) {
                entry.weight = keywordWeight();  // may be lower than before
                entry.bestSum = kNoTagSum;
                entry.bestSumBit = kNeverBit;
            }
            return;
        }
        Append(key, 0, Unrivalled(keywordWeight(), 1, 0, key.caseKind));
    }

    // LastGroupRating of the word of an entry of the word list.
    std::optional<std::int32_t> GroupRating(std::size_t entry) const {
        return groupRatings_[entry];
    }

    // Writes the counts and weights to the word list.
    void Finish() {
        for (std::size_t i = 0; i < rating_.WordList.size(); ++i) {
            rating_.WordList[i].Count = counted_[i + 1].count;
            rating_.WordList[i].Weight = counted_[i + 1].weight;
        }
    }

private:
    // A form not met before in this document: its lower-case form is looked
    // up (or added to the list), and the form is kept with what it counts as.
    [[gnu::noinline]] void AddNewForm(std::string_view word, std::int64_t position,
                                      std::size_t readable) {
        const WordKey key = LowerWord(word, lower_, readable);
        std::int32_t known = Find(key);
        if (known == WordTable::kMissing) {
            known = static_cast<std::int32_t>(rating_.WordList.size());
            if (position == -1) {
                Append(key, position, Unrivalled(-1.0, 1, 0, key.caseKind));
            } else {
                const std::uint32_t sum = CurrentSumNumber();
                Append(key, position,
                       Best(Weight(key.caseKind, position, sum), 1, position, sum, key.caseKind));
            }
        } else {
            CountKnown(known, key.caseKind, position);
        }
        if (known > kLastFormEntry) return;
        const std::int32_t form = known * kFormKinds + static_cast<std::int32_t>(key.caseKind);
        const std::size_t size = word.size();
        if (size - 1 < 8 && readable >= 8) {
            shortForms_.Insert(
                WordTable::LoadChunk(reinterpret_cast<const unsigned char*>(word.data()), size),
                static_cast<std::uint32_t>(size), form);
        } else {
            forms_.Insert(word, form);
        }
    }

    // One more occurrence of a word of the list (`known`, its entry) or of a
    // stop word (`known` is kKnownStopWord).
    void CountKnown(std::int32_t known, CaseKind kind, std::int64_t position) {
        CountedWord& entry = Counted(known);
        if (entry.count < INT64_MAX) ++entry.count;
        // Most occurrences come after the one that gave the weight, under tags
        // and in a case that weigh no more (see Outweighed): the masks tell so
        // without a test that depends on the word, and stop words always.
        const std::uint64_t sumMask = CurrentSumMask();
        const bool outweighed =
            static_cast<int>(position >= entry.bestPosition) &
            static_cast<int>((sumMask >> entry.bestSumBit) & 1) &
            static_cast<int>((caseMasks_[static_cast<std::size_t>(kind)] >> entry.bestCaseBit) & 1);
        if (outweighed) return;
        Reweigh(entry, kind, currentSum_, position);
    }

    // The counted record of a word list entry, or the stop words' record.
    CountedWord& Counted(std::int32_t known) {
        return counted_[static_cast<std::size_t>(static_cast<std::int64_t>(known) + 1)];
    }

    // A record whose weight no occurrence is measured against.
    static CountedWord Unrivalled(double weight, std::int64_t count, std::int64_t position,
                                  CaseKind kind) {
        return {weight, count, position, kNoTagSum, kind, kNeverBit, kNeverBit};
    }

    // A record whose weight came from an occurrence under sum number `sum`.
    static CountedWord Best(double weight, std::int64_t count, std::int64_t position,
                            std::uint32_t sum, CaseKind kind) {
        return {weight,
                count,
                position,
                sum,
                kind,
                static_cast<std::uint8_t>(sum < kMaskedSums ? sum : kNeverBit),
                static_cast<std::uint8_t>(kind)};
    }

    // The weight of the occurrence, when it can be more than the entry's.
    void Reweigh(CountedWord& entry, CaseKind kind, std::uint32_t sum, std::int64_t position) {
        if (Outweighed(entry, kind, sum, position)) return;
        const double weight = Weight(kind, position, sum);
        if (weight > entry.weight) entry = Best(weight, entry.count, position, sum, kind);
    }

    // The word list entry of a word, kKnownStopWord or WordTable::kMissing.
    std::int32_t Find(const WordKey& key) {
        const std::int32_t known = index_.Find(key.lower, key.tableKey);
        if (known != WordTable::kMissing) return known;
        const RatingLookup::GroupRatings groups = lookup_.Groups(key.lower, key.tableKey);
        if (groups.any && groups.lowest < rating_.StopWordsMinimalRating) {
            index_.Insert(key.lower, key.tableKey, TRating::kKnownStopWord);
            return TRating::kKnownStopWord;
        }
        // Kept for the entry that the word is about to get.
        missingGroupRating_ = groups.any ? std::optional<std::int32_t>(groups.last) : std::nullopt;
        return WordTable::kMissing;
    }

    // The bits of the sums that the current one weighs no more than.
    std::uint64_t CurrentSumMask() const { return currentMask_; }

    // The mask of sum number `added`, and its bit in the masks before it: a
    // sum's mask holds the bits of the sums whose term is at least its own.
    void AddSumMask(std::size_t added) {
        std::uint64_t mask = std::uint64_t{1} << kAlwaysBit;
        if (terms_.FallsWithPosition()) {
            const long double term = sumTerms_[added];
            for (std::size_t other = 0; other < added; ++other) {
                if (term <= sumTerms_[other]) mask |= std::uint64_t{1} << other;
                if (sumTerms_[other] <= term) sumMasks_[other] |= std::uint64_t{1} << added;
            }
            if (term <= term) mask |= std::uint64_t{1} << added;
        }
        sumMasks_.push_back(mask);
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
        // Made in place: the word is copied once.
        TWordRecord& record = rating_.WordList.emplace_back();
        record.Word.assign(key.lower);
        record.Count = 1;
        record.Position = position;
        record.Weight = counted.weight;
        counted_.push_back(counted);
        groupRatings_.push_back(missingGroupRating_);
    }

    TRating& rating_;
    const RatingLookup& lookup_;
    WordTable& index_;
    ShortWordTable& shortForms_;
    WordTable& forms_;
    std::vector<CountedWord>& counted_;
    std::vector<std::optional<std::int32_t>>& groupRatings_;
    std::optional<std::int32_t> missingGroupRating_;  // of the word Find missed last
    std::vector<long double>& sums_;
    std::vector<long double>& sumTerms_;
    std::vector<std::uint64_t>& sumMasks_;
    std::uint32_t currentSum_ = kNoTagSum;
    std::uint64_t currentMask_ = 0;  // the mask of the current sum
    const WeightTerms terms_;
    // By case class: the bits of the classes whose term is at least its own.
    std::array<std::uint64_t, 5> caseMasks_{};
    std::string lower_;  // room for the lower-case form of the word being counted
};

}  // namespace qmp
