#include "decoding/character_references.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "decoding/database_text.h"
#include "decoding/utf8_codec.h"

namespace qmp {
namespace {

struct EntityEntry {
    std::string_view name;
    unsigned char replacement;
};

// Entities that pages use most, looked up before the Latin-1 names. The
// apostrophe gives a grave accent so that it cannot glue words together, and
// the euro sign gives its windows-1252 byte.
constexpr std::array<EntityEntry, 10> kLeadingEntities{{
    {"nbsp", 0x20},
    {"gt", 0x3E},
    {"lt", 0x3C},
    {"amp", 0x26},
    {"apos", 0x60},
    {"quot", 0x22},
    {"mdash", 0x2D},
    {"ndash", 0x2D},
    {"trade", 0x99},
    {"euro", 0x88},
}};

// Names of the ISO 8859-1 characters 0xA1..0xFF, in code order; each stands
// for the byte of its own code.
constexpr unsigned char kFirstLatin1Code = 0xA1;
constexpr std::array<std::string_view, 95> kLatin1EntityNames{
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",
    "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",
    "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",
    "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
    "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave",
    "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",    "ntilde",
    "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

constexpr std::size_t EntityTableLength() {
    std::size_t length = 0;
    for (const EntityEntry& e : kLeadingEntities)
        length += e.name.size() + 3;
    for (std::string_view name : kLatin1EntityNames)
        length += name.size() + 3;
    return length;
}

constexpr auto kEntityTable = [] {
    std::array<char, EntityTableLength()> table{};
    std::size_t at = 0;
    auto add = [&](std::string_view name, unsigned char replacement) {
        for (char c : name)
            table[at++] = c;
        table[at++] = '[';
        table[at++] = static_cast<char>(replacement);
        table[at++] = ']';
    };
    for (const EntityEntry& e : kLeadingEntities)
        add(e.name, e.replacement);
    for (std::size_t i = 0; i < kLatin1EntityNames.size(); ++i)
        add(kLatin1EntityNames[i], static_cast<unsigned char>(kFirstLatin1Code + i));
    return table;
}();

static_assert(kEntityTable.size() == 832);

struct NamedEntity {
    std::string_view name;
    char32_t ch;
};

// The character entities of HTML 4 and "apos", ordered by name (byte order).
constexpr std::array<NamedEntity, 253> kHtmlEntities{{
    {"AElig", 0xC6},     {"Aacute", 0xC1},   {"Acirc", 0xC2},     {"Agrave", 0xC0},
    {"Alpha", 0x391},    {"Aring", 0xC5},    {"Atilde", 0xC3},    {"Auml", 0xC4},
    {"Beta", 0x392},     {"Ccedil", 0xC7},   {"Chi", 0x3A7},      {"Dagger", 0x2021},
    {"Delta", 0x394},    {"ETH", 0xD0},      {"Eacute", 0xC9},    {"Ecirc", 0xCA},
    {"Egrave", 0xC8},    {"Epsilon", 0x395}, {"Eta", 0x397},      {"Euml", 0xCB},
    {"Gamma", 0x393},    {"Iacute", 0xCD},   {"Icirc", 0xCE},     {"Igrave", 0xCC},
    {"Iota", 0x399},     {"Iuml", 0xCF},     {"Kappa", 0x39A},    {"Lambda", 0x39B},
    {"Mu", 0x39C},       {"Ntilde", 0xD1},   {"Nu", 0x39D},       {"OElig", 0x152},
    {"Oacute", 0xD3},    {"Ocirc", 0xD4},    {"Ograve", 0xD2},    {"Omega", 0x3A9},
    {"Omicron", 0x39F},  {"Oslash", 0xD8},   {"Otilde", 0xD5},    {"Ouml", 0xD6},
    {"Phi", 0x3A6},      {"Pi", 0x3A0},      {"Prime", 0x2033},   {"Psi", 0x3A8},
    {"Rho", 0x3A1},      {"Scaron", 0x160},  {"Sigma", 0x3A3},    {"THORN", 0xDE},
    {"Tau", 0x3A4},      {"Theta", 0x398},   {"Uacute", 0xDA},    {"Ucirc", 0xDB},
    {"Ugrave", 0xD9},    {"Upsilon", 0x3A5}, {"Uuml", 0xDC},      {"Xi", 0x39E},
    {"Yacute", 0xDD},    {"Yuml", 0x178},    {"Zeta", 0x396},     {"aacute", 0xE1},
    {"acirc", 0xE2},     {"acute", 0xB4},    {"aelig", 0xE6},     {"agrave", 0xE0},
    {"alefsym", 0x2135}, {"alpha", 0x3B1},   {"amp", 0x26},       {"and", 0x2227},
    {"ang", 0x2220},     {"apos", 0x27},     {"aring", 0xE5},     {"asymp", 0x2248},
    {"atilde", 0xE3},    {"auml", 0xE4},     {"bdquo", 0x201E},   {"beta", 0x3B2},
    {"brvbar", 0xA6},    {"bull", 0x2022},   {"cap", 0x2229},     {"ccedil", 0xE7},
    {"cedil", 0xB8},     {"cent", 0xA2},     {"chi", 0x3C7},      {"circ", 0x2C6},
    {"clubs", 0x2663},   {"cong", 0x2245},   {"copy", 0xA9},      {"crarr", 0x21B5},
    {"cup", 0x222A},     {"curren", 0xA4},   {"dArr", 0x21D3},    {"dagger", 0x2020},
    {"darr", 0x2193},    {"deg", 0xB0},      {"delta", 0x3B4},    {"diams", 0x2666},
    {"divide", 0xF7},    {"eacute", 0xE9},   {"ecirc", 0xEA},     {"egrave", 0xE8},
    {"empty", 0x2205},   {"emsp", 0x2003},   {"ensp", 0x2002},    {"epsilon", 0x3B5},
    {"equiv", 0x2261},   {"eta", 0x3B7},     {"eth", 0xF0},       {"euml", 0xEB},
    {"euro", 0x20AC},    {"exist", 0x2203},  {"fnof", 0x192},     {"forall", 0x2200},
    {"frac12", 0xBD},    {"frac14", 0xBC},   {"frac34", 0xBE},    {"frasl", 0x2044},
    {"gamma", 0x3B3},    {"ge", 0x2265},     {"gt", 0x3E},        {"hArr", 0x21D4},
    {"harr", 0x2194},    {"hearts", 0x2665}, {"hellip", 0x2026},  {"iacute", 0xED},
    {"icirc", 0xEE},     {"iexcl", 0xA1},    {"igrave", 0xEC},    {"image", 0x2111},
    {"infin", 0x221E},   {"int", 0x222B},    {"iota", 0x3B9},     {"iquest", 0xBF},
    {"isin", 0x2208},    {"iuml", 0xEF},     {"kappa", 0x3BA},    {"lArr", 0x21D0},
    {"lambda", 0x3BB},   {"lang", 0x2329},   {"laquo", 0xAB},     {"larr", 0x2190},
    {"lceil", 0x2308},   {"ldquo", 0x201C},  {"le", 0x2264},      {"lfloor", 0x230A},
    {"lowast", 0x2217},  {"loz", 0x25CA},    {"lrm", 0x200E},     {"lsaquo", 0x2039},
    {"lsquo", 0x2018},   {"lt", 0x3C},       {"macr", 0xAF},      {"mdash", 0x2014},
    {"micro", 0xB5},     {"middot", 0xB7},   {"minus", 0x2212},   {"mu", 0x3BC},
    {"nabla", 0x2207},   {"nbsp", 0xA0},     {"ndash", 0x2013},   {"ne", 0x2260},
    {"ni", 0x220B},      {"not", 0xAC},      {"notin", 0x2209},   {"nsub", 0x2284},
    {"ntilde", 0xF1},    {"nu", 0x3BD},      {"oacute", 0xF3},    {"ocirc", 0xF4},
    {"oelig", 0x153},    {"ograve", 0xF2},   {"oline", 0x203E},   {"omega", 0x3C9},
    {"omicron", 0x3BF},  {"oplus", 0x2295},  {"or", 0x2228},      {"ordf", 0xAA},
    {"ordm", 0xBA},      {"oslash", 0xF8},   {"otilde", 0xF5},    {"otimes", 0x2297},
    {"ouml", 0xF6},      {"para", 0xB6},     {"part", 0x2202},    {"permil", 0x2030},
    {"perp", 0x22A5},    {"phi", 0x3C6},     {"pi", 0x3C0},       {"piv", 0x3D6},
    {"plusmn", 0xB1},    {"pound", 0xA3},    {"prime", 0x2032},   {"prod", 0x220F},
    {"prop", 0x221D},    {"psi", 0x3C8},     {"quot", 0x22},      {"rArr", 0x21D2},
    {"radic", 0x221A},   {"rang", 0x232A},   {"raquo", 0xBB},     {"rarr", 0x2192},
    {"rceil", 0x2309},   {"rdquo", 0x201D},  {"real", 0x211C},    {"reg", 0xAE},
    {"rfloor", 0x230B},  {"rho", 0x3C1},     {"rlm", 0x200F},     {"rsaquo", 0x203A},
    {"rsquo", 0x2019},   {"sbquo", 0x201A},  {"scaron", 0x161},   {"sdot", 0x22C5},
    {"sect", 0xA7},      {"shy", 0xAD},      {"sigma", 0x3C3},    {"sigmaf", 0x3C2},
    {"sim", 0x223C},     {"spades", 0x2660}, {"sub", 0x2282},     {"sube", 0x2286},
    {"sum", 0x2211},     {"sup", 0x2283},    {"sup1", 0xB9},      {"sup2", 0xB2},
    {"sup3", 0xB3},      {"supe", 0x2287},   {"szlig", 0xDF},     {"tau", 0x3C4},
    {"there4", 0x2234},  {"theta", 0x3B8},   {"thetasym", 0x3D1}, {"thinsp", 0x2009},
    {"thorn", 0xFE},     {"tilde", 0x2DC},   {"times", 0xD7},     {"trade", 0x2122},
    {"uArr", 0x21D1},    {"uacute", 0xFA},   {"uarr", 0x2191},    {"ucirc", 0xFB},
    {"ugrave", 0xF9},    {"uml", 0xA8},      {"upsih", 0x3D2},    {"upsilon", 0x3C5},
    {"uuml", 0xFC},      {"weierp", 0x2118}, {"xi", 0x3BE},       {"yacute", 0xFD},
    {"yen", 0xA5},       {"yuml", 0xFF},     {"zeta", 0x3B6},     {"zwj", 0x200D},
    {"zwnj", 0x200C},
}};

bool IsHexDigit(int byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F') ||
           (byte >= 'a' && byte <= 'f');
}

// Collects bytes while they are hexadecimal digits; the byte that ends the run
// is consumed and dropped, as is every byte a reference reads.
template <typename NextByte>
void CollectHexDigits(NextByte& next, std::string& digits) {
    for (int byte = next(); byte >= 0 && IsHexDigit(byte); byte = next())
        digits.push_back(static_cast<char>(byte));
}

// The replacement of the first entity whose name ends with `name`, appended
// to `out`; "&" and the name when there is none. A name is made of word
// bytes, which "[" and "]" are not, so a match of the name and "[" always
// ends an entity's name.
void AppendEntity(std::string_view name, std::string& out) {
    const std::string_view table = EntityTable();
    for (std::size_t found = table.find(name); found != std::string_view::npos;
         found = table.find(name, found + 1)) {
        const std::size_t start = found + name.size() + 1;
        if (start > table.size() || table[start - 1] != '[') continue;
        out.append(table.substr(start, table.find(']', start) - start));
        return;
    }
    out.push_back('&');
    out.append(name);
}

// Reads the rest of a reference whose "&" has been read, taking bytes from
// `next` (-1 at the end), and appends its replacement text to `out`.
template <typename NextByte>
void AppendReference(NextByte& next, std::string& out) {
    const int second = next();
    if (second < 0) return out.push_back('\0');

    if (second == '#') {
        const int third = next();
        if (third < 0) return out.push_back('\0');
        std::string digits;
        if (third == 'x') {
            // Its value is a character like a decimal reference's: the low
            // byte alone could be any control byte.
            CollectHexDigits(next, digits);
            out += NumericReferenceText(HexToIntDef(digits, '?'));
            return;
        }
        // An upper-case X is no hexadecimal marker: it starts the decimal text,
        // which then fails the decimal test.
        digits.push_back(static_cast<char>(third));
        CollectHexDigits(next, digits);
        out += NumericReferenceText(DecToIntDef(digits, '?'));
        return;
    }

    if (IsWordChar(static_cast<unsigned char>(second))) {
        std::string name(1, static_cast<char>(second));
        for (int byte = next(); byte >= 0 && IsWordChar(static_cast<unsigned char>(byte));
             byte = next())
            name.push_back(static_cast<char>(byte));
        return AppendEntity(name, out);
    }
    out += "& ";
}

const HighHalfTable& TableOf(CharsetId charset) {
    const HighHalfTable* own = CharsetHighHalf(charset);
    return own != nullptr ? *own : SystemTable();
}

void AppendUtf8(char32_t ch, std::string& out) {
    if (ch < 0x10000) return utf8::Append(static_cast<char16_t>(ch), out);
    out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
}

// `ch` written for text in `charset`; a space when a code page lacks it.
void AppendCharacter(char32_t ch, CharsetId charset, std::string& out) {
    if (charset == kCharsetUtf8) return AppendUtf8(ch, out);
    if (ch < 0x80) return out.push_back(static_cast<char>(ch));
    const HighHalfTable& table = TableOf(charset);
    const auto* found = std::find(table.begin(), table.end(), ch);
    out.push_back(found == table.end() ? ' ' : static_cast<char>(0x80 + (found - table.begin())));
}

// The character of a numeric reference, or 0 when it stands for none that
// text may hold (nothing, a surrogate, beyond U+10FFFF, a control).
char32_t NumericCharacter(std::uint32_t code) {
    if (code >= 0x80 && code <= 0x9F) code = (*CharsetHighHalf(kCharsetWindows1252))[code - 0x80];
    if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || utf8::IsSurrogate(code) || code > 0x10FFFF)
        return 0;
    return code;
}

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A reference in UTF-8 mode, read from `rest` (what follows the "&"): its
// character is appended and the bytes it took are given; text that is no
// reference gives "&" and takes nothing.
std::size_t AppendCharacterOf(std::string_view rest, std::string& out, CharsetId charset) {
    std::size_t at = 0;
    char32_t ch = 0;
    if (!rest.empty() && rest[0] == '#') {
        const bool hex = rest.size() > 1 && (rest[1] == 'x' || rest[1] == 'X');
        at = hex ? 2 : 1;
        const std::size_t first = at;
        std::uint32_t code = 0;
        for (; at < rest.size(); ++at) {
            const auto byte = static_cast<unsigned char>(rest[at]);
            if (hex ? !IsHexDigit(byte) : (byte < '0' || byte > '9')) break;
            code = std::min<std::uint32_t>(code * (hex ? 16 : 10) + HexDigitValue(byte), 0x110000);
        }
        if (at == first) {
            out.push_back('&');
            return 0;
        }
        ch = NumericCharacter(code);
    } else {
        while (at < rest.size() && at < 32 && IsAsciiAlnum(rest[at]))
            ++at;
        ch = NamedEntityCharacter(rest.substr(0, at));
        if (ch == 0) {
            out.push_back('&');
            return 0;
        }
    }
    if (at < rest.size() && rest[at] == ';') ++at;
    if (ch == 0 || ch == 0xA0)  // a no-break space separates words like a space
        out.push_back(' ');
    else
        AppendCharacter(ch, charset, out);
    return at;
}

}  // namespace

bool IsWordCharacter(char32_t ch) {
    return (U_GET_GC_MASK(static_cast<UChar32>(ch)) & (U_GC_L_MASK | U_GC_N_MASK | U_GC_M_MASK)) !=
           0;
}

char32_t NamedEntityCharacter(std::string_view name) {
    const auto* found = std::lower_bound(
        kHtmlEntities.begin(), kHtmlEntities.end(), name,
        [](const NamedEntity& entity, std::string_view key) { return entity.name < key; });
    return found != kHtmlEntities.end() && found->name == name ? found->ch : 0;
}

TextCharacter FirstCharacter(std::string_view text, CharsetId charset) {
    if (text.empty()) return {};
    const auto byte = static_cast<unsigned char>(text[0]);
    if (byte < 0x80) return {byte, 1};
    if (charset != kCharsetUtf8) return {TableOf(charset)[byte - 0x80], 1};
    char32_t ch = 0;
    const std::size_t length = utf8::WellFormedSequence(text, ch);
    if (length == 0 || utf8::IsSurrogate(ch)) return {0, 1};
    return {ch, length};
}

bool IsWordChar(unsigned char byte) {
    if (UTF8Mode && byte >= 0x80) return true;
    return AnsiIsAlpha(byte);
}

std::string_view EntityTable() {
    return {kEntityTable.data(), kEntityTable.size()};
}

std::string EntityLookup(std::string_view name) {
    std::string out;
    AppendEntity(name, out);
    return out;
}

int HexDigitValue(unsigned char byte) {
    if (byte >= '0' && byte <= '9') return byte - '0';
    if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
    return 0;
}

std::int32_t HexToIntDef(std::string_view digits, std::int32_t defaultValue) {
    if (digits.empty()) return defaultValue;
    std::uint32_t value = 0;
    for (char c : digits)
        value =
            value * 16u + static_cast<std::uint32_t>(HexDigitValue(static_cast<unsigned char>(c)));
    return static_cast<std::int32_t>(value);
}

std::int32_t DecToIntDef(std::string_view digits, std::int32_t defaultValue) {
    if (digits.empty()) return defaultValue;
    std::uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return defaultValue;
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<std::int32_t>(value);
}

std::string NumericReferenceText(std::int32_t code) {
    const auto unit = static_cast<char16_t>(static_cast<std::uint32_t>(code) & 0xFFFFu);
    if (!WideIsAlpha(unit)) return " ";
    if (!UTF8Mode) return "?";
    return WideToUtf8(std::u16string_view(&unit, 1));
}

std::string ReadCharacterReference(const NextByteReader& next, char current,
                                   CharsetId textCharset) {
    if (current != '&') return std::string(1, current);
    std::string out;
    if (!UTF8Mode) {
        AppendReference(next, out);
        return out;
    }
    // The bytes a reference may take are read, and with them the one after
    // them; what the reference leaves of them stands for itself.
    std::string read;
    int byte = next();
    if (byte == '#') {
        read.push_back('#');
        byte = next();
        if (byte == 'x' || byte == 'X') {
            read.push_back(static_cast<char>(byte));
            byte = next();
        }
        for (; byte >= 0 && IsHexDigit(byte); byte = next())
            read.push_back(static_cast<char>(byte));
    } else {
        for (; byte >= 0 && IsAsciiAlnum(static_cast<char>(byte)); byte = next())
            read.push_back(static_cast<char>(byte));
    }
    if (byte >= 0) read.push_back(static_cast<char>(byte));
    const std::size_t taken = AppendCharacterOf(read, out, textCharset);
    out.append(read, taken);
    return out;
}

std::size_t AppendCharacterReference(std::string_view rest, std::string& out,
                                     CharsetId textCharset) {
    if (UTF8Mode) return AppendCharacterOf(rest, out, textCharset);
    std::size_t at = 0;
    auto next = [rest, &at]() -> int {
        return at < rest.size() ? static_cast<unsigned char>(rest[at++]) : -1;
    };
    AppendReference(next, out);
    return at;
}

}  // namespace qmp
