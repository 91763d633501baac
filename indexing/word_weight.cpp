#include "indexing/word_weight.h"

#include <unicode/uchar.h>

#include <cmath>

#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"
#include "decoding/utf8_codec.h"
#include "indexing/word_table.h"

namespace qmp {
namespace {

// How a byte counts in the letter-case test, as bits.
enum CaseBits : std::uint8_t {
    kCaseDigit = 1,    // "0" to "9"
    kCaseSame = 2,     // equals its own upper-case form
    kCaseChanges = 4,  // differs from it
};

// The case bits of every byte in the system code page; built again when the
// code page changes. Each thread that reads documents keeps its own.
const std::array<std::uint8_t, 256>& CaseBytes() {
    thread_local std::array<std::uint8_t, 256> bits{};
    thread_local CharsetId builtFor = 0;
    const CharsetId page = SystemCodePage();
    if (builtFor != page) {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            bits[byte] =
                static_cast<std::uint8_t>((AnsiUpperChar(byte) == byte ? kCaseSame : kCaseChanges) |
                                          (b >= '0' && b <= '9' ? kCaseDigit : 0));
        }
        builtFor = page;
    }
    return bits;
}

using token_bytes::InRange;
using token_bytes::kHighBits;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The class from what the bytes of a word were found to be.
CaseKind KindOf(bool firstIsDigit, std::uint8_t seen) {
    if (firstIsDigit) return CaseKind::kDigit;
    if ((seen & kCaseDigit) != 0) return CaseKind::kCode;
    if ((seen & kCaseChanges) == 0) return CaseKind::kUpper;
    if ((seen & kCaseSame) == 0) return CaseKind::kLower;
    return CaseKind::kMixed;
}

}  // namespace

CaseKind ClassifyCase(std::string_view word) {
    const std::array<std::uint8_t, 256>& bytes = CaseBytes();
    std::uint8_t seen = 0;
    bool ascii = true;
    for (char c : word) {
        const auto byte = static_cast<unsigned char>(c);
        ascii = ascii && byte < 0x80;
        seen |= bytes[byte];
    }
    const bool firstIsDigit = !word.empty() && IsDigit(word.front());
    if (UTF8Mode && !ascii && !firstIsDigit && (seen & kCaseDigit) == 0) {
        seen = 0;
        utf8::Decode(word, [&](char16_t unit) {
            seen |= u_toupper(unit) == unit ? kCaseSame : kCaseChanges;
        });
    }
    return KindOf(firstIsDigit, seen);
}

double CaseRating(const TRating& rating, CaseKind kind) {
    switch (kind) {
        case CaseKind::kDigit:
            return rating.DigitRating;
        case CaseKind::kCode:
            return rating.CodeRating;
        case CaseKind::kUpper:
            return rating.XXXRating;
        case CaseKind::kLower:
            return rating.zzzRating;
        case CaseKind::kMixed:
            break;
    }
    return rating.YyyRating;
}

WordKey LowerWordInGeneral(std::string_view word, std::string& lower) {
    // ASCII text lower-cases the same way in both modes and in every code
    // page; it is taken eight bytes at a time. Anything else takes the
    // conversions of the database text.
    const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
    const std::size_t size = word.size();
    std::uint64_t hash = WordTable::kHashStart;
    std::uint64_t high = 0;
    std::uint64_t capitals = 0;
    std::uint64_t smalls = 0;
    std::uint64_t digits = 0;
    std::uint64_t caseless = 0;  // bytes equal to their own upper-case form
    std::uint64_t head = 0;      // the first eight bytes in lower case
    for (std::size_t i = 0; i < size; i += 8) {
        const std::size_t count = size - i;
        const std::uint64_t chunk = WordTable::LoadChunk(bytes + i, count);
        const std::uint64_t present =
            count >= 8 ? kHighBits : kHighBits & ((std::uint64_t{1} << (8 * count)) - 1);
        const std::uint64_t capital = InRange(chunk, 'A', 'Z');
        const std::uint64_t small = InRange(chunk, 'a', 'z');
        high |= chunk & kHighBits;
        capitals |= capital;
        smalls |= small;
        digits |= InRange(chunk, '0', '9');
        caseless |= present & ~small;
        const std::uint64_t lowered = chunk | (capital >> 2);  // 0x80 >> 2 is 0x20
        if (i == 0) head = lowered;
        hash = WordTable::HashChunk(hash, lowered);
    }
    if (high != 0) {
        lower = DatabaseLowerCase(word);
        return {WordTable::MakeKey(lower), ClassifyCase(word), lower};
    }
    std::string_view lowered = word;
    if (capitals != 0) {
        lower.assign(word);
        for (char& c : lower) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
        }
        lowered = lower;
    }
    return {{WordTable::HashFinish(hash, size), head},
            AsciiKind(size != 0 && IsDigit(word.front()), digits, smalls, caseless),
            lowered};
}

WeightTerms::WeightTerms(const TRating& rating)
    : sized_(rating.FileSize != 0),
      spread_(static_cast<long double>(rating.BeginOfFile) -
              static_cast<long double>(rating.EndOfFile)),
      size_(static_cast<long double>(rating.FileSize)),
      positionWeight_(static_cast<long double>(rating.WordPositionWeight)),
      tagWeight_(static_cast<long double>(rating.TagWeight)),
      caseTerms_() {
    for (CaseKind kind : {CaseKind::kDigit, CaseKind::kCode, CaseKind::kUpper, CaseKind::kLower,
                          CaseKind::kMixed}) {
        caseTerms_[static_cast<std::size_t>(kind)] =
            static_cast<long double>(rating.WordCaseWeight) *
            static_cast<long double>(CaseRating(rating, kind));
    }
    // Each step of the position term is monotonic when these hold, and
    // rounding keeps a monotonic step monotonic.
    fallsWithPosition_ =
        !sized_ || (size_ > 0.0L && std::isfinite(spread_) && std::isfinite(positionWeight_) &&
                    ((spread_ >= 0.0L && positionWeight_ >= 0.0L) ||
                     (spread_ <= 0.0L && positionWeight_ <= 0.0L)));
}

}  // namespace qmp
