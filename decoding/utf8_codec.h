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

}  // namespace qmp::utf8
