#include "indexing/keyword_rating.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"
#include "decoding/utf8_codec.h"
#include "indexing/markup_tokenizer.h"
#include "indexing/project_settings.h"
#include "indexing/rating_lookup.h"
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

// DatabaseLowerCase into `out`, giving the word table's hash of it. ASCII
// lower-cases the same way in both modes, and is hashed on the way.
std::uint64_t LowerInto(std::string_view text, std::string& out) {
    out.resize(text.size());
    std::uint64_t hash = WordTable::kHashStart;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            out = DatabaseLowerCase(text);
            return WordTable::Hash(out);
        }
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + ('a' - 'A'));
        out[i] = static_cast<char>(c);
        hash = WordTable::HashStep(hash, c);
    }
    return WordTable::HashFinish(hash);
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
bool StartsLikeAKeyword(unsigned char first) {
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
// copyright or trade mark sign.
bool StartsLikeAWord(unsigned char first) {
    return first != 0xA9 && first != 0x99 && StartsLikeAKeyword(first);
}

// Which bytes equal their own upper-case form in the system code page; built
// again when the code page changes.
const std::array<bool, 256>& UpperCaseFixedPoints() {
    static std::array<bool, 256> fixed{};
    static CharsetId builtFor = 0;
    const CharsetId page = SystemCodePage();
    if (builtFor != page) {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            fixed[byte] = AnsiUpperChar(byte) == byte;
        }
        builtFor = page;
    }
    return fixed;
}

// The letter-case rating of a word: by a digit at its start or inside it,
// else by whether every character, no character, or some characters equal
// their own upper-case form (bytes without case count as equal). UTF-8 text is
// judged by its characters: judging its bytes as ANSI characters would make
// every accented small letter look like a capital.

double CaseClass(const TRating& rating, std::string_view word) {
    if (!word.empty() && IsDigit(word.front())) return rating.DigitRating;
    bool someEqual = false;
    bool someDiffer = false;
    bool ascii = true;
    const std::array<bool, 256>& fixed = UpperCaseFixedPoints();
    for (char c : word) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsDigit(c)) return rating.CodeRating;
        ascii = ascii && byte < 0x80;
        (fixed[byte] ? someEqual : someDiffer) = true;
    }
    if (UTF8Mode && !ascii) {
        someEqual = someDiffer = false;
        utf8::Decode(word, [&](char16_t unit) {
            (u_toupper(unit) == unit ? someEqual : someDiffer) = true;
        });
    }
    if (!someDiffer) return rating.XXXRating;
    if (!someEqual) return rating.zzzRating;
    return rating.YyyRating;
}

// The weight formula in extended precision, operation by operation, so that
// weights come out the same on every build. `tagSum` is the sum of
// (rating / 100) over the open-tag stack from the bottom up.
double ComputeWeight(const TRating& rating, std::string_view word, std::int64_t position,
                     long double tagSum) {
    long double factor = 0.0L;  // an empty file has no positions to weigh
    if (rating.FileSize != 0) {
        long double d = static_cast<long double>(rating.BeginOfFile) -
                        static_cast<long double>(rating.EndOfFile);
        d = d * static_cast<long double>(position);
        d = d / static_cast<long double>(rating.FileSize);
        factor = 1.0L - d;
    }
    long double weight = factor * static_cast<long double>(rating.WordPositionWeight);
    weight = weight + static_cast<long double>(rating.WordCaseWeight) *
                          static_cast<long double>(CaseClass(rating, word));
    weight = weight + static_cast<long double>(rating.TagWeight) * tagSum;
    return static_cast<double>(weight);
}

long double TagTerm(const TTagRating& tag) {
    return static_cast<long double>(tag.Rating) / 100.0L;
}

long double StackSum(const std::vector<TTagRating>& stack) {
    long double sum = 0.0L;
    for (const TTagRating& tag : stack)
        sum = sum + TagTerm(tag);
    return sum;
}

// The running sums of the stack, rebuilt when the stack was changed directly.
void SyncTagSums(TRating& rating) {
    if (rating.TagSums.size() == rating.TagStack.size()) return;
    rating.TagSums.clear();
    long double sum = 0.0L;
    for (const TTagRating& tag : rating.TagStack) {
        sum = sum + TagTerm(tag);
        rating.TagSums.push_back(sum);
    }
}

long double CurrentTagSum(const TRating& rating) {
    return rating.TagSums.empty() ? 0.0L : rating.TagSums.back();
}

// Text stays hidden while any open tag hides it, and only then: a tag closed
// out of order, or an unmatched closing tag that empties the stack, must not
// leave the rest of the page hidden for good.
void UpdateSkipText(TRating& rating) {
    rating.SkipText = std::any_of(rating.TagStack.begin(), rating.TagStack.end(),
                                  [](const TTagRating& tag) { return tag.Skip; });
}

void CutTagStack(TRating& rating, std::size_t size) {
    rating.TagStack.resize(size);
    rating.TagSums.resize(size);
    UpdateSkipText(rating);
}

void PushTagWith(TRating& rating, const RatingLookup& lookup, std::string_view name) {
    TTagRating entry{std::string(name), 0, false};
    if (const auto found = lookup.TagRating(name)) {
        entry.Rating = *found;
        if (entry.Rating < rating.TagsMinimalRating) {
            entry.Skip = true;
            rating.SkipText = true;
        }
    }
    rating.TagSums.push_back(CurrentTagSum(rating) + TagTerm(entry));
    rating.TagStack.push_back(std::move(entry));
}

void PopTagWith(TRating& rating, std::string_view name) {
    for (std::size_t i = rating.TagStack.size(); i-- > 0;) {
        if (rating.TagStack[i].Name == name) return CutTagStack(rating, i);
    }
    CutTagStack(rating, 0);
}

// Rebuilds the word index from the word list, for callers from outside a
// rating: they may have changed the list, the groups or the minimal rating.
void RebuildWordIndex(TRating& rating) {
    rating.WordIndex.Clear();
    for (std::size_t i = 0; i < rating.WordList.size(); ++i) {
        if (rating.WordIndex.Find(rating.WordList[i].Word) == WordTable::kMissing)
            rating.WordIndex.Insert(rating.WordList[i].Word, static_cast<std::int64_t>(i));
    }
}

// What the word index knows of a lower-case word.
struct WordLookup {
    TWordRecord* entry = nullptr;  // the word's entry, if it has one
    bool stopWord = false;
};

WordLookup FindWord(TRating& rating, const RatingLookup& lookup, std::string_view lower,
                    std::uint64_t hash) {
    const std::int64_t known = rating.WordIndex.Find(lower, hash);
    if (known == TRating::kKnownStopWord) return {nullptr, true};
    if (known != WordTable::kMissing)
        return {&rating.WordList[static_cast<std::size_t>(known)], false};
    if (lookup.IsStopWord(lower, rating.StopWordsMinimalRating)) {
        rating.WordIndex.Insert(lower, hash, TRating::kKnownStopWord);
        return {nullptr, true};
    }
    return {};
}

void AppendWord(TRating& rating, std::string_view word, std::uint64_t hash, std::int64_t position,
                double weight) {
    rating.WordIndex.Insert(word, hash, static_cast<std::int64_t>(rating.WordList.size()));
    rating.WordList.push_back(TWordRecord{std::string(word), 1, position, weight, 0.0});
}

// AddWord with the lookup in hand; `lower` is scratch space for the word's
// lower-case form.
void AddWordWith(TRating& rating, const RatingLookup& lookup, std::string_view word,
                 std::int64_t position, std::string& lower) {
    if (word == "-" || rating.SkipText) return;
    const std::uint64_t hash = LowerInto(word, lower);
    const WordLookup found = FindWord(rating, lookup, lower, hash);
    if (found.stopWord) return;
    if (TWordRecord* entry = found.entry) {
        if (entry->Count < INT64_MAX) ++entry->Count;
        const double weight = ComputeWeight(rating, word, position, CurrentTagSum(rating));
        if (weight > entry->Weight) entry->Weight = weight;
        return;
    }
    const double weight =
        position == -1 ? -1.0 : ComputeWeight(rating, word, position, CurrentTagSum(rating));
    AppendWord(rating, lower, hash, position, weight);
}

void AddKeywordWith(TRating& rating, const RatingLookup& lookup, std::string_view word) {
    std::string lower;
    const std::uint64_t hash = LowerInto(word, lower);
    const WordLookup found = FindWord(rating, lookup, lower, hash);
    if (found.stopWord) return;
    const auto keywordWeight = [&] {
        return ComputeWeight(rating, word, 0, CurrentTagSum(rating)) * rating.KeywordRating;
    };
    if (TWordRecord* entry = found.entry) {
        if (entry->Count < INT64_MAX) ++entry->Count;
        if (rating.KeywordRating > entry->Weight) entry->Weight = keywordWeight();
        return;
    }
    AppendWord(rating, lower, hash, 0, keywordWeight());
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

// One pass over the document's tokens: words and their positions, the open
// tags, the excerpt, and the regions that comment markers leave out.
class DocumentRater final {
public:
    DocumentRater(TRating& rating, const RatingLookup& lookup, FileBuffer& buffer,
                  std::string_view charset)
        : rating_(rating), lookup_(lookup), reader_(buffer), charset_(charset) {}

    std::string Run() {
        const std::int64_t limit = IndexDepthLimit;
        do {
            Next();
            Handle();
        } while (token_.Kind != tkEnd && position_ <= limit);
        return std::move(excerpt_);
    }

private:
    void Next() {
        reader_.Next(token_);
        position_ += static_cast<std::int64_t>(token_.Text.size());
    }

    bool ExcerptOpen() const {
        return words_ >= rating_.DescOffset &&
               static_cast<std::int64_t>(excerpt_.size()) < rating_.DescLength;
    }

    void Handle() {
        switch (token_.Kind) {
            case tkWord:
                if (excluded_) return;
                ++words_;
                return HandleWord();
            case tkNumber: {
                if (excluded_) return;
                if (ExcerptOpen()) {
                    excerpt_.push_back(' ');
                    excerpt_ += token_.Text;
                }
                std::string_view number = token_.Text;
                if (!IsDigit(number.back())) number.remove_suffix(1);  // 12. gives 12
                if (!number.empty() && StartsLikeAWord(static_cast<unsigned char>(number[0]))) {
                    AddWordWith(rating_, lookup_, ToDatabaseView(number, charset_, converted_),
                                position_, lower_);
                }
                return;
            }
            case tkSymbol:
                if (!excluded_ && ExcerptOpen()) excerpt_ += token_.Text;
                return;
            case tkTagOpen:
                return ReadStartTag();
            case tkEndTagOpen:
                Next();
                if (token_.Kind != tkWord) return;  // "</" in running text
                if (!excluded_) PopTagWith(rating_, AnsiLowerCase(token_.Text));
                SkipUntil(tkTagClose, tkTagClose);
                return;
            case tkCommentOpen:
                position_ += static_cast<std::int64_t>(token_.Text.size());
                return ReadComment();
            case tkDeclOpen:
            case tkPIOpen:
                SkipUntil(tkTagClose, tkTagClose);
                return;
            default:
                return;
        }
    }

    void HandleWord() {
        const std::string_view text = ToDatabaseView(token_.Text, charset_, converted_);
        if (ExcerptOpen()) {
            excerpt_.push_back(' ');
            excerpt_ += text;
        }
        if (!token_.Text.empty() && StartsLikeAWord(static_cast<unsigned char>(token_.Text[0])))
            AddWordWith(rating_, lookup_, text, position_, lower_);
    }

    // Attribute values are never rated: the tag is read to its end.
    void ReadStartTag() {
        Next();
        if (token_.Kind != tkWord) return;  // a less-than sign in running text
        if (!excluded_) PushTagWith(rating_, lookup_, AnsiLowerCase(token_.Text));
        SkipUntil(tkTagClose, tkEmptyTagClose);
        if (token_.Kind == tkEmptyTagClose && !excluded_) {
            CutTagStack(rating_, rating_.TagStack.size() - 1);
        }
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
                const std::string lower = AnsiLowerCase(token_.Text);
                noindex = lower == "qmpnoindex";
                index = lower == "qmpindex";
            }
        } while (token_.Kind != tkCommentClose && token_.Kind != tkEnd);
        if (!excluded_ && noindex)
            excluded_ = true;
        else if (excluded_ && index)
            excluded_ = false;
    }

    void SkipUntil(TokenKind a, TokenKind b) {
        while (token_.Kind != a && token_.Kind != b && token_.Kind != tkEnd)
            Next();
    }

    TRating& rating_;
    const RatingLookup& lookup_;
    TokenReader reader_;  // nothing changes the modes while a document is rated
    std::string_view charset_;
    Token token_;
    std::int64_t position_ = 0;
    std::int64_t words_ = 0;
    bool excluded_ = false;
    std::string excerpt_;
    std::string converted_;
    std::string lower_;
};

void AddKeywordsMeta(TRating& rating, const RatingLookup& lookup, FileBuffer& buffer,
                     std::string_view charset) {
    std::int64_t at = 0;
    if (!FindText(buffer, "\"keywords\"", at)) return;
    std::string list = ReadQuoted(buffer, '"');
    if (list.empty()) return;
    list.push_back(',');
    std::string converted;
    std::size_t start = 0;
    for (std::size_t comma = list.find(','); comma != std::string::npos;
         start = comma + 1, comma = list.find(',', start)) {
        const std::string_view piece = Trim(std::string_view(list).substr(start, comma - start));
        if (piece.empty() || !StartsLikeAKeyword(static_cast<unsigned char>(piece[0]))) continue;
        AddKeywordWith(rating, lookup, ToDatabaseView(piece, charset, converted));
    }
}

void AddFileNameWords(TRating& rating, const RatingLookup& lookup, std::string_view namePath) {
    const std::string name = ExtractFileName(namePath) + "-";
    std::string converted;
    std::string lower;
    std::size_t start = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c != ' ' && c != '-' && c != '.' && c != '_') continue;
        const std::string_view piece = Trim(std::string_view(name).substr(start, i - start));
        start = i + 1;
        if (piece.empty()) continue;
        AddWordWith(rating, lookup, ToDatabaseView(piece, "", converted), -1, lower);
    }
}

// The selection sort, literally, for lists whose scores cannot be ordered.
void SelectionSort(std::vector<TWordRecord>& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::size_t best = i;
        for (std::size_t j = i + 1; j < list.size(); ++j) {
            if (list[j].Score > list[best].Score) best = j;
        }
        std::swap(list[i], list[best]);
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
    std::string lower;
    AddWordWith(rating, EnsureLookup(rating), word, position, lower);
}

void AddKeyword(TRating& rating, std::string_view word) {
    SyncTagSums(rating);
    RebuildWordIndex(rating);
    AddKeywordWith(rating, EnsureLookup(rating), word);
}

double WordWeight(const TRating& rating, std::string_view word, std::int64_t position) {
    return ComputeWeight(rating, word, position, StackSum(rating.TagStack));
}

void ScoreWords(TRating& rating) {
    const RatingLookup& lookup = EnsureLookup(rating);
    for (TWordRecord& entry : rating.WordList) {
        // The stored word is already in lower case in the database encoding;
        // it is looked up as it is, like the stop-word test did.
        double g = 0.0;
        if (const auto found = lookup.LastGroupRating(entry.Word)) g = *found * 0.01;
        const double weight = entry.Weight == -1.0 ? rating.FileNameWeight : entry.Weight;
        entry.Score = static_cast<double>(entry.Count) * rating.CountWeight + entry.Score + weight +
                      g * rating.ExistingWeight;
    }
}

void SortWords(TRating& rating) {
    std::vector<TWordRecord>& list = rating.WordList;
    rating.WordIndex.Clear();  // positions change
    const std::size_t n = list.size();
    if (n < 2) return;
    if (std::any_of(list.begin(), list.end(),
                    [](const TWordRecord& e) { return std::isnan(e.Score); }))
        return SelectionSort(list);

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

    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t best = tree[1];
        std::swap(list[i], list[best]);
        update(i, kNone);                   // placed
        if (best != i) update(best, best);  // now holds what stood at i
    }
}

bool RateBuffer(TRating& rating, FileBuffer& buffer, std::string_view namePath,
                std::string& description, std::string_view charsetName) {
    rating.WordList.clear();
    rating.WordIndex.Clear();
    rating.TagStack.clear();
    rating.TagSums.clear();
    rating.SkipText = false;
    rating.FileSize = buffer.Size();
    const RatingLookup& lookup = EnsureLookup(rating);

    // A byte-order mark is no text: read as letters it would become a
    // keyword of its own, or stick to the page's first word.
    const bool byteOrderMark = buffer.Data().substr(0, 3) == "\xEF\xBB\xBF";
    SeekBuffer(buffer, byteOrderMark ? 3 : 0, SeekOrigin::kBegin);
    std::string excerpt = DocumentRater(rating, lookup, buffer, charsetName).Run();
    for (std::size_t run : {10, 8, 4, 2})
        ShortenSpaces(excerpt, run);
    description = std::move(excerpt);

    AddKeywordsMeta(rating, lookup, buffer, charsetName);
    // The file name always counts, even when the text ended inside a tag that
    // hides its content (a page cut off by the depth limit inside a script).
    rating.SkipText = false;
    AddFileNameWords(rating, lookup, namePath);

    ScoreWords(rating);
    SortWords(rating);
    const std::int64_t keep = std::max<std::int64_t>(rating.KeysCount, 0);
    if (static_cast<std::int64_t>(rating.WordList.size()) > keep)
        rating.WordList.resize(static_cast<std::size_t>(keep));
    return true;
}

bool RateFile(TRating& rating, std::string_view filePath, std::string_view namePath,
              std::string& description, std::string_view charsetName) {
    FileBuffer buffer = OpenFileBuffer(filePath);
    const bool rated = RateBuffer(rating, buffer, namePath, description, charsetName);
    CloseFileBuffer(buffer);
    return rated;
}

}  // namespace qmp
