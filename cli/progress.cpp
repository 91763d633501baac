#include "cli/progress.h"

namespace qmp::cli {

namespace {

// Whether `byte` starts a UTF-8 character (so a cut never splits one).
bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, bool enabled, int width)
    : err_(err), enabled_(enabled), width_(width < 20 ? 20 : width) {}

void ProgressLine::Show(std::string_view text, bool force) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && shown_ && now - last_ < std::chrono::milliseconds(50)) return;
    last_ = now;
    std::string line;
    for (char c : text) line.push_back(c == '\r' || c == '\n' || c == '\t' ? ' ' : c);
    const auto limit = static_cast<std::size_t>(width_ - 1);
    if (line.size() > limit) {
        std::size_t start = line.size() - (limit - 3);
        while (start < line.size() && !StartsCharacter(line[start])) ++start;
        line = "..." + line.substr(start);
    }
    err_ << '\r' << line << "\x1b[K" << std::flush;
    shown_ = true;
}

void ProgressLine::Clear() {
    if (!shown_) return;
    err_ << "\r\x1b[K" << std::flush;
    shown_ = false;
}

}  // namespace qmp::cli
