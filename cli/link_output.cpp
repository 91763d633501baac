#include "cli/link_output.h"

#include <algorithm>
#include <vector>

#include "core/link_view_text.h"
#include "decoding/display_text.h"

namespace qmp::cli {
namespace {

using Row = std::vector<std::string>;

// A table cell keeps to its line: control bytes show as spaces.
std::string Cell(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

// Characters of UTF-8 text (not its bytes): what the padding counts.
std::size_t Width(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Columns two blanks apart, each as wide as its widest cell; no line ends in
// blanks.
void WriteAligned(std::ostream& out, const std::vector<Row>& rows) {
    std::vector<std::size_t> widths;
    for (const Row& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], Width(row[c]));
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line.append(widths[c] - Width(row[c]) + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

std::string JoinedJsonArray(const std::vector<std::string>& items) {
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += ", ";
        text += JsonString(items[i]);
    }
    return text + "]";
}

}  // namespace

std::string JsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string json = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    json += "\\u00";
                    json.push_back(kHex[byte >> 4]);
                    json.push_back(kHex[byte & 0xF]);
                } else {
                    json.push_back(c);
                }
        }
    }
    return json + "\"";
}

std::string LinkJson(const TBaseRecord& record, bool withoutLockMark) {
    std::vector<std::string> keywords;
    if (withoutLockMark) {
        keywords = ShownKeywords(record);
    } else {
        for (const std::string& keyword : record.Keywords)
            keywords.push_back(DisplayText(keyword));
    }
    return "{\"category\": " + std::to_string(record.Category) +
           ", \"caption\": " + JsonString(DisplayText(record.Caption)) +
           ", \"url\": " + JsonString(DisplayText(record.URL)) +
           ", \"description\": " + JsonString(DisplayText(record.Description)) +
           ", \"keywords\": " + JoinedJsonArray(keywords) + "}";
}

void WriteLinkText(std::ostream& out, const TBaseRecord& record) {
    std::string keywords;
    for (std::size_t i = 0; i < record.Keywords.size(); ++i) {
        if (i > 0) keywords += ", ";
        keywords += record.Keywords[i];
    }
    WriteAligned(out, {
                          {"Category:", std::to_string(record.Category)},
                          {"Caption:", Cell(DisplayText(record.Caption))},
                          {"URL:", Cell(DisplayText(record.URL))},
                          {"Description:", Cell(DisplayText(record.Description))},
                          {"Keywords:", Cell(DisplayText(keywords))},
                      });
}

void WriteTablesText(std::ostream& out, const TCat& categories, const TBase& links) {
    std::vector<Row> rows = {{"ID", "Category name"}};
    for (int i = 0; i < categories.Count(); ++i)
        rows.push_back({std::to_string(i), Cell(DisplayText(categories.Get(i)))});
    out << "Categories\n";
    WriteAligned(out, rows);

    rows = {{"#", "Category", "Link URL", "Caption", "Description", "Keywords"}};
    int number = 0;
    for (const TBaseRecord& record : links.Records()) {
        rows.push_back({std::to_string(++number),
                        Cell(CategoryColumnText(categories, record.Category)),
                        Cell(UrlColumnText(record)), Cell(DisplayText(record.Caption)),
                        Cell(DisplayText(record.Description)), Cell(KeywordsColumnText(record))});
    }
    out << "\nLinks\n";
    WriteAligned(out, rows);
}

void WriteTablesJson(std::ostream& out, const TCat& categories, const TBase& links) {
    std::vector<std::string> names;
    for (const std::string& name : categories.Names())
        names.push_back(DisplayText(name));
    out << "{\"categories\": " << JoinedJsonArray(names) << ",\n \"links\": [";
    const auto& records = links.Records();
    for (std::size_t i = 0; i < records.size(); ++i)
        out << (i > 0 ? ",\n  " : "\n  ") << LinkJson(records[i], true);
    out << (records.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace qmp::cli
