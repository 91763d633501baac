#include "core/ini_file.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace qmp {
namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The section name of a header line, or nothing for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line (comments and other lines have none).
std::optional<std::string_view> KeyName(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, equals));
}

}  // namespace

IniText::IniText(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::optional<std::string> IniText::Value(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const std::string& line : lines_) {
        if (const auto header = HeaderName(line)) {
            if (inSection) return std::nullopt;  // only the first section of the name counts
            inSection = SameName(*header, section);
            continue;
        }
        if (!inSection) continue;
        const auto name = KeyName(line);
        if (name && SameName(*name, key)) {
            const std::string_view view(line);
            return std::string(Trim(view.substr(view.find('=') + 1)));
        }
    }
    return std::nullopt;
}

void IniText::SetSection(std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& values) {
    std::size_t header = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = HeaderName(lines_[i]);
        if (name && SameName(*name, section)) {
            header = i;
            break;
        }
    }
    if (header == lines_.size()) {
        if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
        header = lines_.size();
        std::string line = "[";
        line.append(section).append("]");
        lines_.push_back(std::move(line));
    }
    std::size_t end = header + 1;
    while (end < lines_.size() && !HeaderName(lines_[end]))
        ++end;

    // The section's other lines, without the keys that are being set.
    std::vector<std::string> rest;
    for (std::size_t i = header + 1; i < end; ++i) {
        const auto name = KeyName(lines_[i]);
        bool replaced = false;
        for (const auto& [key, value] : values)
            replaced = replaced || (name && SameName(*name, key));
        if (!replaced) rest.push_back(std::move(lines_[i]));
    }
    std::vector<std::string> sectionLines;
    for (const auto& [key, value] : values)
        sectionLines.push_back(key + "=" + value);
    sectionLines.insert(sectionLines.end(), std::make_move_iterator(rest.begin()),
                        std::make_move_iterator(rest.end()));
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header + 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(header + 1),
                  std::make_move_iterator(sectionLines.begin()),
                  std::make_move_iterator(sectionLines.end()));
}

std::string IniText::Text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += '\n';
    }
    return text;
}

std::optional<int> IniInteger(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace qmp
