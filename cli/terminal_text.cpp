#include "cli/terminal_text.h"

namespace qmp::cli {

std::string TerminalText(std::string_view utf8, bool keepLineBreaks) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                        (static_cast<unsigned char>(utf8[i + 1]) & 0xE0) == 0x80;
        if (c1) {
            const auto code = static_cast<unsigned char>(utf8[++i]);
            text += "\\u00";
            text.push_back(kHex[code >> 4]);
            text.push_back(kHex[code & 0xF]);
        } else if ((byte < 0x20 && !(byte == '\n' && keepLineBreaks)) || byte == 0x7F) {
            text += "\\x";
            text.push_back(kHex[byte >> 4]);
            text.push_back(kHex[byte & 0xF]);
        } else {
            text.push_back(static_cast<char>(byte));
        }
    }
    return text;
}

}  // namespace qmp::cli
