#include "indexing/markup_tokenizer.h"

#include <array>

#include "decoding/ansi_code_page.h"
#include "decoding/character_references.h"
#include "decoding/database_text.h"
#include "indexing/project_settings.h"

namespace qmp {

bool PendingSpace = false;

namespace {

enum ByteClass : std::uint8_t { kOther, kLetter, kDigit, kWhite };

// Byte classes for the current letter test. The letter test follows UTF8Mode
// and the system code page, which set.xml and the start-up may change, so the
// table is rebuilt whenever either differs from the one it was built for.
class ClassTable final {
public:
    const std::array<ByteClass, 256>& Current() {
        const CharsetId page = SystemCodePage();
        if (!built_ || utf8_ != UTF8Mode || page_ != page) {
            for (int b = 0; b < 256; ++b) {
                const auto byte = static_cast<unsigned char>(b);
                classes_[byte] = byte <= 0x20                   ? kWhite
                                 : (byte >= '0' && byte <= '9') ? kDigit
                                 : IsWordChar(byte)             ? kLetter
                                                                : kOther;
            }
            built_ = true;
            utf8_ = UTF8Mode;
            page_ = page;
        }
        return classes_;
    }

private:
    std::array<ByteClass, 256> classes_{};
    bool built_ = false;
    bool utf8_ = false;
    CharsetId page_ = 0;
};

ClassTable& Classes() {
    static ClassTable table;
    return table;
}

// Reads the buffer's bytes directly at a position kept by its owner, who
// writes it back to the buffer. A step back is only ever made over a byte that
// was actually read, so the position never leaves the bytes read.
class Cursor final {
public:
    Cursor(FileBuffer& buffer, const unsigned char* data, std::int64_t size, std::int64_t& pos)
        : buffer_(buffer), data_(data), size_(size), pos_(pos) {}
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // The next byte, or -1 at the end (also for a position outside the bytes).
    int Read() {
        if (pos_ < 0 || pos_ >= size_) return -1;
        return data_[pos_++];
    }
    // Appends the run of letters and digits at the position to `out`.
    void AppendWordRun(const std::array<ByteClass, 256>& classes, std::string& out) {
        if (pos_ < 0) return;
        std::int64_t end = pos_;
        while (end < size_ && (classes[data_[end]] == kLetter || classes[data_[end]] == kDigit))
            ++end;
        out.append(reinterpret_cast<const char*>(data_ + pos_),
                   static_cast<std::size_t>(end - pos_));
        pos_ = end;
    }

    // The next byte without consuming it, or -1.
    int Peek() const { return pos_ < 0 || pos_ >= size_ ? -1 : data_[pos_]; }
    void Back(int count = 1) { pos_ -= count; }

    std::string ReadReference(char current) {
        SeekBuffer(buffer_, pos_, SeekOrigin::kBegin);
        std::string text = ReadCharacterReference(buffer_, current);
        pos_ = buffer_.Position();
        return text;
    }

private:
    FileBuffer& buffer_;
    const unsigned char* data_;
    std::int64_t size_;
    std::int64_t& pos_;
};

// True when `word`, lower-cased by the system's ANSI rules, equals `lower`.
bool LowerEquals(std::string_view word, std::string_view lower) {
    if (word.size() != lower.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (AnsiLowerChar(static_cast<unsigned char>(word[i])) !=
            static_cast<unsigned char>(lower[i]))
            return false;
    }
    return true;
}

void Set(Token& token, TokenKind kind, std::string_view text) {
    token.Kind = kind;
    // Byte by byte: these texts are a few bytes long, and GCC 12 warns
    // wrongly (-Wrestrict) about a whole-string assign of them when inlined.
    token.Text.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        token.Text[i] = text[i];
}

// A token that starts with `x`, a byte that does not start a word.
void ReadSingleToken(Cursor& in, int x, ByteClass xClass, Token& token) {
    if (xClass == kWhite) return Set(token, tkSpace, " ");
    if (xClass == kDigit) {
        token.Kind = tkNumber;
        token.Text.assign(1, static_cast<char>(x));
        for (;;) {
            const int y = in.Read();
            if (y < 0) return;
            if ((y >= '0' && y <= '9') || y == ',' || y == '-' || y == '.' || y == ':') {
                token.Text.push_back(static_cast<char>(y));
            } else if (y == 'd' || y == 'D') {  // 3d, 2D
                token.Text.push_back(static_cast<char>(y));
                token.Kind = tkWord;
                return;
            } else {
                in.Back();
                return;
            }
        }
    }
    switch (x) {
        case '-': {
            const int y = in.Read();
            if (y == '>') return Set(token, tkCommentClose, "->");
            if (y >= 0) in.Back();
            return Set(token, tkSymbol, "-");
        }
        case '.': {
            // Up to three bytes are read; they are stepped back over only when
            // all three were there.
            char next[3];
            int count = 0;
            for (; count < 3; ++count) {
                const int y = in.Read();
                if (y < 0) break;
                next[count] = static_cast<char>(y);
            }
            if (count < 3) return Set(token, tkSymbol, ".");
            in.Back(3);
            if (LowerEquals(std::string_view(next, 3), "net")) return Set(token, tkWord, ".net");
            return Set(token, tkSymbol, ".");
        }
        case '/': {
            const int y = in.Read();
            if (y == '>') return Set(token, tkEmptyTagClose, "/>");
            if (y >= 0) in.Back();
            return Set(token, tkSymbol, "/");
        }
        case '<': {
            const int y = in.Read();
            if (y < 0) return Set(token, tkEnd, "");
            if (y == '/') return Set(token, tkEndTagOpen, "</");
            if (y == '?') return Set(token, tkPIOpen, "<?");
            if (y == '!') {
                const int z = in.Read();
                if (z < 0) return Set(token, tkEnd, "");
                if (z == '-') return Set(token, tkCommentOpen, "<!-");
                in.Back(2);  // the "!" is read again as a symbol
                return Set(token, tkDeclOpen, "<!");
            }
            in.Back();
            return Set(token, tkTagOpen, "<");
        }
        case '>':
            return Set(token, tkTagClose, ">");
        default:
            token.Kind = tkSymbol;
            token.Text.assign(1, static_cast<char>(x));
            return;
    }
}

// Ends a word at a white-space byte or a space entity: the space follows as a
// token of its own, unless there is no word to return before it.
void EndWordAtSpace(Token& token) {
    if (token.Text.empty()) {
        Set(token, tkSpace, " ");
    } else {
        token.Kind = tkWord;
        PendingSpace = true;
    }
}

// Reads a word starting at the position (the first byte was stepped back over).
void ReadWord(Cursor& in, const std::array<ByteClass, 256>& classes, bool programming,
              Token& token) {
    token.Kind = tkWord;
    token.Text.clear();
    std::string& word = token.Text;
    for (;;) {
        in.AppendWordRun(classes, word);
        int x = in.Read();
        if (x < 0) return;
        const ByteClass xClass = classes[static_cast<unsigned char>(x)];
        if (x == '-') {
            const int y = in.Read();
            if (y == '>') {  // a comment closer: read next time
                in.Back(2);
                return;
            }
            if (y >= 0) in.Back();
        } else if (xClass == kWhite) {
            return EndWordAtSpace(token);
        }
        if (x == '&') {
            const std::string text = in.ReadReference('&');
            if (text == " ") return EndWordAtSpace(token);
            word += text;
            if (text.size() >= 2) word.push_back(' ');
            continue;
        }
        if (x == '\'') continue;  // don't reads as dont
        if (x == '+' &&
            (LowerEquals(word, "c") || LowerEquals(word, "c+") || LowerEquals(word, "com"))) {
            word.push_back('+');
            continue;
        }
        if (x == '#' && LowerEquals(word, "c")) {
            word.push_back('#');
            continue;
        }
        if (x == '.' && (LowerEquals(word, "asp") || LowerEquals(word, "x"))) {
            word.push_back('.');
            continue;
        }
        if (programming &&
            (x == '_' || (x == '/' && (LowerEquals(word, "c++") || LowerEquals(word, "tcp"))) ||
             (x == '-' && (LowerEquals(word, "wi") || LowerEquals(word, "objective"))))) {
            word.push_back(static_cast<char>(x));
            continue;
        }
        // Hyphenated and slashed compounds (e-mail, and/or) stay one word.
        if (x == '-' || x == '/' || x == '\\') {
            const int following = in.Peek();
            if (following >= 0 && (classes[static_cast<unsigned char>(following)] == kLetter ||
                                   classes[static_cast<unsigned char>(following)] == kDigit)) {
                word.push_back(static_cast<char>(x));
                continue;
            }
        }
        if (!word.empty()) {
            in.Back();
            return;
        }
        return ReadSingleToken(in, x, xClass, token);
    }
}

}  // namespace

TokenReader::TokenReader(FileBuffer& buffer)
    : buffer_(buffer),
      data_(reinterpret_cast<const unsigned char*>(buffer.Data().data())),
      size_(buffer.Size()),
      pos_(buffer.Position()),
      classes_(&Classes().Current()),
      programming_(ProgrammingLanguageMode) {}

TokenReader::~TokenReader() {
    Sync();
}

void TokenReader::Sync() {
    SeekBuffer(buffer_, pos_, SeekOrigin::kBegin);
}

void TokenReader::Next(Token& token) {
    if (PendingSpace) {
        PendingSpace = false;
        return Set(token, tkSpace, " ");
    }
    const std::array<ByteClass, 256>& classes =
        *static_cast<const std::array<ByteClass, 256>*>(classes_);
    Cursor in(buffer_, data_, size_, pos_);
    const int x = in.Read();
    if (x < 0) return Set(token, tkEnd, "");
    const ByteClass xClass = classes[static_cast<unsigned char>(x)];
    if (xClass == kLetter || x == '&' || (x == '_' && programming_)) {
        in.Back();
        return ReadWord(in, classes, programming_, token);
    }
    ReadSingleToken(in, x, xClass, token);
}

void NextToken(FileBuffer& buffer, Token& token) {
    TokenReader(buffer).Next(token);
}

Token NextToken(FileBuffer& buffer) {
    Token token;
    NextToken(buffer, token);
    return token;
}

bool NextElementName(FileBuffer& buffer, Token& token) {
    for (;;) {
        NextToken(buffer, token);
        if (token.Kind == tkEnd) return false;
        if (token.Kind != tkTagOpen) continue;
        NextToken(buffer, token);
        if (token.Kind == tkEnd) return false;
        if (token.Kind == tkWord) return true;
    }
}

bool FindElement(FileBuffer& buffer, std::string_view name) {
    Token token;
    while (NextElementName(buffer, token)) {
        if (LowerEquals(token.Text, name)) return true;
    }
    return false;
}

bool SkipToTagEnd(FileBuffer& buffer) {
    Token token;
    for (;;) {
        NextToken(buffer, token);
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
