#pragma once
// The UTF-8 decoding and encoding steps as single-pass building blocks, so that
// conversions can go from bytes to bytes without an intermediate wide text.

#include <cstdint>
#include <string>
#include <string_view>

namespace qmp::utf8 {

// What a lead byte says about the number of bytes that follow it.
constexpr int TrailingBytes(unsigned char lead) {
    if (lead < 0xC0) return 0;
    if (lead < 0xE0) return 1;
    if (lead < 0xF0) return 2;
    if (lead < 0xF8) return 3;
    if (lead < 0xFC) return 4;
    return 5;
}

// Decodes without validation, calling `emit(char16_t)` for each code unit. A
// sequence cut short by the end of the text emits nothing.
template <typename Emit>
void Decode(std::string_view text, Emit&& emit) {
    // Subtracted after accumulating a sequence of 1 + n bytes (modulo 2^32).
    constexpr std::uint32_t kOffsets[6] = {0x00000000u, 0x00003080u, 0x000E2080u,
                                           0x03C82080u, 0xFA082080u, 0x82082080u};
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        if (bytes[i] < 0x80) {
            emit(static_cast<char16_t>(bytes[i++]));
            continue;
        }
        const int n = TrailingBytes(bytes[i]);
        if (i + static_cast<std::size_t>(n) >= size) break;
        std::uint32_t v = 0;
        for (int k = 0; k < n; ++k)
            v = (v + bytes[i + k]) << 6;
        v += bytes[i + n];
        v -= kOffsets[n];
        i += static_cast<std::size_t>(n) + 1;
        if (v <= 0xFFFF) {
            emit(static_cast<char16_t>(v));
        } else if (v > 0x7FFFFFFF) {
            emit(u'\uFFFD');
        } else {
            emit(static_cast<char16_t>(0xD800 + ((v - 0x10000) >> 10)));
            emit(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        }
    }
}

// Appends the one- to three-byte form of one code unit.
inline void Append(char16_t u, std::string& out) {
    if (u < 0x80) {
        out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (u >> 6)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (u >> 12)));
        out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
}

// The length (1 to 4) of the well-formed sequence at the start of `s`, with
// its value in `codePoint`; 0 when the bytes there are not one (a stray or
// missing continuation byte, an overlong form, a value above U+10FFFF).
// Surrogate values are given as they are: the caller decides about them.
inline std::size_t WellFormedSequence(std::string_view s, char32_t& codePoint) {
    if (s.empty()) return 0;
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t n;
    char32_t min;
    if (b0 < 0x80) {
        codePoint = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2, min = 0x80, codePoint = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3, min = 0x800, codePoint = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4, min = 0x10000, codePoint = b0 & 0x07;
    } else {
        return 0;
    }
    if (s.size() < n) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[k]);
        if ((b & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (b & 0x3F);
    }
    return codePoint < min || codePoint > 0x10FFFF ? 0 : n;
}

inline bool IsSurrogate(char32_t codePoint) {
    return codePoint >= 0xD800 && codePoint <= 0xDFFF;
}

}  // namespace qmp::utf8
