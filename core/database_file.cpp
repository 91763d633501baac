#include "core/database_file.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/integer_text.h"
#include "decoding/ansi_code_page.h"

namespace qmp {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kCategoriesOpening = "var cg=new Array(";
constexpr std::string_view kLinksOpening = "var ln=new Array(";
constexpr std::string_view kDescriptionsOpening = "var ds=new Array(";
constexpr std::string_view kKeywordsOpening = "var kw=new Array(";

// Collects output and hands it to the sink in large pieces, so that a big
// table costs neither one write per line nor a copy of the whole text.
class ChunkedWriter final {
public:
    explicit ChunkedWriter(ByteSink& out) : out_(out) {}

    void Add(std::string_view text) {
        pending_.append(text);
        if (pending_.size() >= kChunk) Flush();
    }
    void AddEscaped(std::string_view text) {
        AppendJsEscaped(pending_, text);
        if (pending_.size() >= kChunk) Flush();
    }
    // False once any write failed; nothing is written after a failure.
    bool Flush() {
        if (ok_ && !pending_.empty()) ok_ = out_.Write(pending_);
        pending_.clear();
        return ok_;
    }

private:
    static constexpr std::size_t kChunk = 1 << 20;
    ByteSink& out_;
    std::string pending_;
    bool ok_ = true;
};

// Entries of an array passed to its constructor call. Browsers refuse a call
// with more than 65,535 arguments (and may run out of stack well before), so
// a longer array goes on as an array literal:
// new Array('1',...,'10000',).concat(['10001',...]). Every entry keeps its
// quotes and its comma, so the reader sees the same list of entries.
constexpr std::size_t kCallEntries = 10000;

// Writes one array: its opening line, one quoted entry per record (the
// last without a comma) or `emptyEntry` quoted when there are none, and ");".
template <typename Item, typename Entry>
void WriteArray(ChunkedWriter& writer, std::string_view opening, const std::vector<Item>& records,
                std::string_view emptyEntry, Entry entry) {
    writer.Add(opening);
    writer.Add(kCrLf);
    if (records.empty()) {
        writer.Add("'");
        writer.Add(emptyEntry);
        writer.Add("'\r\n");
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i == kCallEntries) writer.Add(").concat([\r\n");
        writer.Add("'");
        entry(records[i]);
        writer.Add(i + 1 == records.size() ? "'\r\n" : "',\r\n");
    }
    writer.Add(records.size() > kCallEntries ? "]);\r\n" : ");\r\n");
}

bool FindOpening(FileBuffer& buffer, std::string_view opening) {
    std::int64_t position = 0;
    return FindText(buffer, opening, position);
}

// The line (from 1) that the byte at `offset` stands on.
int LineAt(std::string_view data, std::int64_t offset) {
    const auto end = static_cast<std::size_t>(
        std::clamp<std::int64_t>(offset, 0, static_cast<std::int64_t>(data.size())));
    return 1 + static_cast<int>(
                   std::count(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

constexpr std::string_view kEmptyName = "an empty category name stands among the names";

ReadProblem ProblemAt(std::string_view data, std::int64_t offset, std::string_view array,
                      std::string_view what) {
    const int line = LineAt(data, offset);
    return {line, "line " + std::to_string(line) + " (the " + std::string(array) +
                      " array): " + std::string(what)};
}

// The offset of the first byte at or after `at` that a script does not skip
// between the parts of an array: blanks, line breaks and comments.
std::int64_t SkipBlanks(std::string_view data, std::int64_t at) {
    const auto size = static_cast<std::int64_t>(data.size());
    while (at < size) {
        const char c = data[static_cast<std::size_t>(at)];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') {
            ++at;
        } else if (c == '/' && at + 1 < size && data[static_cast<std::size_t>(at) + 1] == '/') {
            const std::size_t end = data.find('\n', static_cast<std::size_t>(at));
            at = end == std::string_view::npos ? size : static_cast<std::int64_t>(end);
        } else if (c == '/' && at + 1 < size && data[static_cast<std::size_t>(at) + 1] == '*') {
            const std::size_t end = data.find("*/", static_cast<std::size_t>(at) + 2);
            at = end == std::string_view::npos ? size : static_cast<std::int64_t>(end) + 2;
        } else {
            break;
        }
    }
    return at;
}

// Reads the entries of the array whose opening ends at the buffer's
// position, handing each to `take` in order; gives what keeps it from being
// read to its end, if anything. An array may go on as the writer continues a
// long one: new Array(...).concat([...]).
template <typename Take>
ReadProblem ReadArray(FileBuffer& buffer, std::string_view array, Take take) {
    const std::string_view data = buffer.Data();
    const auto size = static_cast<std::int64_t>(data.size());
    constexpr std::string_view kConcat = ".concat(";
    const auto byteAt = [&](std::int64_t at) { return data[static_cast<std::size_t>(at)]; };
    const auto breaksOff = [&](std::int64_t at) {
        return ProblemAt(data, at, array, "the array breaks off before its end");
    };
    std::int64_t at = buffer.Position();
    char close = ')';  // ']' inside a .concat([...])
    for (bool afterEntry = false;;) {
        at = SkipBlanks(data, at);
        if (at >= size) return breaksOff(at);
        const char c = byteAt(at);
        if (c == close) {
            at = SkipBlanks(data, at + 1);
            if (close == ']') {
                if (at >= size) return breaksOff(at);
                if (byteAt(at) != ')')
                    return ProblemAt(data, at, array,
                                     "the ']' of the array is not followed by ')'");
                at = SkipBlanks(data, at + 1);
            }
            if (data.substr(static_cast<std::size_t>(std::min(at, size))).starts_with(kConcat)) {
                at = SkipBlanks(data, at + static_cast<std::int64_t>(kConcat.size()));
                if (at < size && byteAt(at) == '[') {
                    ++at;
                    close = ']';
                    afterEntry = false;
                    continue;
                }
            }
            return {};
        }
        if (afterEntry) {
            if (c != ',') {
                return ProblemAt(data, at, array,
                                 "an entry is followed by something other than a comma or the "
                                 "array's end (a quote inside an entry needs a backslash)");
            }
            ++at;
            afterEntry = false;
            continue;
        }
        if (c != '\'' && c != '"')
            return ProblemAt(data, at, array,
                             "something other than a quoted entry stands where "
                             "an entry belongs");
        SeekBuffer(buffer, at, SeekOrigin::kBegin);
        bool closed = false;
        std::string entry = ReadScriptString(buffer, c, closed);
        if (!closed) return ProblemAt(data, at, array, "an entry has no closing quote");
        if (auto problem = take(std::move(entry), at)) return std::move(*problem);
        at = buffer.Position();
        afterEntry = true;
    }
}

// The caption's own carets, when the writer counted them after the category
// number ("2:1"); nothing for a plain number, or a count beyond `limit`.
std::optional<std::size_t> CaptionCarets(std::string_view field, std::size_t limit) {
    std::size_t i = field.starts_with('-') ? 1 : 0;
    const std::size_t digits = i;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9')
        ++i;
    if (i == digits || i + 1 >= field.size() || field[i] != ':') return std::nullopt;
    std::size_t count = 0;
    for (++i; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9') return std::nullopt;
        count = count * 10 + static_cast<std::size_t>(field[i] - '0');
        if (count > limit) return std::nullopt;
    }
    return count;
}

void ParseLinkEntry(std::string_view entry, char separator, TBaseRecord& link) {
    const std::size_t first = entry.find(separator);
    link.Category = IntegerPrefix(entry.substr(0, first));
    if (first == std::string_view::npos) return;
    std::size_t second = entry.find(separator, first + 1);
    // The caption's carets are skipped when the entry holds as many; an entry
    // written by hand with fewer reads as if they had not been counted.
    if (const auto carets = CaptionCarets(entry.substr(0, first), entry.size())) {
        std::size_t end = second;
        for (std::size_t k = 0; k < *carets && end != std::string_view::npos; ++k)
            end = entry.find(separator, end + 1);
        if (end != std::string_view::npos) second = end;
    }
    link.Caption = entry.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
    if (second != std::string_view::npos) link.URL = entry.substr(second + 1);
}

void SplitKeywords(std::string_view entry, char separator, std::vector<std::string>& keywords) {
    // Room for exactly the pieces to come: a large table holds a million keywords.
    std::size_t pieces = 0;
    for (std::size_t i = 0; i < entry.size(); ++i)
        if (entry[i] != separator && (i == 0 || entry[i - 1] == separator)) ++pieces;
    keywords.reserve(keywords.size() + pieces);
    while (!entry.empty()) {
        const std::size_t cut = entry.find(separator);
        const std::string_view piece = entry.substr(0, cut);
        if (!piece.empty()) keywords.emplace_back(piece);
        if (cut == std::string_view::npos) break;
        entry.remove_prefix(cut + 1);
    }
}

}  // namespace

bool HasDatabaseMarkers(FileBuffer& buffer) {
    std::int64_t position = 0;
    return FindText(buffer, kSettingsMarker, position) && FindText(buffer, kEndMarker, position);
}

std::string JsEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    AppendJsEscaped(out, text);
    return out;
}

namespace {

// Whether `text` holds `upperMarker` at `at`, compared as the database reader
// compares (both upper-cased by the system's ANSI rules).
bool MarkerAt(std::string_view text, std::size_t at, std::string_view upperMarker) {
    if (at > text.size() || text.size() - at < upperMarker.size()) return false;
    for (std::size_t k = 0; k < upperMarker.size(); ++k) {
        if (AnsiUpperChar(static_cast<unsigned char>(text[at + k])) !=
            static_cast<unsigned char>(upperMarker[k])) {
            return false;
        }
    }
    return true;
}

// Escapes a value whose line breaks are already gone. Besides quotes and
// backslashes, the text must never spell the end marker or an array opening:
// the save would cut the file's tail there, or the reader take a caption for
// an array. A backslash inside those words breaks them for the reader and
// means nothing to the browser; every other text is written as it is.
void AppendEscapedLine(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == '\'' ||
            (c == '/' && i > 0 && text[i - 1] == '/' && MarkerAt(text, i + 1, "DATABASEEND")) ||
            (c == '(' && i >= 5 && MarkerAt(text, i - 5, "ARRAY"))) {
            out.push_back('\\');
        }
        out.push_back(c);
    }
}

}  // namespace

void AppendJsEscaped(std::string& out, std::string_view text) {
    // A carriage return becomes a space and a line feed goes, so the entry
    // stays on its line of script (and reads back as the reader reads it).
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        AppendEscapedLine(out, text);
        return;
    }
    std::string line;
    line.reserve(text.size());
    for (const char c : text) {
        if (c == '\r') {
            line.push_back(' ');
        } else if (c != '\n') {
            line.push_back(c);
        }
    }
    AppendEscapedLine(out, line);
}

ReadProblem ReadCategories(FileBuffer& buffer, TCat& categories) {
    if (!FindOpening(buffer, kCategoriesOpening)) return {};
    // An empty table is written as one empty entry. An empty name among
    // others stands for no category, and the names after it would take
    // wrong numbers.
    std::optional<std::int64_t> leadingEmpty;
    bool first = true;
    return ReadArray(
        buffer, "cg", [&](std::string name, std::int64_t at) -> std::optional<ReadProblem> {
            if (leadingEmpty || (name.empty() && !first))
                return ProblemAt(buffer.Data(), leadingEmpty.value_or(at), "cg", kEmptyName);
            if (name.empty())
                leadingEmpty = at;
            else
                categories.Add(name);
            first = false;
            return std::nullopt;
        });
}

ReadProblem ReadCategories(std::string_view path, TCat& categories) {
    FileBuffer buffer = OpenFileBuffer(path);
    return buffer.IsOpen() ? ReadCategories(buffer, categories) : ReadProblem();
}

ReadProblem ReadLinks(FileBuffer& buffer, TBase& links, Host& host) {
    std::int64_t position = 0;
    const char separator = FindText(buffer, kV2FormatMarker, position) ? '^' : '+';
    const int start = links.Count();

    if (FindOpening(buffer, kLinksOpening)) {
        // An array that holds one empty entry is how an empty table is
        // written: it has no links, not one blank link. An empty first entry
        // waits to see whether more follow.
        bool first = true;
        bool blankFirst = false;
        ReadProblem problem = ReadArray(
            buffer, "ln", [&](std::string entry, std::int64_t) -> std::optional<ReadProblem> {
                if (std::exchange(blankFirst, false)) links.Append(TBaseRecord());
                if (std::exchange(first, false) && entry.empty()) {
                    blankFirst = true;
                    return std::nullopt;
                }
                TBaseRecord link;
                if (!entry.empty()) ParseLinkEntry(entry, separator, link);
                links.Append(std::move(link));
                return std::nullopt;
            });
        links.ShrinkToFit();
        if (problem) return problem;
    }

    // Entries beyond the links read are read but belong to no link.
    if (FindOpening(buffer, kDescriptionsOpening)) {
        int i = start;
        ReadProblem problem = ReadArray(
            buffer, "ds", [&](std::string entry, std::int64_t) -> std::optional<ReadProblem> {
                if (TBaseRecord* link = links.At(i++)) link->Description = std::move(entry);
                return std::nullopt;
            });
        if (problem) return problem;
    }

    if (FindOpening(buffer, kKeywordsOpening)) {
        int i = start;
        return ReadArray(buffer, "kw",
                         [&](std::string entry, std::int64_t) -> std::optional<ReadProblem> {
                             if (i > start) host.ProcessMessages();
                             // Messages run between entries, so the table may change: look the link
                             // up each time.
                             if (TBaseRecord* link = links.At(i++))
                                 SplitKeywords(entry, separator, link->Keywords);
                             return std::nullopt;
                         });
    }
    return {};
}

ReadProblem ReadLinks(std::string_view path, TBase& links, Host& host) {
    FileBuffer buffer = OpenFileBuffer(path);
    return buffer.IsOpen() ? ReadLinks(buffer, links, host) : ReadProblem();
}

bool WriteCategories(const TCat& categories, ByteSink& out) {
    ChunkedWriter writer(out);
    writer.Add("//v2format\r\n//DatabaseBegin\r\n");
    WriteArray(writer, kCategoriesOpening, categories.Names(), "",
               [&writer](const std::string& name) { writer.AddEscaped(name); });
    return writer.Flush();
}

bool WriteLinks(const TBase& links, ByteSink& out) {
    ChunkedWriter writer(out);
    const std::vector<TBaseRecord>& records = links.Records();
    WriteArray(writer, kLinksOpening, records, "", [&writer](const TBaseRecord& r) {
        writer.Add(std::to_string(r.Category));
        // The reader could not tell a caption's own carets from the separators.
        const auto carets = std::count(r.Caption.begin(), r.Caption.end(), '^');
        if (carets > 0) {
            writer.Add(":");
            writer.Add(std::to_string(carets));
        }
        writer.Add("^");
        writer.AddEscaped(r.Caption);
        writer.Add("^");
        writer.AddEscaped(r.URL);
    });
    WriteArray(writer, kDescriptionsOpening, records, "",
               [&writer](const TBaseRecord& r) { writer.AddEscaped(r.Description); });
    WriteArray(writer, kKeywordsOpening, records, "^^", [&writer](const TBaseRecord& r) {
        writer.Add("^");
        for (std::size_t k = 0; k < r.Keywords.size(); ++k) {
            if (k != 0) writer.Add("^");
            writer.AddEscaped(r.Keywords[k]);
        }
        writer.Add("^");
    });
    return writer.Flush();
}

}  // namespace qmp
