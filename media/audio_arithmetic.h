#pragma once
// Byte order and rounding shared by the audio readers.

#include <cstdint>

namespace qmp {

constexpr std::uint32_t BigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

constexpr std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
           (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

constexpr std::uint64_t LittleEndian64(const std::uint8_t* bytes) {
    return std::uint64_t{LittleEndian32(bytes)} | (std::uint64_t{LittleEndian32(bytes + 4)} << 32);
}

// numerator / denominator rounded to the nearest integer, a half going to the
// even neighbour; exact, unlike floating point (13.5 must give 14). The
// denominator must not be 0.
constexpr std::uint64_t RoundedQuotient(std::uint64_t numerator, std::uint64_t denominator) {
    const std::uint64_t quotient = numerator / denominator;
    const std::uint64_t remainder = numerator % denominator;
    const std::uint64_t other = denominator - remainder;  // distance to the next integer
    if (remainder > other || (remainder == other && quotient % 2 == 1)) return quotient + 1;
    return quotient;
}

// The same for a signed numerator (the half rule is symmetric about zero).
constexpr std::int64_t RoundedQuotientSigned(std::int64_t numerator, std::uint64_t denominator) {
    const std::uint64_t magnitude = numerator < 0 ? 0 - static_cast<std::uint64_t>(numerator)
                                                  : static_cast<std::uint64_t>(numerator);
    const std::uint64_t rounded = RoundedQuotient(magnitude, denominator);
    return numerator < 0 ? -static_cast<std::int64_t>(rounded) : static_cast<std::int64_t>(rounded);
}

// `value` limited to what 32 unsigned bits hold.
constexpr std::uint32_t SaturateTo32(std::uint64_t value) {
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

}  // namespace qmp
