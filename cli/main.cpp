// qmp: the command-line tool. Arguments come from the operating system as
// UTF-8; each command turns its paths into the program's own form.

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/interrupt.h"
#include "cli/qmp_app.h"
#include "system/code_page_choice.h"

namespace {

int TerminalWidth() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    if (const char* columns = std::getenv("COLUMNS")) {
        const int value = std::atoi(columns);
        if (value > 0) return value;
    }
    return 80;
}

std::string CurrentDir() {
    std::string dir(4096, '\0');
    while (::getcwd(dir.data(), dir.size()) == nullptr) {
        if (errno != ERANGE) return "/";
        dir.resize(dir.size() * 2);
    }
    dir.resize(dir.find('\0'));
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    qmp::InitSystemCodePage();

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    qmp::cli::Console console{std::cout, std::cerr, CurrentDir(), ::isatty(STDERR_FILENO) == 1,
                              TerminalWidth()};
    const int status = qmp::cli::RunQmp(arguments, console);
    std::cout.flush();
    std::cerr.flush();
    if (qmp::cli::InterruptRequested()) {
        // A scan or an update was stopped by Ctrl+C and what it found is
        // saved; the caller (a shell running a script) still learns that the
        // work was interrupted, and stops too.
        ::signal(SIGINT, SIG_DFL);
        ::raise(SIGINT);
    }
    return status;
}
