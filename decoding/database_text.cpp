#include "decoding/database_text.h"

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "decoding/utf8_codec.h"

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

bool ToDatabaseTextKeepsText(std::string_view charsetName) {
    return !UTF8Mode || AnsiLowerCase(charsetName) == "utf-8";
}

std::string ToDatabaseText(std::string_view text, std::string_view charsetName) {
    if (ToDatabaseTextKeepsText(charsetName)) return std::string(text);
    const CharsetId id = CharsetFromName(charsetName);
    if (id == kCharsetUtf8) return WideToUtf8(Utf8ToWide(text));  // e.g. the name "8"
    const HighHalfTable* own = CharsetHighHalf(id);
    const HighHalfTable& table = own != nullptr ? *own : SystemTable();
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            out.push_back(ch);
        } else {
            utf8::Append(table[byte - 0x80], out);
        }
    }
    return out;
}

std::string FromDatabaseText(std::string_view text) {
    if (!UTF8Mode) return std::string(text);
    std::string out;
    out.reserve(text.size());
    utf8::Decode(text, [&out](char16_t u) { out.push_back(WideCharToAnsi(u)); });
    return out;
}

std::string DatabaseLowerCase(std::string_view text) {
    if (!UTF8Mode) return AnsiLowerCase(text);
    std::string out;
    out.reserve(text.size());
    utf8::Decode(text, [&out](char16_t u) { utf8::Append(WideLowerChar(u), out); });
    return out;
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
