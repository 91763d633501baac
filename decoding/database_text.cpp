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

bool IsControl(char32_t ch) {
    return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F);
}

void AppendCodePoint(char32_t ch, std::string& out) {
    if (ch < 0x10000) return utf8::Append(static_cast<char16_t>(ch), out);
    out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
}

// The character at the start of `text` when it is well-formed UTF-8, a pair
// of surrogate forms included; its length, or 0.
std::size_t Utf8Character(std::string_view text, char32_t& ch) {
    const std::size_t n = utf8::WellFormedSequence(text, ch);
    if (n == 0 || !utf8::IsSurrogate(ch)) return n;
    char32_t low = 0;
    if (ch >= 0xDC00 || utf8::WellFormedSequence(text.substr(n), low) != 3 || low < 0xDC00 ||
        low > 0xDFFF)
        return 0;
    ch = 0x10000 + ((ch - 0xD800) << 10) + (low - 0xDC00);
    return 6;
}

}  // namespace

std::string StorableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    if (!UTF8Mode) {
        // Bytes from 0x80 up are characters of the code page.
        for (char c : text)
            out.push_back(c >= 0 && IsControl(static_cast<unsigned char>(c)) ? ' ' : c);
        return out;
    }
    while (!text.empty()) {
        char32_t ch = 0;
        std::size_t n = Utf8Character(text, ch);
        if (n == 0) {
            ch = AnsiCharToWide(static_cast<unsigned char>(text[0]));
            n = 1;
        }
        if (IsControl(ch))
            out.push_back(' ');
        else if (n == 6 || (n == 1 && ch >= 0x80))
            AppendCodePoint(ch, out);
        else
            out.append(text.substr(0, n));
        text.remove_prefix(n);
    }
    return out;
}

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
