#pragma once
// The byte classes of the markup tokenizer and the eight-bytes-at-a-time
// tests it reads runs of letters with; shared by the tokenizer's inline and
// out-of-line parts only.

#include <bit>
#include <cstdint>
#include <cstring>

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

// The byte index of the first stop of a nonzero RunStops result.
inline int FirstStop(std::uint64_t stops) {
    return std::countr_zero(stops) >> 3;
}

}  // namespace qmp::token_bytes
