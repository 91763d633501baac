#pragma once
// Running the built qmp as a process of its own, and looking at what it left.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/database_file.h"
#include "core/host.h"
#include "tests/support/test_paths.h"

namespace qmp::test {

inline constexpr std::string_view kEmptyDatabase =
    "//Settings\r\nvar cg=new Array(\r\n'All Categories'\r\n);\r\n//DatabaseEnd\r\n";

// Starts `qmp` (the built one unless given) with `arguments`, its output
// going to the files `out` and `err` ("-" for a closed pipe); `inChild` runs
// before the program.
inline pid_t StartQmp(const std::vector<std::string>& arguments, const std::string& out,
                      const std::string& err, const std::function<void()>& inChild = {},
                      const std::string& qmp = RuntimeDir() + "qmp") {
    std::vector<char*> argv{const_cast<char*>("qmp")};
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    if (out == "-" && pipe(pipeEnds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        if (out == "-") {
            close(pipeEnds[0]);  // nobody reads: a write fails with EPIPE
            dup2(pipeEnds[1], STDOUT_FILENO);
        } else {
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
        }
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        if (inChild) inChild();
        execv(qmp.c_str(), argv.data());
        _exit(127);
    }
    if (out == "-") {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
    }
    return child;
}

inline int WaitFor(pid_t child) {
    int status = -1;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    return status;
}

// The URLs of the database file's links.
inline std::multiset<std::string> Urls(const std::string& database) {
    NullHost host;
    TBase links;
    FileBuffer buffer = OpenFileBuffer(database);
    EXPECT_FALSE(ReadLinks(buffer, links, host)) << database;
    std::multiset<std::string> urls;
    for (const TBaseRecord& link : links.Records())
        urls.insert(link.URL);
    return urls;
}

// Nothing but the database and what the test put there.
inline void ExpectNoFilesOfTheSave(const std::string& database) {
    for (const char* suffix : {"~temp~", "~temp1~", "~lock~"})
        EXPECT_FALSE(std::filesystem::exists(database + suffix)) << suffix;
}

}  // namespace qmp::test
