#include "cli/qmp_app.h"

#include <array>
#include <cerrno>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/terminal_text.h"
#include "core/start_up.h"
#include "decoding/display_text.h"
#include "indexing/folder_scan.h"
#include "indexing/project_settings.h"
#include "system/code_page_choice.h"
#include "system/file_ops.h"

#ifndef QMP_VERSION
#define QMP_VERSION "0"
#endif

namespace qmp::cli {
namespace {

struct Command {
    std::string_view name;
    std::string_view usage;  // the arguments after "qmp NAME"
    std::string_view help;   // what it does and its options
    std::vector<OptionRule> options;
    std::size_t minArguments;
    std::size_t maxArguments;
    int (*run)(Session&, const ParsedArgs&);
};

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"new",
         "ROOT [--template NAME] [--db NAME] [--replace]",
         "Makes a search engine in the folder ROOT (created when missing) by copying\n"
         "a template into it, and prints the database's path and the start page.\n"
         "\n"
         "  --template NAME  the template to copy (default: the first of 'qmp templates')\n"
         "  --db NAME        the database's file name (default: searchdb.js)\n"
         "  --replace        replace an existing searchdb.js, qmp.html and qmptp.js\n"
         "                   (without it they are kept)\n",
         {{"template", true}, {"db", true}, {"replace", false}},
         1,
         1,
         NewCommand},
        {"templates",
         "",
         "Lists the templates a search engine can be made from, one name a line.\n",
         {},
         0,
         0,
         TemplatesCommand},
        {"addsite",
         "DB FOLDER [--category N] [--no-subfolders] [--existing] [--jobs N] [--wait]",
         "Adds a link for every page, text, play list and audio file in FOLDER and\n"
         "its sub-folders to the search database DB, and saves it. Ctrl+C (or\n"
         "SIGTERM, SIGHUP) stops the scan; the links found so far are saved.\n"
         "\n"
         "  --category N     the category number of the new links (default: 0)\n"
         "  --no-subfolders  only the files directly in FOLDER\n"
         "  --existing       also files that already have a link (added again)\n"
         "  --jobs N         read N files at once (default: one for each core)\n"
         "  --wait           when another program is changing DB, wait for it\n"
         "                   (without it, qmp stops with exit status 1)\n",
         {{"category", true},
          {"no-subfolders", false},
          {"existing", false},
          {"jobs", true},
          {"wait", false}},
         2,
         2,
         AddSiteCommand},
        {"update",
         "DB [--jobs N]",
         "Reads the file of every link of the search database DB again, refreshes\n"
         "its caption, description and keywords (the category stays), and saves it.\n"
         "Links to other sites and links with the keyword ~ or dont_update stay as\n"
         "they are; a missing page is reported and its link kept. Ctrl+C (or\n"
         "SIGTERM, SIGHUP) stops the update; what was refreshed so far is saved.\n"
         "\n"
         "  --jobs N  read N files at once (default: one for each core)\n"
         "  --wait    when another program is changing DB, wait for it\n"
         "            (without it, qmp stops with exit status 1)\n",
         {{"jobs", true}, {"wait", false}},
         1,
         1,
         UpdateCommand},
        {"list",
         "DB [--json]",
         "Shows the categories and the links of the search database DB.\n"
         "\n"
         "  --json  as JSON: {\"categories\": [...], \"links\": [...]}\n",
         {{"json", false}},
         1,
         1,
         ListCommand},
        {"extract",
         "FILE [--db DB] [--json]",
         "Shows the link a scan would make of FILE.\n"
         "\n"
         "  --db DB  the database whose folder gives the settings and the URL's base\n"
         "           (default: searchdb.js in FILE's folder; it need not exist)\n"
         "  --json   as one JSON object: category, caption, url, description, keywords\n",
         {{"db", true}, {"json", false}},
         1,
         1,
         ExtractCommand},
    };
    return commands;
}

constexpr std::string_view kCommonOptions =
    "  --quiet    no progress and no summary, only warnings and errors\n"
    "  --help     show this help\n"
    "  --version  show the version\n";

void WriteOverview(std::ostream& out) {
    out << "Usage: qmp COMMAND [ARGUMENTS] [OPTIONS]\n"
           "\n"
           "Builds and keeps the search database of a website's search engine.\n"
           "\n"
           "Commands:\n";
    for (const Command& command : Commands())
        out << "  qmp " << command.name << (command.usage.empty() ? "" : " ") << command.usage
            << '\n';
    out << "\nOptions of every command:\n"
        << kCommonOptions
        << "\nRun 'qmp COMMAND --help' for a command's help.\n"
           "Exit status: 0 success, 1 a file could not be read or written, 2 a wrong\n"
           "command line (or a QMPLIT_CODEPAGE that names no code page).\n";
}

void WriteUsage(std::ostream& out, const Command& command) {
    out << "Usage: qmp " << command.name << (command.usage.empty() ? "" : " ") << command.usage
        << '\n';
}

void WriteVersion(std::ostream& out) {
    out << "qmp " << QMP_VERSION << " (Corvan Quarrymap Lite)\n";
}

int WrongCommandLine(Console& console, std::string_view message, const Command* command) {
    console.err << "Error: " << TerminalText(ValidUtf8(message)) << '\n';
    if (command != nullptr) {
        WriteUsage(console.err, *command);
        console.err << "Run 'qmp " << command->name << " --help' for more.\n";
    } else {
        console.err << "Run 'qmp --help' for the commands.\n";
    }
    return kExitUsage;
}

// The program-wide values as a new process has them. An interrupt that came
// already is kept: it stops the work as soon as it starts.
void ResetProgramState() {
    InitDefaults();
    ResetProjectSettings();
    StopRequested = false;
    ScanJobs = 0;
}

}  // namespace

std::optional<std::string> Session::Path(std::string_view osArgument) {
    if (osArgument.empty()) {
        host.Error("An empty path names no file.");
        return std::nullopt;
    }
    auto path = ProgramPath(osArgument, console.currentDir);
    if (!path) {
        const std::string osPath = AbsoluteOsPath(osArgument, console.currentDir);
        const UnheldName unheld = WhyNotHeld(osPath);
        console.err << "Error: The path " << TerminalText(ValidUtf8(osPath)) << " " << unheld.why
                    << "; to use it, " << unheld.remedy << ".\n";
    }
    return path;
}

void Session::Report(std::string_view utf8Line) {
    if (!quiet) console.out << TerminalText(utf8Line) << '\n';
}

void Session::Note(std::string_view ansiText) {
    if (!quiet) host.Say("Note", ansiText);
}

int UsageError(Session& session, std::string_view ansiMessage) {
    session.host.EndProgress();
    session.console.err << "Error: " << TerminalText(AnsiDisplayText(ansiMessage)) << '\n';
    return kExitUsage;
}

namespace {

int RunCommandLine(const std::vector<std::string>& arguments, Console& console) {
    ResetProgramState();
    // File names would be held in another code page than the one asked for.
    if (const std::string error = CodePageSettingError(); !error.empty()) {
        console.err << "Error: " << error << '\n';
        return kExitUsage;
    }

    // Options before the command: --help, --version and --quiet.
    std::size_t at = 0;
    bool quiet = false;
    for (; at < arguments.size() && arguments[at].starts_with("-"); ++at) {
        const std::string& option = arguments[at];
        if (option == "--help" || option == "-h") {
            WriteOverview(console.out);
            return kExitSuccess;
        }
        if (option == "--version") {
            if (at + 1 < arguments.size())
                return WrongCommandLine(console, "--version takes no arguments", nullptr);
            WriteVersion(console.out);
            return kExitSuccess;
        }
        if (option != "--quiet")
            return WrongCommandLine(console, "unknown option '" + option + "'", nullptr);
        quiet = true;
    }
    if (at == arguments.size()) {
        WriteOverview(console.err);
        return kExitUsage;
    }

    const std::string& name = arguments[at];
    const Command* command = nullptr;
    for (const Command& candidate : Commands())
        if (candidate.name == name) command = &candidate;
    if (command == nullptr)
        return WrongCommandLine(console, "unknown command '" + name + "'", nullptr);

    std::vector<OptionRule> rules = command->options;
    rules.push_back({"quiet", false});
    rules.push_back({"version", false});
    std::string error;
    const std::vector<std::string> rest(arguments.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                                        arguments.end());
    const std::optional<ParsedArgs> parsed = ParseArgs(rest, rules, error);
    if (!parsed) return WrongCommandLine(console, error, command);
    if (parsed->help) {
        WriteUsage(console.out, *command);
        console.out << '\n' << command->help << "\nOptions of every command:\n" << kCommonOptions;
        return kExitSuccess;
    }
    if (parsed->Has("version")) {
        WriteVersion(console.out);
        return kExitSuccess;
    }
    const std::size_t count = parsed->positional.size();
    if (count < command->minArguments)
        return WrongCommandLine(console, "too few arguments", command);
    if (count > command->maxArguments)
        return WrongCommandLine(console, "too many arguments", command);

    Session session(console, quiet || parsed->Has("quiet"));
    return command->run(session, *parsed);
}

}  // namespace

int RunQmp(const std::vector<std::string>& arguments, Console& console) {
    const int status = RunCommandLine(arguments, console);
    console.out.flush();
    if (console.out) return status;
    // A reader that went away (a pager closed, `head` content) needs no
    // message; every other failure does. Either way the output is not whole.
    const int error = console.outError ? console.outError() : 0;
    if (error != EPIPE) {
        console.err << "Error: Cannot write to standard output"
                    << (error != 0 ? ": " + SystemErrorText(error) : std::string()) << ".\n";
    }
    return status != kExitSuccess ? status : kExitFileError;
}

}  // namespace qmp::cli
