#include "cli/engine_settings.h"

namespace qmp::cli {
namespace {

bool IsIdentifierByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() &&
           (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
        ++at;
    return at;
}

// The end of the string literal that opens at `open`: the position of its
// closing quote, or npos when it does not close on its line.
std::size_t LiteralEnd(std::string_view text, std::size_t open) {
    const char quote = text[open];
    for (std::size_t at = open + 1; at < text.size(); ++at) {
        if (text[at] == '\\') {
            ++at;
        } else if (text[at] == quote) {
            return at;
        } else if (text[at] == '\n') {
            break;
        }
    }
    return std::string_view::npos;
}

}  // namespace

bool SetDatabaseSetting(std::string& script, std::string_view url) {
    constexpr std::string_view kKey = "database";
    const std::string_view text = script;
    for (std::size_t at = text.find(kKey); at != std::string_view::npos;
         at = text.find(kKey, at + 1)) {
        const std::size_t after = at + kKey.size();
        if ((at > 0 && IsIdentifierByte(text[at - 1])) ||
            (after < text.size() && IsIdentifierByte(text[after]))) {
            continue;
        }
        std::size_t colon = SkipBlanks(text, after);
        if (colon >= text.size() || text[colon] != ':') continue;
        const std::size_t open = SkipBlanks(text, colon + 1);
        if (open >= text.size() || (text[open] != '\'' && text[open] != '"')) continue;
        const std::size_t close = LiteralEnd(text, open);
        if (close == std::string_view::npos) continue;
        std::string quoted(1, '\'');
        quoted.append(url);
        quoted.push_back('\'');
        script.replace(open, close - open + 1, quoted);
        return true;
    }
    return false;
}

bool SetDatabasePreload(std::string& page, std::string_view url) {
    constexpr std::string_view kLink = "<link rel=\"preload\" href=\"";
    const std::size_t at = page.find(kLink);
    if (at == std::string::npos) return false;
    const std::size_t from = at + kLink.size();
    const std::size_t close = page.find('"', from);
    if (close == std::string::npos) return false;
    page.replace(from, close - from, url);
    return true;
}

}  // namespace qmp::cli
