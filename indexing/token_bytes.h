#pragma once
// The byte classes of the markup tokenizer and the eight-bytes-at-a-time
// tests it reads runs of letters with; shared by the tokenizer's inline and
// out-of-line parts only.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace qmp::token_bytes {

// Byte classes as bits, so that a word's run of letters and digits costs one
// test per byte.
enum ByteClass : std::uint8_t {
    kOther = 0,
    kLetter = 1,
    kDigit = 2,
    kWhite = 4,
    kGlue = 8,  // may continue a word after its letters and digits, or change it
};
constexpr std::uint8_t kWordByte = kLetter | kDigit;

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// The high bit of every byte of `chunk` (bytes below 0x80) from `low` to
// `high`; no byte's sum carries into the next.
constexpr std::uint64_t InRange(std::uint64_t chunk, unsigned char low, unsigned char high) {
    return (chunk + kOnes * (0x80u - low)) & ~(chunk + kOnes * (0x7Fu - high)) & kHighBits;
}

// The eight bytes at `bytes`, the first lowest (little-endian machines only).
inline std::uint64_t LoadBytes(const unsigned char* bytes) {
    std::uint64_t chunk;
    std::memcpy(&chunk, bytes, 8);
    return chunk;
}

// The high bit of every byte of `chunk` (LoadBytes) that ends a run of
// letters and digits: not A-Z, a-z or 0-9, and, unless `highLetters`, not
// from 0x80 up.
inline std::uint64_t RunStopsOf(std::uint64_t chunk, bool highLetters) {
    const std::uint64_t high = chunk & kHighBits;
    const std::uint64_t low = chunk & ~kHighBits;
    // A byte from 0x80 up may look like a letter in its low seven bits.
    const std::uint64_t asciiLetterOrDigit =
        (InRange(low | (kOnes * 0x20u), 'a', 'z') | InRange(low, '0', '9')) & ~high;
    return ~(asciiLetterOrDigit | (highLetters ? high : 0)) & kHighBits;
}

// The same for the eight bytes at `bytes`.
inline std::uint64_t RunStops(const unsigned char* bytes, bool highLetters) {
    return RunStopsOf(LoadBytes(bytes), highLetters);
}

// The number of bytes, up to sixteen, from `bytes` on before the first that
// RunStops takes for a stop (16: none of the sixteen is), with `head` the
// first eight bytes as LoadBytes gives them. Sixteen bytes must be readable.
inline int RunLength16ByChunks(const unsigned char* bytes, bool highLetters, std::uint64_t& head) {
    head = LoadBytes(bytes);
    const std::uint64_t first = RunStopsOf(head, highLetters);
    if (first != 0) return std::countr_zero(first) >> 3;
    const std::uint64_t second = RunStops(bytes + 8, highLetters);
    return second != 0 ? 8 + (std::countr_zero(second) >> 3) : 16;
}

// The same, with the machine's byte compares where it has them.
inline int RunLength16(const unsigned char* bytes, bool highLetters, std::uint64_t& head) {
#if defined(__SSE2__) && defined(__x86_64__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    // Signed compares after an offset: a byte is in the range when it lands
    // at the bottom of the signed bytes; no byte from 0x80 up lands there.
    const __m128i letter = _mm_cmplt_epi8(
        _mm_add_epi8(_mm_or_si128(v, _mm_set1_epi8(0x20)), _mm_set1_epi8(0x80 - 'a')),
        _mm_set1_epi8(-128 + 26));
    const __m128i digit =
        _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(0x80 - '0')), _mm_set1_epi8(-128 + 10));
    __m128i run = _mm_or_si128(letter, digit);
    if (highLetters) run = _mm_or_si128(run, _mm_cmplt_epi8(v, _mm_setzero_si128()));
    head = static_cast<std::uint64_t>(_mm_cvtsi128_si64(v));
    return std::countr_one(static_cast<unsigned>(_mm_movemask_epi8(run)));
#else
    return RunLength16ByChunks(bytes, highLetters, head);
#endif
}

// By a word's length: the bits of its first eight bytes (at most) in a
// LoadBytes chunk.
constexpr std::array<std::uint64_t, 17> kHeadMasks = [] {
    std::array<std::uint64_t, 17> masks{};
    for (std::size_t length = 0; length < masks.size(); ++length)
        masks[length] = length >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * length)) - 1;
    return masks;
}();

// The byte index of the first stop of a nonzero RunStops result.
inline int FirstStop(std::uint64_t stops) {
    return std::countr_zero(stops) >> 3;
}

}  // namespace qmp::token_bytes
