#include "decoding/charsets.h"

#include <unicode/uchar.h>

#include <cstdint>

#include "decoding/ansi_code_page.h"

namespace qmp {
namespace {

// Name lists of ids 1..23: every name followed by a full stop. A name is found
// by a substring search, so the full stop anchors only the end of a name.
constexpr std::string_view kCharsetNames[] = {
    "us-ascii.ascii.us.ibm367.cp367.",
    "utf-16.",
    "utf-8.",
    "iso-8859-1.latin1.ibm819.cp819.",
    "iso-8859-2.latin2.",
    "iso-8859-3.latin3.",
    "iso-8859-4.latin4.",
    "iso-8859-5.cyrillic.",
    "iso-8859-6.arabic.",
    "iso-8859-7.greek.greek8.",
    "iso-8859-8.hebrew.",
    "iso-8859-9.latin5.",
    "iso-8859-15.latin9.",
    "windows-1250.",
    "windows-1251.",
    "windows-1252.",
    "windows-1253.",
    "windows-1254.",
    "windows-1255.",
    "windows-1256.",
    "windows-1257.",
    "windows-1258.",
    "koi8-r.",
};

// What a UTF-8 lead byte says about the number of bytes that follow it.
constexpr int TrailingBytes(unsigned char lead) {
    if (lead < 0xC0) return 0;
    if (lead < 0xE0) return 1;
    if (lead < 0xF0) return 2;
    if (lead < 0xF8) return 3;
    if (lead < 0xFC) return 4;
    return 5;
}

// Subtracted after accumulating a sequence of 1 + n bytes (modulo 2^32).
constexpr std::uint32_t kUtf8Offsets[6] = {0x00000000u, 0x00003080u, 0x000E2080u,
                                           0x03C82080u, 0xFA082080u, 0x82082080u};

}  // namespace

CharsetId CharsetFromName(std::string_view name) {
    std::string key;
    key.reserve(name.size() + 1);
    for (char c : name)
        key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
    key.push_back('.');
    for (std::size_t i = 0; i < std::size(kCharsetNames); ++i) {
        if (kCharsetNames[i].find(key) != std::string_view::npos) {
            return static_cast<CharsetId>(i + 1);
        }
    }
    return kCharsetUnknown;
}

std::u16string CharsetToWide(std::string_view text, CharsetId id) {
    if (id == kCharsetUtf8) return Utf8ToWide(text);
    const HighHalfTable* own = CharsetHighHalf(id);
    const HighHalfTable& table = own != nullptr ? *own : SystemTable();
    std::u16string wide(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        wide[i] = byte < 0x80 ? char16_t{byte} : table[byte - 0x80];
    }
    return wide;
}

std::u16string Utf8ToWide(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const int n = TrailingBytes(bytes[i]);
        if (i + static_cast<std::size_t>(n) >= size) break;  // cut short: nothing more
        std::uint32_t v = 0;
        for (int k = 0; k < n; ++k)
            v = (v + bytes[i + k]) << 6;
        v += bytes[i + n];
        v -= kUtf8Offsets[n];
        i += static_cast<std::size_t>(n) + 1;
        if (v <= 0xFFFF) {
            wide.push_back(static_cast<char16_t>(v));
        } else if (v > 0x7FFFFFFF) {
            wide.push_back(u'\uFFFD');
        } else {
            wide.push_back(static_cast<char16_t>(0xD800 + ((v - 0x10000) >> 10)));
            wide.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        }
    }
    return wide;
}

std::string WideToUtf8(std::u16string_view text) {
    std::string out(text.size() * 3, '\0');
    std::size_t n = 0;
    for (char16_t u : text) {
        if (u < 0x80) {
            out[n++] = static_cast<char>(u);
        } else if (u < 0x800) {
            out[n++] = static_cast<char>(0xC0 | (u >> 6));
            out[n++] = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out[n++] = static_cast<char>(0xE0 | (u >> 12));
            out[n++] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out[n++] = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    out.resize(n);
    return out;
}

std::u16string WideLowerCase(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& u : lower) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const UChar32 mapped = u_tolower(u);
        if (mapped <= 0xFFFF) u = static_cast<char16_t>(mapped);
    }
    return lower;
}

}  // namespace qmp
