#pragma once
// The markup tokenizer shared by every reader of markup: the rating settings
// files, the keyword rating and the head fields of a page. It cuts a buffer
// into words, numbers, single white-space bytes, punctuation and the pieces of
// tags and comments; callers walk the token stream themselves.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/file_buffer.h"
#include "decoding/charsets.h"
#include "indexing/token_bytes.h"

namespace qmp {

// Token kinds; callers test ranges of these numbers (5 to 12 are the pieces of
// tags, comments and declarations). Kind 3 does not occur.
enum TokenKind : std::uint8_t {
    tkEnd = 0,            // no more bytes (also after a "<" or "<!" at the very end)
    tkNumber = 1,         // digits with "," "-" "." ":" inside
    tkSpace = 2,          // " ", one per white-space byte
    tkSymbol = 4,         // one byte
    tkTagOpen = 5,        // "<"
    tkTagClose = 6,       // ">"
    tkEndTagOpen = 7,     // "</"
    tkEmptyTagClose = 8,  // "/>"
    tkCommentOpen = 9,    // "<!-"
    tkCommentClose = 10,  // "->"
    tkDeclOpen = 11,      // "<!"
    tkPIOpen = 12,        // "<?"
    tkWord = 13,          // a word
};

struct Token {
    TokenKind Kind = tkEnd;
    std::string Text;
};

// A token whose text is borrowed: from the buffer when the token's bytes
// stand there unchanged, else from the reader's own scratch text or a
// constant. Valid until the reader reads again or goes.
struct TokenView {
    TokenKind Kind = tkEnd;
    std::string_view Text;
};

// Set when a word was ended by a white-space byte: the next token is that
// space. One flag for each thread, not one per buffer; consumers ignore a
// stray space token, and a document is read from a clear flag. A reader takes
// the flag up when it is made and hands it back by Sync.
extern thread_local bool PendingSpace;

// Reads consecutive tokens of one buffer, with the modes and the letter test
// taken once when it is made: a scan of a whole document then pays for them
// only once. The buffer's position is brought up to date by Sync and when the
// reader goes; nothing else may move it (or set PendingSpace) in between,
// and the modes must not change while the reader lives. In UTF-8 mode the
// characters of the text decide what joins a word (letters, digits, combining
// marks), read as text in `textCharset`, the character set its words will be
// converted from; a character reference gives its character written for that
// character set.
class TokenReader final {
public:
    explicit TokenReader(FileBuffer& buffer, CharsetId textCharset = kCharsetUtf8);
    ~TokenReader();
    TokenReader(const TokenReader&) = delete;
    TokenReader& operator=(const TokenReader&) = delete;

    // Reads the next token into `token`, as NextToken does.
    void Next(Token& token);
    // The same without a copy of the text: most tokens are bytes of the buffer.
    // The commonest token, a word of letters and digits that white space or a
    // byte of no word rule ends, is read right here in the caller's loop.
    void Next(TokenView& token) {
        std::uint64_t head;
        if (!pending_ && (ReadPlainWord(token, head) || ReadPlainByte(token))) return;
        ReadNext(token);
    }
    // Reads the next token as Next does when it is such a word of the
    // buffer, with eight bytes or more readable from its first byte; false,
    // having read nothing, otherwise. A word of up to eight bytes also comes
    // as `head`, its bytes as WordTable::LoadChunk gives them.
    [[gnu::always_inline]] bool NextPlainWord(TokenView& token, std::uint64_t& head) {
        return !pending_ && ReadPlainWord(token, head);
    }
    // Whether a word of NextPlainWord may hold bytes from 0x80 up; else its
    // bytes are ASCII letters and digits.
    bool PlainWordsMayBeHigh() const { return highLetters_; }
    // Next, after NextPlainWord gave false.
    void NextNotPlainWord(TokenView& token) {
        if (!pending_ && ReadPlainByte(token)) return;
        ReadNext(token);
    }
    // Reads the tokens up to and including the next ">" (or "/>" when
    // `emptyTagEnds`), adding the lengths of their texts to `length`; the
    // last token is left in `token`. Gives false, having read nothing, when
    // the bytes on the way hold something whose tokens a plain count could
    // get wrong (a reference, an apostrophe, a "<", a "->", a ".net", a "."
    // near the end, or no ">" at all); the caller then reads them token by
    // token. The tokens of the bytes up to a ">" otherwise have texts of one
    // byte per byte, which is what makes the count plain.
    bool SkipToTagEnd(bool emptyTagEnds, TokenView& token, std::int64_t& length) {
        // Most tags have no attributes: their ">" comes at once.
        if (pending_ || at_ == end_ || *at_ != '>')
            return SkipToFarTagEnd(emptyTagEnds, token, length);
        ++at_;
        ++length;
        token = {tkTagClose, ">"};
        return true;
    }
    // Reads the tokens up to the next "<", which is left to be read, adding
    // the lengths of their texts to `length`, provided they come to at most
    // `room` bytes; false, having read nothing, otherwise or as above. Where
    // the bytes on the way need reading one by one, it stops after the last
    // white-space byte before them.
    bool SkipTextToTag(std::int64_t room, std::int64_t& length);

    // Writes the reading position back to the buffer, and the pending space
    // to PendingSpace.
    void Sync();

    // Whether the white-space byte that ended the last word is still to come
    // as a token of its own; clearing it passes over that space.
    bool HasPendingSpace() const { return pending_; }
    void ClearPendingSpace() { pending_ = false; }

private:
    [[gnu::always_inline]] bool ReadPlainWord(TokenView& token, std::uint64_t& head) {
        using namespace token_bytes;
        if (reinterpret_cast<std::uintptr_t>(at_) > lastWide_ || (classes_[*at_] & kLetter) == 0)
            return false;
        std::uint64_t chunk = 0;
        const int length = RunLength16(at_, highLetters_, chunk);
        // 0: a letter from 0x80 up, which the letter test decides; 16: a
        // longer run.
        if (length == 0 || length == 16) return false;
        head = chunk & kHeadMasks[static_cast<std::size_t>(length)];
        const unsigned char stop = at_[length];
        const std::uint8_t after = classes_[stop];
        // Of the bytes that may continue a word, a full stop only continues
        // "asp" and "x": after any word of another length it ends the word
        // (a sentence's last word).
        if ((after & kGlue) != 0 ? stop != '.' || length == 1 || length == 3
                                 : !highLetters_ && stop >= 0x80)
            return false;
        token = {tkWord, {reinterpret_cast<const char*>(at_), static_cast<std::size_t>(length)}};
        at_ += length;
        if ((after & kWhite) != 0) {
            pending_ = true;
            ++at_;
        }
        return true;
    }
    // The next commonest tokens, read here too: a white-space byte, a full
    // stop that neither comes near the end nor may start ".net", the opener of
    // a start or end tag, and a byte of no word rule (a comma, a quote).
    bool ReadPlainByte(TokenView& token) {
        if (reinterpret_cast<std::uintptr_t>(at_) > lastQuad_) return false;
        const unsigned char x = *at_;
        const std::uint8_t xClass = classes_[x];
        if ((xClass & token_bytes::kWhite) != 0) {
            ++at_;
            token = {tkSpace, " "};
            return true;
        }
        if (x == '.' && lower_[at_[1]] != 'n') {
            ++at_;
            token = {tkSymbol, "."};
            return true;
        }
        if (x == '<') {
            if (at_[1] == '/') {
                at_ += 2;
                token = {tkEndTagOpen, "</"};
                return true;
            }
            if (at_[1] == '?' || at_[1] == '!') return false;
            ++at_;
            token = {tkTagOpen, "<"};
            return true;
        }
        if (xClass == token_bytes::kOther && x != '>') {
            token = {tkSymbol, {reinterpret_cast<const char*>(at_), 1}};
            ++at_;
            return true;
        }
        return false;
    }
    void ReadNext(TokenView& token);
    bool SkipToFarTagEnd(bool emptyTagEnds, TokenView& token, std::int64_t& length);
    // The first byte from `from` on that is neither a letter nor a digit.
    const unsigned char* EndOfRun(const unsigned char* from) const;
    void ReadWord(const unsigned char* start, TokenView& token);
    void ReadSingle(const unsigned char* at, TokenView& token);
    // The first byte from the position on that is `stop` or that a plain
    // count of bytes could get wrong, or the end.
    const unsigned char* FirstNonPlain(unsigned char stop) const;
    bool KeepsInWord(unsigned char x, std::string_view word) const;
    // UTF-8 mode: the length of the word character at `at`, or 0 when the
    // character there is none.
    std::size_t WordCharacterAt(const unsigned char* at) const;

    FileBuffer& buffer_;
    const unsigned char* begin_;
    const unsigned char* end_;
    const unsigned char* at_;       // the reading position, within begin_..end_
    std::int64_t outsidePosition_;  // a position outside the bytes, kept as it was
    bool outside_;
    const std::uint8_t* classes_;  // the byte classes of the letter test (256 entries)
    const unsigned char* lower_;   // the code page's lower-case table
    bool runsByChunk_;             // runs of letters can be found eight bytes at a time
    // The addresses, as numbers, of the last byte from which sixteen and four
    // bytes can be read; 0 when there is none (or runs are not read by chunks).
    std::uintptr_t lastWide_;
    std::uintptr_t lastQuad_;
    bool highLetters_;             // every byte from 0x80 up is a letter
    bool programming_;
    bool utf8_;              // UTF-8 mode: characters from 0x80 up decide on their own
    CharsetId textCharset_;  // what the text's characters are read as in UTF-8 mode
    bool pending_;           // PendingSpace while the reader reads
    std::string scratch_;  // the text of a word that is not a run of the buffer's bytes
    const unsigned char* textBlockedUntil_ = nullptr;  // no text is skipped before this
};

// True when `word`, lower-cased by the system's ANSI rules, equals `lower`.
bool LowerEquals(std::string_view word, std::string_view lower);

// Reads tokens up to a "<" directly followed by a word that `accept` takes,
// left in `token` (a Token or a TokenView): true with the position just after
// that word; false at the end of the buffer. The token after a "<" is
// consumed whatever it is.
template <typename AnyToken, typename Accept>
bool ReadToElement(TokenReader& reader, AnyToken& token, Accept accept) {
    for (;;) {
        reader.Next(token);
        if (token.Kind == tkEnd) return false;
        if (token.Kind != tkTagOpen) continue;
        reader.Next(token);
        if (token.Kind == tkEnd) return false;
        if (token.Kind == tkWord && accept(std::string_view(token.Text))) return true;
    }
}

// Reads the next token at the buffer's position into `token` (its text's
// storage is reused, which keeps long scans free of allocations).
void NextToken(FileBuffer& buffer, Token& token, CharsetId textCharset = kCharsetUtf8);

// The next token at the buffer's position.
Token NextToken(FileBuffer& buffer);

// Reads tokens up to a "<" directly followed by a word, left in `token`: true
// with the position just after that word; false at the end of the buffer.
// The token after a "<" is consumed whatever it is.
bool NextElementName(FileBuffer& buffer, Token& token);

// Reads tokens up to a "<" directly followed by a word whose text, lower-cased
// by the system's ANSI rules, equals `name` (given in lower case). True with
// the position just after that word; false at the end of the buffer.
bool FindElement(FileBuffer& buffer, std::string_view name);

// Reads tokens up to ">" or "/>" (true) or the end of the buffer (false).
bool SkipToTagEnd(FileBuffer& buffer);

// Reads the rest of the character reference that starts with `current` (an
// "&") from the buffer and gives its replacement text.
std::string ReadCharacterReference(FileBuffer& buffer, char current);

}  // namespace qmp
