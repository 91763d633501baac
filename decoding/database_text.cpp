#include "decoding/database_text.h"

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"

namespace qmp {

bool UTF8Mode = false;

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsUrlSafe(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

}  // namespace

std::string ToDatabaseText(std::string_view text, std::string_view charsetName) {
    if (!UTF8Mode) return std::string(text);
    if (AnsiLowerCase(charsetName) == "utf-8") return std::string(text);
    return WideToUtf8(CharsetToWide(text, CharsetFromName(charsetName)));
}

std::string FromDatabaseText(std::string_view text) {
    if (!UTF8Mode) return std::string(text);
    return WideToAnsi(Utf8ToWide(text));
}

std::string DatabaseLowerCase(std::string_view text) {
    if (!UTF8Mode) return AnsiLowerCase(text);
    return WideToUtf8(WideLowerCase(Utf8ToWide(text)));
}

std::string UrlEncode(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUrlSafe(c)) {
            out.push_back(ch);
        } else if (c == ' ') {
            out += "%20";
        } else {
            out.push_back('%');
            out.push_back(kHexDigits[c >> 4]);
            out.push_back(kHexDigits[c & 0x0F]);
        }
    }
    return out;
}

std::string UrlDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char ch = text[i];
        if (ch == '+') {
            out.push_back(' ');
        } else if (ch == '%') {
            if (size - i > 2) {
                const int hi = HexValue(static_cast<unsigned char>(text[i + 1]));
                const int lo = HexValue(static_cast<unsigned char>(text[i + 2]));
                out.push_back(hi < 0 || lo < 0 ? '\xFF' : static_cast<char>(hi * 16 + lo));
                i += 2;
            } else {
                out.push_back('_');
            }
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

}  // namespace qmp
