#include "indexing/keyword_rating.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"
#include "indexing/document_read.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/project_settings.h"
#include "indexing/rating_lookup.h"
#include "indexing/short_word_table.h"
#include "indexing/tag_stack.h"
#include "indexing/word_counter.h"
#include "indexing/word_weight.h"
#include "system/paths.h"

namespace qmp {
namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// ToDatabaseText of `text`, in `scratch` when it needs converting. ASCII text
// is the same in every encoding the database can have, so it is taken as it is.
std::string_view ToDatabaseView(std::string_view text, std::string_view charset,
                                std::string& scratch) {
    if (IsAscii(text)) return text;
    scratch = ToDatabaseText(text, charset);
    return scratch;
}

// AnsiLowerCase of `text` into `out`.
std::string_view AnsiLowerInto(std::string_view text, std::string& out) {
    const unsigned char* lower = AnsiLowerTable();
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(lower[static_cast<unsigned char>(text[i])]);
    return out;
}

// Removes the bytes 0x00 to 0x20 at both ends.
std::string_view Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20)
        --end;
    return text.substr(begin, end - begin);
}

// A keyword of the keywords meta whose first byte is one of these is markup
// debris or a quotation.
constexpr bool StartsLikeAKeyword(unsigned char first) {
    switch (first) {
        case ' ':
        case '"':
        case '*':
        case '<':
        case '>':
        case '&':
            return false;
        default:
            return first >= 0x20;
    }
}

// The same for a word or number of the text, which may also start with a
// copyright or trade mark sign; looked up, as every word asks.
constexpr std::array<bool, 256> kStartsLikeAWord = [] {
    std::array<bool, 256> starts{};
    for (int b = 0; b < 256; ++b) {
        const auto first = static_cast<unsigned char>(b);
        starts[first] = first != 0xA9 && first != 0x99 && StartsLikeAKeyword(first);
    }
    return starts;
}();

bool StartsLikeAWord(unsigned char first) {
    return kStartsLikeAWord[first];
}

// Rebuilds the word index from the word list, for callers from outside a
// rating: they may have changed the list, the groups or the minimal rating.
void RebuildWordIndex(TRating& rating) {
    rating.WordIndex.Clear();
    for (std::size_t i = 0; i < rating.WordList.size(); ++i) {
        if (rating.WordIndex.Find(rating.WordList[i].Word) == WordTable::kMissing)
            rating.WordIndex.Insert(rating.WordList[i].Word, static_cast<std::int32_t>(i));
    }
}

// Replaces every occurrence of `run` by one space, left to right, without
// looking again at replaced text.
void ShortenSpaces(std::string& text, std::size_t run) {
    const std::string pattern(run, ' ');
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    for (std::size_t found = text.find(pattern); found != std::string::npos;
         found = text.find(pattern, at)) {
        out.append(text, at, found - at);
        out.push_back(' ');
        at = found + run;
    }
    out.append(text, at, std::string::npos);
    text = std::move(out);
}

// A tag name of a page, in lower case: its rating in tags.xml (none: not
// there), and the tag sum it last led to from which one, since a page opens
// the same tags under the same tags again and again.
struct TagKind {
    std::optional<std::int32_t> rating;
    long double term;  // rating / 100, worked out once (a division is slow)
    std::uint32_t fromSum = kNoTagSum;
    std::uint32_t toSum = kNoTagSum;
};

// An open tag as the document reader keeps it: its kind, the number of the
// tag sum up to it (WordCounter::SumNumber), and whether it hides the text.
struct OpenTag {
    std::uint32_t kind;
    std::uint32_t sum;
    bool skip;
};

// The tag names and open tags of a page, kept between pages for their storage.
struct TagNameScratch {
    ShortWordTable written;      // short names as written -> their kind
    WordTable lowerNames;        // names in lower case -> their kind
    std::vector<TagKind> kinds;  // by kind
    std::vector<OpenTag> open;   // the open-tag stack, bottom first

    void Clear() {
        written.Clear();
        lowerNames.Clear();
        kinds.clear();
        open.clear();
    }
};

// One pass over the document's tokens: words and their positions, the open
// tags, the excerpt, and the regions that comment markers leave out.
class DocumentRater final {
public:
    DocumentRater(TRating& rating, WordCounter& counter, FileBuffer& buffer,
                  std::string_view charset, TagNameScratch& tagNames)
        : rating_(rating),
          counter_(counter),
          reader_(buffer, CharsetFromName(charset)),
          charset_(charset),
          keepsText_(ToDatabaseTextKeepsText(charset)),
          keepsPlainWords_(keepsText_ || !reader_.PlainWordsMayBeHigh()),
          bytes_(buffer.Data()),
          excerptFull_(rating.DescLength <= 0),
          tags_(tagNames),
          bottomSum_(counter.CurrentSumNumber()) {}

    std::string Run() {
        const std::int64_t limit = IndexDepthLimit;
        for (;;) {
            // Text that nothing rates: its tokens only count.
            if (quiet_) {
                std::int64_t length = 0;
                if (reader_.SkipTextToTag(limit - position_, length)) position_ += length;
            }
            std::uint64_t head = 0;
            if (reader_.NextPlainWord(token_, head)) {
                position_ += static_cast<std::int64_t>(token_.Text.size());
                if (!excluded_) {
                    ++words_;
                    if (keepsPlainWords_)
                        HandlePlainWord(head);
                    else
                        HandleWord();
                }
                // The space after it as below; a word is never the end.
                const bool space = reader_.HasPendingSpace() && position_ <= limit;
                if (space) reader_.ClearPendingSpace();
                position_ += space ? 1 : 0;
                if (position_ > limit) break;
                continue;
            }
            reader_.NextNotPlainWord(token_);
            position_ += static_cast<std::int64_t>(token_.Text.size());
            if (token_.Kind == tkWord) {
                if (!excluded_) {
                    ++words_;
                    HandleWord();
                }
                // The white-space byte that ended the word is the next token,
                // a space that does nothing but count: it is taken here, as
                // the next pass would take it, unless the depth limit stops
                // the reading first.
                const bool space = reader_.HasPendingSpace() && position_ <= limit;
                if (space) reader_.ClearPendingSpace();
                position_ += space ? 1 : 0;
            } else if (token_.Kind != tkSpace) {
                Handle();
            }
            if (token_.Kind == tkEnd || position_ > limit) break;
        }
        return std::move(excerpt_);
    }

private:
    void Next() {
        reader_.Next(token_);
        position_ += static_cast<std::int64_t>(token_.Text.size());
    }

    // Full for good: it only ever grows.
    bool ExcerptFull() const { return excerptFull_; }

    bool ExcerptOpen() const { return !excerptFull_ && words_ >= rating_.DescOffset; }

    void AddToExcerpt(std::string_view text, bool spaceBefore) {
        if (spaceBefore) excerpt_.push_back(' ');
        excerpt_ += text;
        excerptFull_ = static_cast<std::int64_t>(excerpt_.size()) >= rating_.DescLength;
        UpdateQuiet();
    }

    // Whatever changes one of the three below calls this.
    void UpdateQuiet() { quiet_ = excluded_ || (rating_.SkipText && excerptFull_); }

    // How many bytes may be read from the first byte of `text` on: to the end
    // of the document when the text is a piece of it.
    std::size_t Readable(std::string_view text) const {
        // One unsigned comparison of the addresses tells whether the text
        // starts within the document (an empty document holds no text).
        const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(text.data()) -
                                      reinterpret_cast<std::uintptr_t>(bytes_.data());
        return offset < bytes_.size() ? bytes_.size() - offset : text.size();
    }

    // The text in the database encoding.
    std::string_view ToDatabase(std::string_view text) {
        return keepsText_ ? text : ToDatabaseView(text, charset_, converted_);
    }

    void Handle() {
        switch (token_.Kind) {
            case tkWord:
                if (excluded_) return;
                ++words_;
                return HandleWord();
            case tkNumber: {
                if (excluded_) return;
                if (ExcerptOpen()) AddToExcerpt(token_.Text, true);
                std::string_view number = token_.Text;
                if (!IsDigit(number.back())) number.remove_suffix(1);  // 12. gives 12
                if (!number.empty() && StartsLikeAWord(static_cast<unsigned char>(number[0])))
                    counter_.AddWord(ToDatabase(number), position_, Readable(number));
                return;
            }
            case tkSymbol:
                // A symbol of UTF-8 mode may be a character of the page's code page.
                if (!excluded_ && ExcerptOpen()) AddToExcerpt(ToDatabase(token_.Text), false);
                return;
            case tkTagOpen:
                return ReadStartTag();
            case tkEndTagOpen:
                Next();
                if (token_.Kind != tkWord) return;  // "</" in running text
                if (!excluded_) PopTag(KindOf(token_.Text));
                SkipToTagEnd(false);
                return;
            case tkCommentOpen:
                position_ += static_cast<std::int64_t>(token_.Text.size());
                return ReadComment();
            case tkDeclOpen:
            case tkPIOpen:
                SkipToTagEnd(false);
                return;
            default:
                return;
        }
    }

    [[gnu::always_inline]] void HandleWord() {
        const std::string_view text = ToDatabase(token_.Text);
        if (ExcerptOpen()) AddToExcerpt(text, true);
        if (!token_.Text.empty() && StartsLikeAWord(static_cast<unsigned char>(token_.Text[0])))
            counter_.AddWord(text, position_, Readable(text));
    }

    // HandleWord for a word of NextPlainWord, which is database text as it
    // stands.
    [[gnu::always_inline]] void HandlePlainWord(std::uint64_t head) {
        const std::string_view text = token_.Text;
        if (ExcerptOpen()) AddToExcerpt(text, true);
        if (StartsLikeAWord(static_cast<unsigned char>(text[0])))
            counter_.AddPlainWord(text, head, position_);
    }

    // The kind of a tag's name as written: its lower-case form, with its
    // rating in tags.xml. A page names few elements, each many times, so the
    // short names as written are worked out once per page.
    [[gnu::always_inline]] std::uint32_t KindOf(std::string_view written) {
        const std::size_t size = written.size();
        if (size - 1 < 8 && Readable(written) >= 8) {
            const std::uint64_t bytes =
                WordTable::LoadChunk(reinterpret_cast<const unsigned char*>(written.data()), 8) &
                (~std::uint64_t{0} >> (8 * (8 - size)));
            const std::int32_t known = tags_.written.Find(bytes, static_cast<std::uint32_t>(size));
            if (known != ShortWordTable::kMissing) return static_cast<std::uint32_t>(known);
            const std::uint32_t kind = KindOfLower(written);
            tags_.written.Insert(bytes, static_cast<std::uint32_t>(size),
                                 static_cast<std::int32_t>(kind));
            return kind;
        }
        return KindOfLower(written);
    }

    std::uint32_t KindOfLower(std::string_view written) {
        const std::string_view lower = AnsiLowerInto(written, name_);
        const std::int32_t known = tags_.lowerNames.Find(lower);
        if (known != WordTable::kMissing) return static_cast<std::uint32_t>(known);
        const auto kind = static_cast<std::uint32_t>(tags_.kinds.size());
        const std::optional<std::int32_t> rating = counter_.Lookup().TagRating(lower);
        tags_.kinds.push_back({rating, static_cast<long double>(rating.value_or(0)) / 100.0L});
        tags_.lowerNames.Insert(lower, static_cast<std::int32_t>(kind));
        return kind;
    }

    // Opens a tag (PushTag): a tag rated below TagsMinimalRating hides the
    // text up to its end.
    void PushTag(std::uint32_t kindNumber) {
        TagKind& kind = tags_.kinds[kindNumber];
        const std::int32_t rating = kind.rating.value_or(0);
        const bool skip = kind.rating && rating < rating_.TagsMinimalRating;
        const std::uint32_t below = tags_.open.empty() ? bottomSum_ : tags_.open.back().sum;
        const long double sum = CurrentTagSum(rating_) + kind.term;
        rating_.TagSums.push_back(sum);
        // A tag of no rating adds nothing: the sum stays the one below.
        std::uint32_t number = below;
        if (rating != 0) {
            if (kind.fromSum != below) {
                kind.fromSum = below;
                kind.toSum = counter_.SumNumber(sum);
            }
            number = kind.toSum;
        }
        tags_.open.push_back({kindNumber, number, skip});
        if (skip) {
            ++hidingTags_;
            rating_.SkipText = true;
            UpdateQuiet();
        }
        counter_.EnterSum(number);
    }

    // Closes the topmost open tag of this kind and every tag above it (PopTag);
    // when none is open, every open tag is closed.
    void PopTag(std::uint32_t kind) {
        std::size_t keep = tags_.open.size();
        while (keep > 0 && tags_.open[keep - 1].kind != kind)
            --keep;
        CutTags(keep > 0 ? keep - 1 : 0);
    }

    // Keeps the first `size` open tags. Text stays hidden while any open tag
    // hides it, and only then.
    void CutTags(std::size_t size) {
        while (tags_.open.size() > size) {
            hidingTags_ -= tags_.open.back().skip ? 1 : 0;
            tags_.open.pop_back();
            rating_.TagSums.pop_back();
        }
        rating_.SkipText = hidingTags_ != 0;
        UpdateQuiet();
        counter_.EnterSum(size == 0 ? bottomSum_ : tags_.open.back().sum);
    }

    // Attribute values are never rated: the tag is read to its end.
    void ReadStartTag() {
        Next();
        if (token_.Kind != tkWord) return;  // a less-than sign in running text
        if (!excluded_) PushTag(KindOf(token_.Text));
        SkipToTagEnd(true);
        if (token_.Kind == tkEmptyTagClose && !excluded_) CutTags(tags_.open.size() - 1);
    }

    // A comment whose first word is qmpnoindex starts a region left out of the
    // rating; one whose first word is qmpindex ends it.
    void ReadComment() {
        bool sawWord = false;
        bool noindex = false;
        bool index = false;
        do {
            Next();
            if (token_.Kind == tkWord && !sawWord) {
                sawWord = true;
                const std::string_view lower = AnsiLowerInto(token_.Text, name_);
                noindex = lower == "qmpnoindex";
                index = lower == "qmpindex";
            }
        } while (token_.Kind != tkCommentClose && token_.Kind != tkEnd);
        if (!excluded_ && noindex)
            excluded_ = true;
        else if (excluded_ && index)
            excluded_ = false;
        UpdateQuiet();
    }

    void SkipUntil(TokenKind a, TokenKind b) {
        while (token_.Kind != a && token_.Kind != b && token_.Kind != tkEnd)
            Next();
    }

    // Reads the tokens after a tag's name up to its ">" (or "/>" when
    // `emptyTagEnds`) or the end.
    void SkipToTagEnd(bool emptyTagEnds) {
        std::int64_t length = 0;
        if (reader_.SkipToTagEnd(emptyTagEnds, token_, length)) {
            position_ += length;
            return;
        }
        SkipUntil(tkTagClose, emptyTagEnds ? tkEmptyTagClose : tkTagClose);
    }

    TRating& rating_;
    WordCounter& counter_;
    TokenReader reader_;  // nothing changes the modes while a document is rated
    std::string_view charset_;
    bool keepsText_;          // the page's text is database text as it stands
    // So are the words of NextPlainWord: ASCII is the same in every encoding.
    bool keepsPlainWords_;
    std::string_view bytes_;  // the document
    TokenView token_;
    std::int64_t position_ = 0;
    std::int64_t words_ = 0;
    bool excluded_ = false;
    std::string excerpt_;
    bool excerptFull_;  // the excerpt has DescLength bytes or more
    // Text that nothing rates: left out, or hidden by a tag with the excerpt
    // full.
    bool quiet_ = false;
    std::string converted_;
    std::string name_;  // a tag's or a marker's name in lower case
    TagNameScratch& tags_;
    // The open tags stand in for the rating's TagStack, which stays empty;
    // the rating's TagSums and SkipText follow them.
    const std::uint32_t bottomSum_;  // the number of the sum of no open tags
    std::size_t hidingTags_ = 0;     // open tags that hide the text
};

// The keywords of the keywords meta: the quoted list after `keywordsEnd`, the
// end of the first "keywords" in quotes (negative: there is none).
void AddKeywordsMeta(WordCounter& counter, FileBuffer& buffer, std::int64_t keywordsEnd,
                     std::string_view charset) {
    if (keywordsEnd < 0) return;
    SeekBuffer(buffer, keywordsEnd, SeekOrigin::kBegin);
    std::string list = ReadQuoted(buffer, '"');
    if (list.empty()) return;
    list.push_back(',');
    std::string converted;
    std::size_t start = 0;
    for (std::size_t comma = list.find(','); comma != std::string::npos;
         start = comma + 1, comma = list.find(',', start)) {
        const std::string_view piece = Trim(std::string_view(list).substr(start, comma - start));
        if (piece.empty() || !StartsLikeAKeyword(static_cast<unsigned char>(piece[0]))) continue;
        counter.AddKeyword(ToDatabaseView(piece, charset, converted));
    }
}

void AddFileNameWords(WordCounter& counter, std::string_view namePath) {
    const std::string name = ExtractFileName(namePath) + "-";
    std::string converted;
    std::size_t start = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c != ' ' && c != '-' && c != '.' && c != '_') continue;
        const std::string_view piece = Trim(std::string_view(name).substr(start, i - start));
        start = i + 1;
        if (piece.empty()) continue;
        counter.AddWord(ToDatabaseView(piece, "", converted), -1);
    }
}

// The first `count` steps of the selection sort, literally, for lists whose
// scores cannot be ordered.
void SelectionSort(std::vector<TWordRecord>& list, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t best = i;
        for (std::size_t j = i + 1; j < list.size(); ++j) {
            if (list[j].Score > list[best].Score) best = j;
        }
        std::swap(list[i], list[best]);
    }
}

// The first `count` steps of the selection sort, highest score first: the
// first `count` entries get the places that the whole sort gives them.
void SelectFirst(std::vector<TWordRecord>& list, std::size_t count) {
    const std::size_t n = list.size();
    if (n < 2) return;
    if (std::any_of(list.begin(), list.end(),
                    [](const TWordRecord& e) { return std::isnan(e.Score); }))
        return SelectionSort(list, count);

    // The selection sort picks, for each position in turn, the earliest entry
    // of greatest score among those not yet placed, and swaps it there. A
    // tournament tree over the positions finds that entry in log n steps.
    constexpr std::size_t kNone = SIZE_MAX;
    std::size_t leaves = 1;
    while (leaves < n)
        leaves <<= 1;
    std::vector<std::size_t> tree(2 * leaves, kNone);
    const auto better = [&list](std::size_t left, std::size_t right) {
        if (right == kNone) return left;
        if (left == kNone) return right;
        return list[right].Score > list[left].Score ? right : left;
    };
    const auto update = [&](std::size_t position, std::size_t value) {
        std::size_t node = leaves + position;
        tree[node] = value;
        for (node /= 2; node >= 1; node /= 2)
            tree[node] = better(tree[2 * node], tree[2 * node + 1]);
    };
    for (std::size_t i = 0; i < n; ++i)
        tree[leaves + i] = i;
    for (std::size_t node = leaves - 1; node >= 1; --node)
        tree[node] = better(tree[2 * node], tree[2 * node + 1]);

    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t best = tree[1];
        std::swap(list[i], list[best]);
        update(i, kNone);                   // placed
        if (best != i) update(best, best);  // now holds what stood at i
    }
}

// ScoreWords with `groupRating(i)`, the LastGroupRating of entry i's word.
template <typename GroupRating>
void ScoreWith(TRating& rating, GroupRating groupRating) {
    for (std::size_t i = 0; i < rating.WordList.size(); ++i) {
        TWordRecord& entry = rating.WordList[i];
        double g = 0.0;
        if (const auto found = groupRating(i)) g = *found * 0.01;
        const double weight = entry.Weight == -1.0 ? rating.FileNameWeight : entry.Weight;
        entry.Score = static_cast<double>(entry.Count) * rating.CountWeight + entry.Score + weight +
                      g * rating.ExistingWeight;
    }
}

}  // namespace

void PushTag(TRating& rating, std::string_view name) {
    SyncTagSums(rating);
    PushTagWith(rating, EnsureLookup(rating), name);
}

void PopTag(TRating& rating, std::string_view name) {
    SyncTagSums(rating);
    PopTagWith(rating, name);
}

void AddWord(TRating& rating, std::string_view word, std::int64_t position) {
    SyncTagSums(rating);
    RebuildWordIndex(rating);
    CountingScratch scratch;
    scratch.index = std::move(rating.WordIndex);
    WordCounter counter(rating, EnsureLookup(rating), scratch);
    counter.AddWord(word, position);
    counter.Finish();
    rating.WordIndex = std::move(scratch.index);
}

void AddKeyword(TRating& rating, std::string_view word) {
    SyncTagSums(rating);
    RebuildWordIndex(rating);
    CountingScratch scratch;
    scratch.index = std::move(rating.WordIndex);
    WordCounter counter(rating, EnsureLookup(rating), scratch);
    counter.AddKeyword(word);
    counter.Finish();
    rating.WordIndex = std::move(scratch.index);
}

double WordWeight(const TRating& rating, std::string_view word, std::int64_t position) {
    return WeightTerms(rating).Weight(ClassifyCase(word), position, StackSum(rating.TagStack));
}

void ScoreWords(TRating& rating) {
    const RatingLookup& lookup = EnsureLookup(rating);
    // The stored word is already in lower case in the database encoding; it
    // is looked up as it is, like the stop-word test did.
    ScoreWith(rating,
              [&](std::size_t i) { return lookup.LastGroupRating(rating.WordList[i].Word); });
}

void SortWords(TRating& rating) {
    rating.WordIndex.Clear();  // positions change
    SelectFirst(rating.WordList, rating.WordList.size());
}

bool RateBuffer(TRating& rating, FileBuffer& buffer, std::string_view namePath,
                std::string& description, std::string_view charsetName) {
    std::int64_t keywordsEnd = 0;
    if (!FindText(buffer, kKeywordsMark, keywordsEnd)) keywordsEnd = -1;
    return RateDocument(rating, EnsureLookup(rating), buffer, namePath, description, charsetName,
                        keywordsEnd);
}

bool RateDocument(TRating& rating, const RatingLookup& lookup, FileBuffer& buffer,
                  std::string_view namePath, std::string& description, std::string_view charsetName,
                  std::int64_t keywordsEnd) {
    rating.WordList.clear();
    rating.WordIndex.Clear();
    rating.TagStack.clear();
    rating.TagSums.clear();
    rating.SkipText = false;
    rating.FileSize = buffer.FileSize();
    // A document is read from a clear flag, whatever the one before left.
    PendingSpace = false;
    // One rating at a time runs on a thread (the tokenizer's flag is the
    // thread's), so its scratch can be the thread's.
    thread_local CountingScratch scratch;
    scratch.index.Clear();
    // Room for as many words as the last document had, up to a bound: the
    // list then grows without moving its entries again and again.
    thread_local std::size_t lastWords = 0;
    rating.WordList.reserve(std::min<std::size_t>(lastWords, 1 << 16));
    WordCounter counter(rating, lookup, scratch);

    // A byte-order mark is no text: read as letters it would become a
    // keyword of its own, or stick to the page's first word.
    const bool byteOrderMark = buffer.Data().substr(0, 3) == "\xEF\xBB\xBF";
    SeekBuffer(buffer, byteOrderMark ? 3 : 0, SeekOrigin::kBegin);
    thread_local TagNameScratch tagNames;
    tagNames.Clear();
    std::string excerpt = DocumentRater(rating, counter, buffer, charsetName, tagNames).Run();
    for (std::size_t run : {10, 8, 4, 2})
        ShortenSpaces(excerpt, run);
    description = std::move(excerpt);

    AddKeywordsMeta(counter, buffer, keywordsEnd, charsetName);
    // The file name always counts, even when the text ended inside a tag that
    // hides its content (a page cut off by the depth limit inside a script).
    rating.SkipText = false;
    AddFileNameWords(counter, namePath);
    counter.Finish();
    // The tags left open were the document's.
    rating.TagSums.clear();
    lastWords = rating.WordList.size();

    // The group ratings of the entries were found when they were added.
    ScoreWith(rating, [&](std::size_t i) { return counter.GroupRating(i); });
    // Only the entries that are kept need their places: the first steps of
    // the sort put them there exactly as the whole sort would.
    const std::int64_t keep = std::max<std::int64_t>(rating.KeysCount, 0);
    if (static_cast<std::int64_t>(rating.WordList.size()) > keep) {
        SelectFirst(rating.WordList, static_cast<std::size_t>(keep));
        rating.WordList.resize(static_cast<std::size_t>(keep));
    } else {
        SelectFirst(rating.WordList, rating.WordList.size());
    }
    return true;
}

bool RateFile(TRating& rating, std::string_view filePath, std::string_view namePath,
              std::string& description, std::string_view charsetName) {
    FileBuffer buffer = OpenDocument(filePath);
    const bool rated = RateBuffer(rating, buffer, namePath, description, charsetName);
    CloseFileBuffer(buffer);
    return rated;
}

}  // namespace qmp
