#pragma once
// The weight of one occurrence of a word, and what the rating needs to know
// of a word to weigh and count it: its letter-case class and its lower-case
// form. Every word of a document passes through here, so the parts of the
// formula that stay the same are worked out once, and ASCII words are
// lower-cased, hashed and classed in one pass.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "indexing/rating.h"
#include "indexing/token_bytes.h"
#include "indexing/word_table.h"

namespace qmp {

// The letter-case classes, in the order in which they are tested.
enum class CaseKind : std::uint8_t { kDigit, kCode, kUpper, kLower, kMixed };

// The class of `word`: a digit at its start, else a digit inside it, else
// whether every byte, no byte or some bytes equal their own upper-case form
// (bytes without case count as equal). UTF-8 text is judged by its
// characters: judged by its bytes as ANSI characters, every accented small
// letter would look like a capital.
CaseKind ClassifyCase(std::string_view word);

// The rating of a case class: DigitRating, CodeRating, XXXRating, zzzRating
// or YyyRating.
double CaseRating(const TRating& rating, CaseKind kind);

// What counting a word needs: its lower-case form, the hash it is kept
// under, and its letter-case class.
struct WordKey {
    WordTable::Key tableKey;  // the word table's key of the lower-case form
    CaseKind caseKind;        // the class of the word as given
    std::string_view lower;   // DatabaseLowerCase of the word
};

// The kind of an ASCII word from the high bits of its bytes that are digits,
// small letters and bytes without case, and whether it starts with a digit.
inline CaseKind AsciiKind(bool firstIsDigit, std::uint64_t digits, std::uint64_t smalls,
                          std::uint64_t caseless) {
    if (firstIsDigit) return CaseKind::kDigit;
    if (digits != 0) return CaseKind::kCode;
    if (smalls == 0) return CaseKind::kUpper;
    if (caseless == 0) return CaseKind::kLower;
    return CaseKind::kMixed;
}

// LowerWord for every word.
WordKey LowerWordInGeneral(std::string_view word, std::string& lower);

// The key of `word`. Its lower-case form is the word itself when that is
// already in lower case, else it is made in `lower`. `readable` is how many
// bytes may be read from the word's first byte on (the word's own, and any
// that follow it in the same memory); eight or more let a short word be read
// in one load. Most words are such ASCII words of up to eight bytes, read
// here in the caller.
inline WordKey LowerWord(std::string_view word, std::string& lower, std::size_t readable = 0) {
    using namespace token_bytes;
    const std::size_t size = word.size();
    if (size == 0 || size > 8 || readable < 8) return LowerWordInGeneral(word, lower);
    std::uint64_t chunk =
        WordTable::LoadChunk(reinterpret_cast<const unsigned char*>(word.data()), 8);
    const std::uint64_t present = ~std::uint64_t{0} >> (8 * (8 - size));
    chunk &= present;
    if ((chunk & kHighBits) != 0) return LowerWordInGeneral(word, lower);
    const std::uint64_t capitals = InRange(chunk, 'A', 'Z');
    const std::uint64_t smalls = InRange(chunk, 'a', 'z');
    const std::uint64_t lowered = chunk | (capitals >> 2);  // 0x80 >> 2 is 0x20
    std::string_view lowerView = word;
    if (capitals != 0) {
        lower.resize(size);
        for (std::size_t i = 0; i < size; ++i)
            lower[i] = static_cast<char>(lowered >> (8 * i));
        lowerView = lower;
    }
    const CaseKind kind = AsciiKind((chunk & 0xFF) - '0' < 10, InRange(chunk, '0', '9'), smalls,
                                    present & kHighBits & ~smalls);
    return {{WordTable::HashFinish(WordTable::HashChunk(WordTable::kHashStart, lowered), size),
             lowered},
            kind,
            lowerView};
}

// The weight formula, computed in extended precision operation by operation
// in a fixed order, so that weights come out the same on every build:
// (1 - (BeginOfFile - EndOfFile) * position / file size) * WordPositionWeight
// + WordCaseWeight * case rating + TagWeight * tag sum, stored as a double.
// The terms that stay the same through a rating are worked out once; each
// is computed exactly as the formula computes it, so nothing changes.
class WeightTerms final {
public:
    explicit WeightTerms(const TRating& rating);

    // The weight of a word of class `kind` at `position`, with `tagSum` the
    // sum of (rating / 100) over the open tags from the bottom up.
    double Weight(CaseKind kind, std::int64_t position, long double tagSum) const {
        return WeightWithTagTerm(kind, position, TagTerm(tagSum));
    }
    // The same with the tag term, TagTerm(tag sum), in hand.
    double WeightWithTagTerm(CaseKind kind, std::int64_t position, long double tagTerm) const {
        long double factor = 0.0L;  // an empty file has no positions to weigh
        if (sized_) {
            long double d = spread_ * static_cast<long double>(position);
            d = d / size_;
            factor = 1.0L - d;
        }
        long double weight = factor * positionWeight_;
        weight = weight + caseTerms_[static_cast<std::size_t>(kind)];
        weight = weight + tagTerm;
        return static_cast<double>(weight);
    }

    // The two terms of the weight that do not depend on the position.
    long double TagTerm(long double tagSum) const { return tagWeight_ * tagSum; }
    long double CaseTerm(CaseKind kind) const { return caseTerms_[static_cast<std::size_t>(kind)]; }

    // True when a later position can never weigh more than an earlier one
    // with the same case class and open tags: the position term falls (or
    // stays) as the position grows, with no infinity that could turn it.
    bool FallsWithPosition() const { return fallsWithPosition_; }

private:
    bool sized_;
    long double spread_;                    // BeginOfFile - EndOfFile
    long double size_;                      // the file size
    long double positionWeight_;            // WordPositionWeight
    long double tagWeight_;                 // TagWeight
    std::array<long double, 5> caseTerms_;  // WordCaseWeight * each case rating
    bool fallsWithPosition_;
};

}  // namespace qmp
