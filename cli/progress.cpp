#include "cli/progress.h"

#include "cli/terminal_text.h"

namespace qmp::cli {

namespace {

// Whether `byte` starts a UTF-8 character (so a cut never splits one).
bool StartsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Every control character shows as an escape, line breaks included, so the
// line stays one line and a name cannot steer the terminal.
std::string OneLine(std::string_view text) {
    return TerminalText(text, false);
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, bool enabled, int width)
    : err_(err), enabled_(enabled), width_(width < 20 ? 20 : width) {}

void ProgressLine::Show(std::string_view head, std::string_view text, bool force) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && shown_ && now - last_ < std::chrono::milliseconds(50)) return;
    last_ = now;
    std::string line = OneLine(head);
    std::string tail = OneLine(text);
    const auto limit = static_cast<std::size_t>(width_ - 1);
    const std::size_t room = line.size() + 3 < limit ? limit - line.size() : 3;
    if (tail.size() > room) {
        std::size_t start = tail.size() - (room - 3);
        while (start < tail.size() && !StartsCharacter(tail[start]))
            ++start;
        tail = "..." + tail.substr(start);
    }
    line += tail;
    err_ << '\r' << line << "\x1b[K" << std::flush;
    shown_ = true;
}

void ProgressLine::Clear() {
    if (!shown_) return;
    err_ << "\r\x1b[K" << std::flush;
    shown_ = false;
}

}  // namespace qmp::cli
