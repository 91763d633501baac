#pragma once
// Runs a document filter program and collects what it prints.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qmp {

// A filter's output beyond this many bytes is dropped (the program still runs
// to its end): a document's text never needs more, and memory stays bounded.
inline constexpr std::size_t kMaxFilterOutput = std::size_t{64} << 20;

// Starts `arguments[0]` (looked up in PATH unless it holds a "/") with the
// other arguments, no shell, standard input and error on /dev/null, and gives
// back its standard output. Nothing when the program cannot be started, is
// ended by a signal or exits with a status other than 0.
std::optional<std::string> RunFilterProgram(const std::vector<std::string>& arguments);

}  // namespace qmp
