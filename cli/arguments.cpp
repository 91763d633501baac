#include "cli/arguments.h"

#include "system/os_path.h"

namespace qmp::cli {

std::string AbsoluteOsPath(std::string_view osArgument, std::string_view currentDir) {
    if (!osArgument.empty() && osArgument.front() == '/') return std::string(osArgument);
    std::string path(currentDir);
    while (osArgument.substr(0, 2) == "./") {
        osArgument.remove_prefix(2);
        while (!osArgument.empty() && osArgument.front() == '/')
            osArgument.remove_prefix(1);
    }
    if (osArgument == ".") osArgument = {};
    if (osArgument.empty()) return path;
    if (path.empty() || path.back() != '/') path.push_back('/');
    path.append(osArgument);
    return path;
}

std::optional<std::string> ProgramPath(std::string_view osArgument, std::string_view currentDir) {
    const std::string osPath = AbsoluteOsPath(osArgument, currentDir);
    std::string path = FromOsName(osPath);
    if (ToOsPath(path) != osPath) return std::nullopt;
    return path;
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > std::int64_t{INT32_MAX} + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace qmp::cli
