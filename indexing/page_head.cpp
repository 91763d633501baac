#include "indexing/page_head.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"
#include "indexing/markup_tokenizer.h"

namespace qmp {
namespace {

// For each byte, whether it may follow a byte being looked for where what
// is looked for can start.
using FollowerBytes = std::array<bool, 256>;

// The offset of the first `first` byte from `at` on, passing over those that
// are followed by a byte that `follower` rules out, or `size` when there is
// none.
std::size_t NextPairStart(const unsigned char* data, std::size_t at, std::size_t size,
                          unsigned char first, const FollowerBytes& follower) {
#if defined(__SSE2__) && defined(__x86_64__)
    // Thirty-two bytes at a time, and the byte after them, with byte compares.
    const __m128i firsts = _mm_set1_epi8(static_cast<char>(first));
    for (; size - at > 32; at += 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 16));
        auto hits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, firsts))) |
                    (static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, firsts)))
                     << 16);
        for (; hits != 0; hits &= hits - 1) {
            const std::size_t hit = at + static_cast<std::size_t>(std::countr_zero(hits));
            if (follower[data[hit + 1]]) return hit;
        }
    }
#endif
    for (; at < size; ++at) {
        if (data[at] == first && (size - at == 1 || follower[data[at + 1]])) return at;
    }
    return size;
}

// The bytes that may follow a quote where a mark can start: those that
// upper-case to the second byte of a mark (every byte, for a mark of one).
FollowerBytes MarkFollowers(const unsigned char* upper, const std::string_view* marks,
                            std::size_t count) {
    FollowerBytes follower{};
    for (std::size_t m = 0; m < count; ++m) {
        if (marks[m].size() < 2) {
            follower.fill(true);
            return follower;
        }
        const unsigned char second = upper[static_cast<unsigned char>(marks[m][1])];
        for (int b = 0; b < 256; ++b)
            follower[static_cast<std::size_t>(b)] |= upper[b] == second;
    }
    return follower;
}

// False only when no "<" from `from` on can start the element `name` (of N
// letters): the bytes after it cannot spell the name (an apostrophe inside a
// word is dropped, and a character reference could stand for any letter, so
// either makes a maybe). The tokens need not then be read to learn that the
// rest of a page holds no such element.
template <std::size_t N>
bool MayHoldElement(std::string_view data, std::size_t from, std::string_view name) {
    // The system's ANSI lower-casing of every byte: a byte can spell a letter
    // of the name when it lower-cases to it.
    const unsigned char* lower = AnsiLowerTable();
    // A "<" followed by a byte that can spell no first letter of the name,
    // nor stand for one, is passed over without a look.
    // Worked out again only when the code page or the letter changes.
    thread_local bool seen = false;
    thread_local CharsetId seenPage = 0;
    thread_local unsigned char seenFirst = 0;
    thread_local FollowerBytes follower{};
    const auto first = static_cast<unsigned char>(name[0]);
    const CharsetId page = SystemCodePage();
    if (!seen || seenPage != page || seenFirst != first) {
        for (int b = 0; b < 256; ++b)
            follower[static_cast<std::size_t>(b)] = b == '&' || lower[b] == first;
        seen = true;
        seenPage = page;
        seenFirst = first;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    while (from < data.size()) {
        const std::size_t found = NextPairStart(bytes, from, data.size(), '<', follower);
        if (found == data.size()) return false;
        std::size_t at = found + 1;
        from = at;
        std::size_t letter = 0;
        for (; at < data.size() && letter < N; ++at) {
            const auto byte = static_cast<unsigned char>(data[at]);
            if (byte == '&') return true;
            if (byte == '\'' && letter > 0) continue;
            if (lower[byte] != static_cast<unsigned char>(name[letter])) break;
            ++letter;
        }
        if (letter == N) return true;
    }
    return false;
}

// Reads up to a "<" directly followed by a word that, lower-cased by the
// system's ANSI rules, is `name` (lower case): true just after that word.
template <typename AnyToken>
bool FindElementIn(TokenReader& reader, AnyToken& token, std::string_view name) {
    return ReadToElement(reader, token,
                         [name](std::string_view word) { return LowerEquals(word, name); });
}

bool IsTagEnd(TokenKind kind) {
    return kind == tkTagClose || kind == tkEmptyTagClose;
}

bool IsStop(TokenKind kind) {
    return IsTagEnd(kind) || kind == tkEnd;
}

bool IsQuote(const TokenView& token) {
    return token.Kind == tkSymbol && (token.Text == "\"" || token.Text == "'");
}

// Letters A to Z only: the meta values are compared as ASCII.
std::string AsciiLower(std::string_view view) {
    std::string text(view);
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Reads to the next word, stopping at a tag end or the end: true at a word.
bool ReadToWord(TokenReader& reader, TokenView& token) {
    do {
        reader.Next(token);
        if (token.Kind == tkWord) return true;
    } while (!IsStop(token.Kind));
    return false;
}

// A content attribute's value: skips to a quote, then collects the texts of
// words, numbers, spaces and symbols up to the next quote (tag pieces are
// dropped). A tag end or the end of the file stops either part, and is left
// in `token`; a value cut short by the end is still the value.
void ReadContentValue(TokenReader& reader, TokenView& token, std::string& collected) {
    do {
        reader.Next(token);
        if (IsStop(token.Kind)) return;
    } while (!IsQuote(token));
    collected.clear();
    for (;;) {
        reader.Next(token);
        if (IsStop(token.Kind) || IsQuote(token)) return;
        if (token.Kind <= tkSymbol || token.Kind == tkWord) collected += token.Text;
    }
}

enum class MetaKind { kNone, kDescription, kContentType, kOther };

}  // namespace

std::string ReadPageTitle(FileBuffer& buffer, std::string_view charset) {
    SeekBuffer(buffer, 0, SeekOrigin::kBegin);
    // Without a title element the tokens are not read at all; the space
    // pending at their end would be none.
    if (!MayHoldElement<5>(buffer.Data(), 0, "title")) {
        PendingSpace = false;
        return {};
    }
    TokenReader reader(buffer, CharsetFromName(charset));
    Token token;
    if (!FindElementIn(reader, token, "title")) return {};
    do {
        reader.Next(token);
        if (token.Kind == tkEnd) return {};
    } while (!IsTagEnd(token.Kind));
    std::string title;
    for (;;) {
        reader.Next(token);
        if (token.Kind == tkEnd || (token.Kind >= tkTagOpen && token.Kind <= tkPIOpen))
            return title;
        title += token.Text;
    }
}

namespace {

MetaFields ReadMetaFieldsAs(FileBuffer& buffer, CharsetId textCharset) {
    SeekBuffer(buffer, 0, SeekOrigin::kBegin);
    TokenReader reader(buffer, textCharset);
    TokenView token;
    MetaFields fields;
    for (;;) {
        reader.Sync();
        if (!MayHoldElement<4>(buffer.Data(), static_cast<std::size_t>(buffer.Position()),
                               "meta")) {
            // Reading the tokens to the end would find nothing and leave no
            // space pending.
            reader.ClearPendingSpace();
            return fields;
        }
        if (!FindElementIn(reader, token, "meta")) return fields;
        MetaKind kind = MetaKind::kNone;
        std::string collected;
        for (;;) {
            reader.Next(token);
            if (token.Kind == tkWord) {
                if (token.Text == "name") {
                    if (ReadToWord(reader, token))
                        kind = AsciiLower(token.Text) == "description" ? MetaKind::kDescription
                                                                       : MetaKind::kOther;
                } else if (token.Text == "charset") {
                    if (ReadToWord(reader, token)) fields.charset = AsciiLower(token.Text);
                } else if (token.Text == "http-equiv") {
                    if (ReadToWord(reader, token))
                        kind = AsciiLower(token.Text) == "content-type" ? MetaKind::kContentType
                                                                        : MetaKind::kOther;
                } else if (token.Text == "content") {
                    ReadContentValue(reader, token, collected);
                }
            }
            // The checks after each token; a reading above that stopped at a
            // tag end or at the end of the file leaves that token here.
            if (IsTagEnd(token.Kind)) {
                collected.clear();
                kind = MetaKind::kNone;
            }
            if (kind == MetaKind::kOther) break;
            if (kind == MetaKind::kContentType && !collected.empty()) {
                const std::string lower = AsciiLower(collected);
                const std::size_t equals = lower.find('=');
                if (equals != std::string::npos) fields.charset = lower.substr(equals + 1);
                collected.clear();
            }
            if (kind == MetaKind::kDescription && !collected.empty()) {
                fields.description = std::move(collected);
                break;
            }
            if (token.Kind == tkEnd) return fields;
        }
    }
}

}  // namespace

MetaFields ReadMetaFields(FileBuffer& buffer) {
    // The description's characters are read as UTF-8 first: a page that
    // declares another character set is read once more as that.
    // The character set's name is the one the first reading found: read as
    // another character set, bytes that are no part of a name could join it.
    MetaFields fields = ReadMetaFieldsAs(buffer, kCharsetUtf8);
    const CharsetId declared = CharsetFromName(fields.charset);
    if (UTF8Mode && declared != kCharsetUtf8)
        fields.description = ReadMetaFieldsAs(buffer, declared).description;
    return fields;
}

void FindQuotedMarks(FileBuffer& buffer, const std::string_view* marks, std::int64_t* ends,
                     std::size_t count) {
    std::fill(ends, ends + count, std::int64_t{-1});
    const std::string_view bytes = buffer.Data();
    const unsigned char* upper = AnsiUpperTable();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    // The candidates are the quotes; in a code page in which another byte
    // upper-cases to a quote, every byte is one.
    int quotes = 0;
    for (int b = 0; b < 256; ++b)
        quotes += upper[b] == '"' ? 1 : 0;
    const FollowerBytes follower = quotes == 1 ? MarkFollowers(upper, marks, count) : FollowerBytes{};
    std::size_t missing = count;
    std::size_t at = 0;
    // Once a single mark is left, FindText looks for it from here on by its
    // rarest byte.
    for (; at < size && missing > 1; ++at) {
        if (quotes == 1) {
            at = NextPairStart(data, at, size, '"', follower);
            if (at == size) return;
        } else if (upper[data[at]] != '"') {
            continue;
        }
        for (std::size_t m = 0; m < count; ++m) {
            const std::string_view mark = marks[m];
            if (ends[m] >= 0 || size - at < mark.size()) continue;
            std::size_t i = 1;  // the quote is there
            while (i < mark.size() &&
                   upper[data[at + i]] == upper[static_cast<unsigned char>(mark[i])])
                ++i;
            if (i < mark.size()) continue;
            ends[m] = static_cast<std::int64_t>(at + mark.size());
            --missing;
        }
    }
    for (std::size_t m = 0; m < count && missing == 1 && at < size; ++m) {
        std::int64_t position = static_cast<std::int64_t>(at);
        if (ends[m] < 0 && FindText(buffer, marks[m], position)) ends[m] = position;
    }
}

}  // namespace qmp
