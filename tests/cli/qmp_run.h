#pragma once
// Running qmp in-process, with its output caught for byte comparisons.

#include <sstream>
#include <string>
#include <vector>

#include "cli/qmp_app.h"
#include "system/paths.h"
#include "tests/support/test_paths.h"

namespace qmp::test {

struct QmpResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `qmp arguments...` in the folder `currentDir`, with the program's data
// (templates, default rating files) taken from the build's program folder.
inline QmpResult RunQmpIn(const std::string& currentDir,
                          const std::vector<std::string>& arguments) {
    SetProgramDirOverride(RuntimeDir());
    std::ostringstream out, err;
    cli::Console console{out, err, currentDir, false, 80, {}};
    QmpResult result;
    result.status = cli::RunQmp(arguments, console);
    result.out = out.str();
    result.err = err.str();
    SetProgramDirOverride("");
    return result;
}

}  // namespace qmp::test
