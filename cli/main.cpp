// qmp: the command-line tool. Arguments come from the operating system as
// UTF-8; each command turns its paths into the program's own form.

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/interrupt.h"
#include "cli/output_stream.h"
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
    qmp::cli::InstallSignalHandlers();

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    qmp::cli::FdOutputBuffer outBuffer(STDOUT_FILENO);
    std::ostream out(&outBuffer);
    const auto outError = [&outBuffer] { return outBuffer.Error(); };
    qmp::cli::Console console{
        out, std::cerr, CurrentDir(), ::isatty(STDERR_FILENO) == 1, TerminalWidth(), outError};
    const int status = qmp::cli::RunQmp(arguments, console);
    std::cerr.flush();
    // A scan or an update stopped by a signal saved what it found; the
    // caller (a shell running a script, a service manager) still learns that
    // the work was interrupted, and by what.
    qmp::cli::EndAsInterrupted();
    return status;
}
