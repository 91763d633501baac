#include "indexing/markup_tokenizer.h"

#include <array>

#include "decoding/ansi_code_page.h"
#include "decoding/character_references.h"
#include "decoding/database_text.h"
#include "indexing/project_settings.h"

namespace qmp {

thread_local bool PendingSpace = false;

namespace {

using namespace token_bytes;

// The bytes that the word rules look at after a word's letters and digits:
// references, apostrophes, the technical names' marks and compound joints.
constexpr bool IsGlue(unsigned char byte) {
    switch (byte) {
        case '&':
        case '\'':
        case '+':
        case '#':
        case '.':
        case '_':
        case '-':
        case '/':
        case '\\':
            return true;
        default:
            return false;
    }
}

// The byte classes of the current letter test, with what they allow.
struct ByteClasses {
    std::array<std::uint8_t, 256> classes{};
    // The letters and digits among the bytes below 0x80 are exactly A-Z, a-z
    // and 0-9: a run of them can then be found eight bytes at a time.
    bool plainAscii = false;
    // Every byte from 0x80 up is a letter (UTF-8 mode).
    bool highLetters = false;
};

// The letter test follows UTF8Mode and the system code page, which set.xml
// and the start-up may change, so the classes are built again whenever
// either differs from the one they were built for. Each thread that reads
// documents keeps its own.
const ByteClasses& CurrentClasses() {
    thread_local ByteClasses table;
    thread_local bool built = false;
    thread_local bool builtUtf8 = false;
    thread_local CharsetId builtPage = 0;
    const CharsetId page = SystemCodePage();
    if (built && builtUtf8 == UTF8Mode && builtPage == page) return table;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        // In UTF-8 mode a byte from 0x80 up is part of a character that the
        // word rules look at as a whole.
        table.classes[byte] = byte <= 0x20                   ? kWhite
                              : (byte >= '0' && byte <= '9') ? kDigit
                              : byte >= 0x80 && UTF8Mode     ? kGlue
                              : IsWordChar(byte)             ? kLetter
                              : IsGlue(byte)                 ? kGlue
                                                             : kOther;
    }
    table.plainAscii = true;
    table.highLetters = true;
    for (int b = 0; b < 256; ++b) {
        const bool word = (table.classes[static_cast<std::size_t>(b)] & kWordByte) != 0;
        if (b >= 0x80)
            table.highLetters = table.highLetters && word;
        else if (word !=
                 ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')))
            table.plainAscii = false;
    }
    built = true;
    builtUtf8 = UTF8Mode;
    builtPage = page;
    return table;
}

// What an empty buffer's reader points at, so that no arithmetic is ever done
// on a null pointer.
constexpr unsigned char kNoBytes[1] = {0};

std::string_view View(const unsigned char* from, const unsigned char* to) {
    return {reinterpret_cast<const char*>(from), static_cast<std::size_t>(to - from)};
}

bool IsDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

// True for the bytes whose tokens' texts may differ from the bytes: a
// reference, an apostrophe, a "<" and a full stop; and for `stop`.
bool IsNotable(unsigned char byte, unsigned char stop) {
    return byte == stop || byte == '&' || byte == '\'' || byte == '<' || byte == '.';
}

// The high bit of every zero byte of `chunk` up to the first; above it
// there may be false ones, so only the lowest counts.
constexpr std::uint64_t FirstZeroByte(std::uint64_t chunk) {
    return (chunk - kOnes) & ~chunk & kHighBits;
}

// The first notable byte from `from` on (see IsNotable), or `end`.
const unsigned char* NextNotable(const unsigned char* from, const unsigned char* end,
                                 unsigned char stop, bool byChunk) {
    if (byChunk) {
#if defined(__SSE2__) && defined(__x86_64__)
        // Attributes run long: sixteen bytes at a time with byte compares.
        const __m128i stops = _mm_set1_epi8(static_cast<char>(stop));
        const __m128i ampersands = _mm_set1_epi8('&');
        const __m128i apostrophes = _mm_set1_epi8('\'');
        const __m128i openers = _mm_set1_epi8('<');
        const __m128i fullStops = _mm_set1_epi8('.');
        while (end - from >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            const __m128i hits = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(v, stops), _mm_cmpeq_epi8(v, ampersands)),
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, apostrophes), _mm_cmpeq_epi8(v, openers)),
                             _mm_cmpeq_epi8(v, fullStops)));
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
            if (mask != 0) return from + std::countr_zero(mask);
            from += 16;
        }
#endif
        while (end - from >= 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, from, 8);
            const std::uint64_t hits =
                FirstZeroByte(chunk ^ (kOnes * stop)) | FirstZeroByte(chunk ^ (kOnes * '&')) |
                FirstZeroByte(chunk ^ (kOnes * '\'')) | FirstZeroByte(chunk ^ (kOnes * '<')) |
                FirstZeroByte(chunk ^ (kOnes * '.'));
            if (hits != 0) return from + FirstStop(hits);
            from += 8;
        }
    }
    while (from != end && !IsNotable(*from, stop))
        ++from;
    return from;
}

// Ends a word at a white-space byte or a space entity: the space follows as a
// token of its own (`pending`), unless there is no word to return before it.
void EndWordAtSpace(std::string_view word, TokenView& token, bool& pending) {
    if (word.empty()) {
        token = {tkSpace, " "};
    } else {
        token = {tkWord, word};
        pending = true;
    }
}

}  // namespace

TokenReader::TokenReader(FileBuffer& buffer, CharsetId textCharset)
    : buffer_(buffer),
      programming_(ProgrammingLanguageMode),
      utf8_(UTF8Mode),
      textCharset_(textCharset),
      pending_(PendingSpace) {
    const ByteClasses& current = CurrentClasses();
    classes_ = current.classes.data();
    lower_ = AnsiLowerTable();
    runsByChunk_ = std::endian::native == std::endian::little && current.plainAscii;
    highLetters_ = current.highLetters;
    const std::string_view data = buffer.Data();
    begin_ = data.empty() ? kNoBytes : reinterpret_cast<const unsigned char*>(data.data());
    end_ = begin_ + data.size();
    lastWide_ = runsByChunk_ && data.size() >= 16 ? reinterpret_cast<std::uintptr_t>(end_ - 16) : 0;
    lastQuad_ = data.size() >= 4 ? reinterpret_cast<std::uintptr_t>(end_ - 4) : 0;
    // A position outside the bytes reads as the end and is left as it was.
    outsidePosition_ = buffer.Position();
    outside_ = outsidePosition_ < 0 || outsidePosition_ > static_cast<std::int64_t>(data.size());
    at_ = outside_ ? end_ : begin_ + outsidePosition_;
}

TokenReader::~TokenReader() {
    Sync();
}

void TokenReader::Sync() {
    SeekBuffer(buffer_, outside_ ? outsidePosition_ : at_ - begin_, SeekOrigin::kBegin);
    PendingSpace = pending_;
}

void TokenReader::Next(Token& token) {
    TokenView view;
    Next(view);
    token.Kind = view.Kind;
    token.Text.assign(view.Text.data(), view.Text.size());
}

inline const unsigned char* TokenReader::EndOfRun(const unsigned char* from) const {
    if (runsByChunk_) {
        while (end_ - from >= 8) {
            const std::uint64_t stops = RunStops(from, highLetters_);
            if (stops == 0) {
                from += 8;
                continue;
            }
            from += FirstStop(stops);
            if (*from < 0x80) return from;
            break;  // a byte from 0x80 up: the letter test decides
        }
    }
    while (from != end_ && (classes_[*from] & kWordByte) != 0)
        ++from;
    return from;
}

void TokenReader::ReadNext(TokenView& token) {
    if (pending_) {
        pending_ = false;
        token = {tkSpace, " "};
        return;
    }
    if (at_ == end_) {
        token = {tkEnd, {}};
        return;
    }
    const unsigned char* start = at_;
    const unsigned char x = *at_;
    if ((classes_[x] & kLetter) != 0) {
        // Most words are a run of letters and digits that white space or a
        // byte of no word rule ends; anything else takes the word rules.
        const unsigned char* end = EndOfRun(at_ + 1);
        const std::uint8_t after = end != end_ ? classes_[*end] : std::uint8_t{kOther};
        if ((after & kWhite) != 0) {
            pending_ = true;
            at_ = end + 1;
        } else if ((after & kGlue) == 0) {
            at_ = end;
        } else {
            at_ = end;
            return ReadWord(start, token);
        }
        token = {tkWord, View(start, end)};
        return;
    }
    if (x == '&' || (x == '_' && programming_) || (x >= 0x80 && (classes_[x] & kGlue) != 0))
        return ReadWord(start, token);
    ++at_;
    ReadSingle(start, token);
}

// Reads a word from `start` on; the bytes up to the position are its first
// letters and digits. The word is a view of the buffer's bytes from `start`
// for as long as every byte read is taken as it stands; a reference or a
// dropped apostrophe moves it into the scratch text, which then collects the
// rest.
void TokenReader::ReadWord(const unsigned char* start, TokenView& token) {
    bool copied = false;
    const auto word = [&](const unsigned char* end) {
        return copied ? std::string_view(scratch_) : View(start, end);
    };
    const auto copy = [&](const unsigned char* end) {
        if (!copied) scratch_.assign(View(start, end));
        copied = true;
    };
    for (;;) {
        const unsigned char* run = at_;
        at_ = EndOfRun(at_);
        if (copied) scratch_.append(View(run, at_));
        if (at_ == end_) {
            token = {tkWord, word(at_)};
            return;
        }
        const unsigned char* xAt = at_;
        const unsigned char x = *at_++;
        if (x >= 0x80 && (classes_[x] & kGlue) != 0) {  // a character of UTF-8 mode
            const TextCharacter c = FirstCharacter(View(xAt, end_), textCharset_);
            at_ = xAt + c.length;
            if (c.ch != 0 && IsWordCharacter(c.ch)) {
                if (copied) scratch_.append(View(xAt, at_));
                continue;
            }
            // Punctuation and symbols end the word and are tokens of their own.
            if (word(xAt).empty()) {
                token = {tkSymbol, View(xAt, at_)};
            } else {
                at_ = xAt;
                token = {tkWord, word(xAt)};
            }
            return;
        }
        if (x == '-') {
            if (at_ != end_ && *at_ == '>') {  // a comment closer: read next time
                at_ = xAt;
                token = {tkWord, word(xAt)};
                return;
            }
        } else if ((classes_[x] & kWhite) != 0) {
            return EndWordAtSpace(word(xAt), token, pending_);
        }
        if (x == '&') {
            copy(xAt);
            const std::size_t before = scratch_.size();
            at_ += AppendCharacterReference(View(at_, end_), scratch_, textCharset_);
            const std::size_t added = scratch_.size() - before;
            if (added == 1 && scratch_.back() == ' ') {  // a space entity ends the word
                scratch_.pop_back();
                return EndWordAtSpace(scratch_, token, pending_);
            }
            if (utf8_) {
                const std::string_view text = std::string_view(scratch_).substr(before);
                const TextCharacter c = FirstCharacter(text, textCharset_);
                if (c.length == text.size() && IsWordCharacter(c.ch)) continue;
                if (text == "'" && before > 0) {  // an apostrophe, as written out
                    scratch_.resize(before);
                    continue;
                }
                // Any other character ends the word, and is read again as a
                // token of its own.
                if (before > 0) {
                    scratch_.resize(before);
                    at_ = xAt;
                    token = {tkWord, scratch_};
                } else {
                    token = {tkSymbol, scratch_};
                }
                return;
            }
            if (added >= 2) scratch_.push_back(' ');
            continue;
        }
        if (x == '\'') {  // don't reads as dont
            copy(xAt);
            continue;
        }
        if (KeepsInWord(x, word(xAt))) {
            if (copied) scratch_.push_back(static_cast<char>(x));
            continue;
        }
        if (!word(xAt).empty()) {
            at_ = xAt;  // x is read again
            token = {tkWord, word(xAt)};
            return;
        }
        return ReadSingle(xAt, token);
    }
}

// Whether the byte `x` after `word` (neither a letter nor a digit) is kept in
// it: the technical names, and the hyphen, slash or backslash of a compound.
bool TokenReader::KeepsInWord(unsigned char x, std::string_view word) const {
    switch (x) {
        case '+':
            if (LowerEquals(word, "c") || LowerEquals(word, "c+") || LowerEquals(word, "com"))
                return true;
            break;
        case '#':
            if (LowerEquals(word, "c")) return true;
            break;
        case '.':
            if (LowerEquals(word, "asp") || LowerEquals(word, "x")) return true;
            break;
        default:
            break;
    }
    if (programming_ &&
        (x == '_' || (x == '/' && (LowerEquals(word, "c++") || LowerEquals(word, "tcp"))) ||
         (x == '-' && (LowerEquals(word, "wi") || LowerEquals(word, "objective")))))
        return true;
    // Hyphenated and slashed compounds (e-mail, and/or) stay one word.
    if (x == '-' || x == '/' || x == '\\')
        return at_ != end_ && ((classes_[*at_] & kWordByte) != 0 || WordCharacterAt(at_) != 0);
    return false;
}

std::size_t TokenReader::WordCharacterAt(const unsigned char* at) const {
    if (*at < 0x80 || (classes_[*at] & kGlue) == 0) return 0;
    const TextCharacter c = FirstCharacter(View(at, end_), textCharset_);
    return c.ch != 0 && IsWordCharacter(c.ch) ? c.length : 0;
}

// A token that starts with the byte at `at` (already read), a byte that does
// not start a word.
void TokenReader::ReadSingle(const unsigned char* at, TokenView& token) {
    const unsigned char x = *at;
    const std::uint8_t xClass = classes_[x];
    if ((xClass & kWhite) != 0) {
        token = {tkSpace, " "};
        return;
    }
    if ((xClass & kDigit) != 0) {
        token.Kind = tkNumber;
        while (at_ != end_) {
            const unsigned char y = *at_;
            if (IsDigit(y) || y == ',' || y == '-' || y == '.' || y == ':') {
                ++at_;
                continue;
            }
            if (y == 'd' || y == 'D') {  // 3d, 2D
                ++at_;
                token.Kind = tkWord;
            }
            break;
        }
        token.Text = View(at, at_);
        return;
    }
    // A byte that makes a token of two with a ">" after it.
    const auto pairedWithClose = [&](TokenKind pair, std::string_view both,
                                     std::string_view alone) {
        if (at_ != end_ && *at_ == '>') {
            ++at_;
            token = {pair, both};
        } else {
            token = {tkSymbol, alone};
        }
    };
    switch (x) {
        case '-':
            return pairedWithClose(tkCommentClose, "->", "-");
        case '.':
            // Three bytes are looked at; when fewer follow, they are consumed.
            if (end_ - at_ < 3) {
                at_ = end_;
                token = {tkSymbol, "."};
                return;
            }
            if (LowerEquals(View(at_, at_ + 3), "net")) {
                token = {tkWord, ".net"};
                return;
            }
            token = {tkSymbol, "."};
            return;
        case '/':
            return pairedWithClose(tkEmptyTagClose, "/>", "/");
        case '<': {
            if (at_ == end_) {
                token = {tkEnd, {}};
                return;
            }
            const unsigned char y = *at_++;
            if (y == '/') {
                token = {tkEndTagOpen, "</"};
                return;
            }
            if (y == '?') {
                token = {tkPIOpen, "<?"};
                return;
            }
            if (y == '!') {
                if (at_ == end_) {
                    token = {tkEnd, {}};
                    return;
                }
                if (*at_++ == '-') {
                    token = {tkCommentOpen, "<!-"};
                    return;
                }
                at_ -= 2;  // the "!" is read again as a symbol
                token = {tkDeclOpen, "<!"};
                return;
            }
            --at_;
            token = {tkTagOpen, "<"};
            return;
        }
        case '>':
            token = {tkTagClose, ">"};
            return;
        default:
            token = {tkSymbol, View(at, at_)};
            return;
    }
}

const unsigned char* TokenReader::FirstNonPlain(unsigned char stop) const {
    const unsigned char* at = at_;
    for (;;) {
        at = NextNotable(at, end_, stop, runsByChunk_);
        if (at == end_ || *at == stop) return at;
        // A full stop is read with the three bytes after it, and then stepped
        // back over unless too few of them are there.
        if (*at != '.' || end_ - at < 4 || LowerEquals(View(at + 1, at + 4), "net")) return at;
        ++at;
    }
}

bool TokenReader::SkipToFarTagEnd(bool emptyTagEnds, TokenView& token, std::int64_t& length) {
    const unsigned char* close = FirstNonPlain('>');
    if (close == end_ || *close != '>') return false;
    bool empty = false;
    if (close != at_) {
        // A "->" is no tag end; a "/>" is one only where the slash cannot
        // stay in a word before it.
        if (close[-1] == '-') return false;
        if (close[-1] == '/') {
            if (!emptyTagEnds || programming_) return false;
            empty = true;
        }
    }
    length += (pending_ ? 1 : 0) + (close + 1 - at_);
    pending_ = false;
    at_ = close + 1;
    token = empty ? TokenView{tkEmptyTagClose, "/>"} : TokenView{tkTagClose, ">"};
    return true;
}

bool TokenReader::SkipTextToTag(std::int64_t room, std::int64_t& length) {
    if (at_ < textBlockedUntil_) return false;
    const unsigned char* stop = FirstNonPlain('<');
    if (stop != end_ && *stop != '<') {
        // Up to a byte that needs the tokens read one by one, the text can
        // still be counted to just after a white-space byte: no token goes on
        // over one, and the space after a word is then read too. Until that
        // byte is passed, no more is tried.
        textBlockedUntil_ = stop + 1;
        while (stop != at_ && (classes_[stop[-1]] & token_bytes::kWhite) == 0)
            --stop;
        if (stop == at_) return false;
    }
    const std::int64_t text = (pending_ ? 1 : 0) + (stop - at_);
    if (text > room) return false;
    length += text;
    pending_ = false;
    at_ = stop;
    return true;
}

// True when `word`, lower-cased by the system's ANSI rules, equals `lower`.
bool LowerEquals(std::string_view word, std::string_view lower) {
    if (word.size() != lower.size()) return false;
    const unsigned char* table = AnsiLowerTable();
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (table[static_cast<unsigned char>(word[i])] != static_cast<unsigned char>(lower[i]))
            return false;
    }
    return true;
}

void NextToken(FileBuffer& buffer, Token& token, CharsetId textCharset) {
    TokenReader(buffer, textCharset).Next(token);
}

Token NextToken(FileBuffer& buffer) {
    Token token;
    NextToken(buffer, token);
    return token;
}

bool NextElementName(FileBuffer& buffer, Token& token) {
    TokenReader reader(buffer);
    return ReadToElement(reader, token, [](std::string_view) { return true; });
}

bool FindElement(FileBuffer& buffer, std::string_view name) {
    TokenReader reader(buffer);
    TokenView token;
    return ReadToElement(reader, token,
                         [name](std::string_view word) { return LowerEquals(word, name); });
}

bool SkipToTagEnd(FileBuffer& buffer) {
    TokenReader reader(buffer);
    TokenView token;
    for (;;) {
        reader.Next(token);
        if (token.Kind == tkTagClose || token.Kind == tkEmptyTagClose) return true;
        if (token.Kind == tkEnd) return false;
    }
}

std::string ReadCharacterReference(FileBuffer& buffer, char current) {
    return ReadCharacterReference(
        [&buffer]() -> int {
            const ByteRead read = ReadBytes(buffer, 1);
            return read.bytes.empty() ? -1 : static_cast<unsigned char>(read.bytes[0]);
        },
        current);
}

}  // namespace qmp
