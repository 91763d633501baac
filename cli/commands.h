#pragma once
// The commands of qmp. Each takes its parsed arguments (paths still as the
// operating system gave them) and gives the exit status.

#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_host.h"
#include "cli/command_line.h"
#include "cli/qmp_app.h"

namespace qmp::cli {

// One run of a command: where it writes and how it answers the core.
struct Session {
    Session(Console& c, bool q) : console(c), quiet(q), host(c, q) {}
    Console& console;
    bool quiet;
    CliHost host;

    // The path argument as the program holds paths; nothing (and the error
    // shown) when the system code page cannot spell it.
    std::optional<std::string> Path(std::string_view osArgument);
    // Writes a line on standard output unless quiet.
    void Report(std::string_view utf8Line);
    // Writes "Note: " and the line on standard error unless quiet.
    void Note(std::string_view ansiText);
};

int AddSiteCommand(Session& session, const ParsedArgs& args);
int UpdateCommand(Session& session, const ParsedArgs& args);
int ListCommand(Session& session, const ParsedArgs& args);
int ExtractCommand(Session& session, const ParsedArgs& args);
int NewCommand(Session& session, const ParsedArgs& args);
int TemplatesCommand(Session& session, const ParsedArgs& args);

// A wrong command line found after the arguments were parsed (a value that
// is not a number, a template that does not exist): the message, exit 2.
int UsageError(Session& session, std::string_view ansiMessage);

}  // namespace qmp::cli
