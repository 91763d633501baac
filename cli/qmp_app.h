#pragma once
// The qmp command-line tool, run in-process: the commands take their
// arguments as the operating system gives them (UTF-8) and write to the
// streams given, so tests can compare every byte of the output.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace qmp::cli {

// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFileError = 1;  // a file could not be read or written
inline constexpr int kExitUsage = 2;      // a wrong command line

// Where a run writes, and what it knows of its surroundings.
struct Console {
    std::ostream& out;
    std::ostream& err;
    std::string currentDir;      // the working folder (UTF-8), a full path
    bool errIsTerminal = false;  // progress is shown only on a terminal
    int terminalWidth = 80;
    // The system's error number of a write to `out` that failed (0 when not known).
    std::function<int()> outError;
};

// Runs one command line (the arguments after the program's name) with the
// program-wide values at their start-up values, and gives the exit status:
// a failed write to `out` fails the run.
int RunQmp(const std::vector<std::string>& arguments, Console& console);

}  // namespace qmp::cli
