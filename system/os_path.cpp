#include "system/os_path.h"

#include <algorithm>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"

namespace qmp {
namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Length of the valid UTF-8 sequence at the start of `s` (1-4), or 0 when the
// bytes there are not one (overlong forms, surrogates and values above
// U+10FFFF are not valid). `codePoint` receives its value.
std::size_t ValidSequence(std::string_view s, char32_t& codePoint) {
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
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    return n;
}

}  // namespace

std::string ToOsPath(std::string_view ansiPath) {
    if (IsAscii(ansiPath)) return std::string(ansiPath);
    return WideToUtf8(CharsetToWide(ansiPath, kCharsetUnknown));
}

std::string FromOsName(std::string_view osName) {
    if (IsAscii(osName)) return std::string(osName);
    std::string out;
    out.reserve(osName.size());
    while (!osName.empty()) {
        char32_t cp = 0;
        const std::size_t n = ValidSequence(osName, cp);
        if (n == 0) {
            out.push_back('?');
            osName.remove_prefix(1);
            continue;
        }
        if (cp > 0xFFFF) {
            out += "??";  // a surrogate pair: two code units the code page lacks
        } else {
            out.push_back(WideCharToAnsi(static_cast<char16_t>(cp)));
        }
        osName.remove_prefix(n);
    }
    return out;
}

}  // namespace qmp
