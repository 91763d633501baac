#include "core/database_file.h"

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

// Reads the byte after an entry; true when it is the comma that leads to a further entry.
bool NextIsComma(FileBuffer& buffer) {
    const ByteRead read = ReadBytes(buffer, 1);
    return read.ok && read.bytes == ",";
}

bool FindOpening(FileBuffer& buffer, std::string_view opening) {
    std::int64_t position = 0;
    return FindText(buffer, opening, position);
}

void ParseLinkEntry(std::string_view entry, char separator, TBaseRecord& link) {
    const std::size_t first = entry.find(separator);
    link.Category = IntegerPrefix(entry.substr(0, first));
    if (first == std::string_view::npos) return;
    const std::size_t second = entry.find(separator, first + 1);
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

void ReadCategories(FileBuffer& buffer, TCat& categories) {
    if (!FindOpening(buffer, kCategoriesOpening)) return;
    for (;;) {
        const std::string name = ReadQuoted(buffer, '\'');
        if (name.empty()) return;
        categories.Add(name);
        if (!NextIsComma(buffer)) return;
    }
}

void ReadCategories(std::string_view path, TCat& categories) {
    FileBuffer buffer = OpenFileBuffer(path);
    if (buffer.IsOpen()) ReadCategories(buffer, categories);
}

void ReadLinks(FileBuffer& buffer, TBase& links, Host& host) {
    std::int64_t position = 0;
    const char separator = FindText(buffer, kV2FormatMarker, position) ? '^' : '+';
    const int start = links.Count();

    if (FindOpening(buffer, kLinksOpening)) {
        for (bool first = true;; first = false) {
            const std::string entry = ReadQuoted(buffer, '\'');
            const bool more = NextIsComma(buffer);
            // An array that holds one empty entry is how an empty table is
            // written: it has no links, not one blank link.
            if (first && entry.empty() && !more) break;
            TBaseRecord link;
            if (!entry.empty()) ParseLinkEntry(entry, separator, link);
            links.Append(std::move(link));
            if (!more) break;
        }
        links.ShrinkToFit();
    }

    // Entries beyond the links read are ignored: they belong to no link.
    if (FindOpening(buffer, kDescriptionsOpening)) {
        for (int i = start;; ++i) {
            std::string entry = ReadQuoted(buffer, '\'');
            TBaseRecord* link = links.At(i);
            if (link == nullptr) break;
            link->Description = std::move(entry);
            if (!NextIsComma(buffer)) break;
        }
    }

    if (FindOpening(buffer, kKeywordsOpening)) {
        for (int i = start;; ++i) {
            const std::string entry = ReadQuoted(buffer, '\'');
            // Messages run between entries, so the table may change: look the link up each time.
            TBaseRecord* link = links.At(i);
            if (link == nullptr) break;
            SplitKeywords(entry, separator, link->Keywords);
            if (!NextIsComma(buffer)) break;
            host.ProcessMessages();
        }
    }
}

void ReadLinks(std::string_view path, TBase& links, Host& host) {
    FileBuffer buffer = OpenFileBuffer(path);
    if (buffer.IsOpen()) ReadLinks(buffer, links, host);
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
