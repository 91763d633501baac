#include "decoding/character_references.h"

#include <array>

#include "decoding/ansi_code_page.h"
#include "decoding/charsets.h"
#include "decoding/database_text.h"

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
            CollectHexDigits(next, digits);
            const std::int32_t value = HexToIntDef(digits, '?');
            return out.push_back(static_cast<char>(value & 0xFF));
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

}  // namespace

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

std::string ReadCharacterReference(const NextByteReader& next, char current) {
    if (current != '&') return std::string(1, current);
    std::string out;
    AppendReference(next, out);
    return out;
}

std::size_t AppendCharacterReference(std::string_view rest, std::string& out) {
    std::size_t at = 0;
    auto next = [rest, &at]() -> int {
        return at < rest.size() ? static_cast<unsigned char>(rest[at++]) : -1;
    };
    AppendReference(next, out);
    return at;
}

}  // namespace qmp
