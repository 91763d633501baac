#include "decoding/display_text.h"

#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"

namespace qmp {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

void AppendCodePoint(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The code point of the UTF-8 sequence at the start of `s` and its length;
// length 0 when the bytes there are not one. Surrogate code points are
// reported (their pairing is the caller's business); overlong forms and
// values above U+10FFFF are not.
std::size_t DecodeOne(std::string_view s, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t n;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2, min = 0x80, cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3, min = 0x800, cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (s.size() < n) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF) return 0;
    return n;
}

bool IsHighSurrogate(char32_t cp) {
    return cp >= 0xD800 && cp <= 0xDBFF;
}
bool IsLowSurrogate(char32_t cp) {
    return cp >= 0xDC00 && cp <= 0xDFFF;
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        char32_t cp = 0;
        std::size_t n = DecodeOne(text, cp);
        if (n == 0) {
            out += kReplacement;
            text.remove_prefix(1);
            continue;
        }
        if (IsHighSurrogate(cp)) {
            char32_t low = 0;
            const std::size_t m = text.size() > n ? DecodeOne(text.substr(n), low) : 0;
            if (m != 0 && IsLowSurrogate(low)) {
                AppendCodePoint(0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00), out);
                n += m;
            } else {
                out += kReplacement;
            }
        } else if (IsLowSurrogate(cp)) {
            out += kReplacement;
        } else {
            out.append(text.substr(0, n));
        }
        text.remove_prefix(n);
    }
    return out;
}

std::string AnsiDisplayText(std::string_view ansiText) {
    std::string out;
    out.reserve(ansiText.size());
    for (char c : ansiText) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out.push_back(c);
        else
            AppendCodePoint(AnsiCharToWide(byte), out);
    }
    return out;
}

std::string DisplayText(std::string_view databaseText) {
    return UTF8Mode ? ValidUtf8(databaseText) : AnsiDisplayText(databaseText);
}

}  // namespace qmp
