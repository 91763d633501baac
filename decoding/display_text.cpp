#include "decoding/display_text.h"

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "decoding/database_text.h"
#include "decoding/utf8_codec.h"

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

bool IsHighSurrogate(char32_t cp) {
    return cp >= 0xD800 && cp <= 0xDBFF;
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        char32_t cp = 0;
        std::size_t n = utf8::WellFormedSequence(text, cp);
        if (n == 0) {
            out += kReplacement;
            text.remove_prefix(1);
            continue;
        }
        if (IsHighSurrogate(cp)) {
            char32_t low = 0;
            const std::size_t m =
                text.size() > n ? utf8::WellFormedSequence(text.substr(n), low) : 0;
            if (m != 0 && utf8::IsSurrogate(low) && !IsHighSurrogate(low)) {
                AppendCodePoint(0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00), out);
                n += m;
            } else {
                out += kReplacement;
            }
        } else if (utf8::IsSurrogate(cp)) {
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

std::string TypedAnsiText(std::string_view typedUtf8) {
    return WideToAnsi(Utf8ToWide(typedUtf8));
}

std::string TypedDatabaseText(std::string_view typedUtf8) {
    return UTF8Mode ? ValidUtf8(typedUtf8) : TypedAnsiText(typedUtf8);
}

}  // namespace qmp
