#pragma once
// The qmp command-line tool, run in-process: the commands take their
// arguments as the operating system gives them (UTF-8) and write to the
// streams given, so tests can compare every byte of the output.

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
};

// Runs one command line (the arguments after the program's name) with the
// program-wide values at their start-up values, and gives the exit status.
int RunQmp(const std::vector<std::string>& arguments, Console& console);

}  // namespace qmp::cli
