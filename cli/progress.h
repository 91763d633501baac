#pragma once
// Progress of long work on standard error: on a terminal one line that is
// rewritten in place; elsewhere (a log, a pipe) nothing, so scripts see only
// warnings and errors.

#include <chrono>
#include <ostream>
#include <string>
#include <string_view>

namespace qmp::cli {

class ProgressLine final {
public:
    // `enabled`: the stream is a terminal and the user did not ask for quiet.
    ProgressLine(std::ostream& err, bool enabled, int width = 100);
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Shows `head` followed by `text` (UTF-8), cut to the line's width: the
    // head stays whole and the text keeps its end, where the file name is.
    // Redrawn at most every 50 ms unless `force`.
    void Show(std::string_view head, std::string_view text, bool force = false);
    void Show(std::string_view text, bool force = false) { Show({}, text, force); }
    // Removes the line, so that a message can follow on a clean line.
    void Clear();

private:
    std::ostream& err_;
    bool enabled_;
    int width_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace qmp::cli
