#pragma once
// Stands in for the desktop's opener: QMPLIT_OPEN_COMMAND names a small
// script that records the arguments it was started with.

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"

namespace qmp::test {

class OpenRecorder final {
public:
    OpenRecorder()
        : script_(folder_.Write(
              "open.sh",
              "#!/bin/sh\n"
              "out=\"$(dirname \"$0\")/opened\"\n"
              "printf '%s\\n' \"$#\" \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n")),
          env_("QMPLIT_OPEN_COMMAND", script_.c_str()) {
        chmod(script_.c_str(), 0755);
    }

    // The arguments of the one start (count first), waiting for it up to a few seconds.
    std::vector<std::string> Wait() const {
        const std::filesystem::path out = folder_.path() / "opened";
        for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<std::string> lines;
        std::string text = ReadFileBytes(out);
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    // Whether anything was started (after giving it time to be).
    bool Started() const {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return std::filesystem::exists(folder_.path() / "opened");
    }

private:
    TempFolder folder_;
    std::string script_;
    ScopedEnv env_;
};

}  // namespace qmp::test
