#include "media/filter_registry.h"

#include <fstream>

#include "system/os_path.h"
#include "system/paths.h"

namespace qmp {
namespace {

// A filters.ini is a few lines; anything larger is read only this far.
constexpr std::streamsize kMaxIniSize = 1 << 20;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::vector<std::string> SplitAtBlanks(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]))
            ++i;
        if (i > start) words.emplace_back(text.substr(start, i - start));
    }
    return words;
}

}  // namespace

std::optional<std::vector<std::string>> FilterCommandFor(std::string_view iniText,
                                                         std::string_view extension) {
    if (extension.empty()) return std::nullopt;
    bool inFilters = false;
    while (!iniText.empty()) {
        const std::size_t newline = iniText.find('\n');
        const std::string_view line = TrimBlanks(iniText.substr(0, newline));
        iniText =
            newline == std::string_view::npos ? std::string_view() : iniText.substr(newline + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            inFilters = close != std::string_view::npos &&
                        EqualsNoCase(TrimBlanks(line.substr(1, close - 1)), "Filters");
            continue;
        }
        if (!inFilters) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        if (!EqualsNoCase(TrimBlanks(line.substr(0, equals)), extension)) continue;
        std::vector<std::string> command = SplitAtBlanks(line.substr(equals + 1));
        if (command.empty()) return std::nullopt;
        return command;
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> RegisteredFilterCommand(std::string_view extension) {
    std::ifstream in(ToOsPath(ProgramDir() + "filters.ini"), std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(static_cast<std::size_t>(kMaxIniSize), '\0');
    in.read(text.data(), kMaxIniSize);
    text.resize(static_cast<std::size_t>(in.gcount()));
    // The file is the system's (UTF-8), the extension the program's (ANSI).
    return FilterCommandFor(text, ToOsPath(extension));
}

std::vector<std::string> FilterArguments(const std::vector<std::string>& command,
                                         std::string_view documentPath) {
    std::vector<std::string> arguments;
    arguments.reserve(command.size());
    for (const std::string& word : command) {
        std::string argument;
        std::size_t from = 0;
        for (std::size_t at = word.find("%1"); at != std::string::npos;
             at = word.find("%1", from)) {
            argument.append(word, from, at - from);
            argument += documentPath;
            from = at + 2;
        }
        argument.append(word, from);
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

}  // namespace qmp
