#include "decoding/ansi_code_page.h"

#include <unicode/uchar.h>

#include <memory>

namespace qmp {
namespace {

// Everything derived from the system code page, rebuilt when it changes.
struct CodePageState {
    CharsetId id = 0;
    HighHalfTable table{};
    // Byte of each BMP character in the code page; 0 where it has none
    // (U+0000 itself is handled before the lookup).
    std::unique_ptr<unsigned char[]> reverse = std::make_unique<unsigned char[]>(0x10000);
    bool alpha[256] = {};
    unsigned char upper[256] = {};
    unsigned char lower[256] = {};
};

unsigned char ReverseLookup(const CodePageState& s, char16_t ch, unsigned char fallback) {
    if (ch < 0x80) return static_cast<unsigned char>(ch);
    const unsigned char byte = s.reverse[ch];
    return byte != 0 ? byte : fallback;
}

void Build(CodePageState& s, CharsetId id) {
    s.id = id;
    const HighHalfTable& source = *CharsetHighHalf(id);
    for (std::size_t i = 0; i < 128; ++i) {
        // A byte the code page cannot convert on its own reads as "?"; the
        // single-byte tables define every byte, so this guards the rule only.
        s.table[i] = source[i] != 0 ? source[i] : u'?';
    }
    std::fill_n(s.reverse.get(), 0x10000, 0);
    for (int i = 127; i >= 0; --i) {  // lowest byte wins when two share a character
        s.reverse[s.table[static_cast<std::size_t>(i)]] = static_cast<unsigned char>(0x80 + i);
    }
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const char16_t ch = b < 0x80 ? char16_t(b) : s.table[static_cast<std::size_t>(b - 0x80)];
        s.alpha[b] = b < 0x80 ? (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') : WideIsAlpha(ch);
        const UChar32 up = u_toupper(ch);
        const UChar32 low = u_tolower(ch);
        s.upper[b] = up <= 0xFFFF ? ReverseLookup(s, static_cast<char16_t>(up), byte) : byte;
        s.lower[b] = low <= 0xFFFF ? ReverseLookup(s, static_cast<char16_t>(low), byte) : byte;
    }
}

CodePageState& State() {
    static CodePageState state = [] {
        CodePageState s;
        Build(s, kCharsetWindows1252);
        return s;
    }();
    return state;
}

}  // namespace

void SetSystemCodePage(CharsetId id) {
    if (CharsetHighHalf(id) == nullptr) return;
    CodePageState& s = State();
    if (s.id != id) Build(s, id);
}

CharsetId SystemCodePage() {
    return State().id;
}

const HighHalfTable& SystemTable() {
    return State().table;
}

char16_t AnsiCharToWide(unsigned char byte) {
    return byte < 0x80 ? char16_t{byte} : State().table[byte - 0x80];
}

char WideCharToAnsi(char16_t ch, char defaultChar) {
    return static_cast<char>(ReverseLookup(State(), ch, static_cast<unsigned char>(defaultChar)));
}

std::string WideToAnsi(std::u16string_view text, char defaultChar) {
    const CodePageState& s = State();
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] =
            static_cast<char>(ReverseLookup(s, text[i], static_cast<unsigned char>(defaultChar)));
    }
    return out;
}

bool AnsiIsAlpha(unsigned char byte) {
    return State().alpha[byte];
}

bool WideIsAlpha(char16_t ch) {
    if (ch >= 0xD800 && ch <= 0xDFFF) return false;
    return u_isalpha(ch) != 0;
}

unsigned char AnsiUpperChar(unsigned char byte) {
    return State().upper[byte];
}
const unsigned char* AnsiLowerTable() {
    return State().lower;
}

const unsigned char* AnsiUpperTable() {
    return State().upper;
}

unsigned char AnsiLowerChar(unsigned char byte) {
    return State().lower[byte];
}

std::string AnsiUpperCase(std::string_view text) {
    const CodePageState& s = State();
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(s.upper[static_cast<unsigned char>(c)]);
    return out;
}

std::string AnsiLowerCase(std::string_view text) {
    const CodePageState& s = State();
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(s.lower[static_cast<unsigned char>(c)]);
    return out;
}

}  // namespace qmp
