#include "cli/cli_host.h"

#include "cli/terminal_text.h"
#include "decoding/display_text.h"
#include "indexing/rating_settings.h"

namespace qmp::cli {

CliHost::CliHost(Console& console, bool quiet)
    : console_(console),
      progress_(console.err, console.errIsTerminal && !quiet, console.terminalWidth) {}

void CliHost::Say(std::string_view caption, std::string_view ansiText) {
    SayUtf8(caption, AnsiDisplayText(ansiText));
}

void CliHost::SayUtf8(std::string_view caption, std::string_view utf8Text) {
    progress_.Clear();
    if (caption == "Error") ++errors_;
    console_.err << caption << ": " << TerminalText(utf8Text) << '\n' << std::flush;
}

MessageAnswer CliHost::ShowMessage(const Message& message) {
    Say(message.caption, message.text);
    // Nobody is there to answer: the careful answer, which changes nothing.
    return CarefulAnswer(message.buttons);
}

void CliHost::LoadRatingSettings(std::string_view databasePath) {
    LoadProjectSettings(databasePath);
}

void CliHost::ShowProgress(std::string_view path, int linkCount) {
    progress_.Show("Files indexed: " + std::to_string(linkCount) + "  ", AnsiDisplayText(path));
}

void CliHost::ReportPageNotFound(std::string_view decodedUrl) {
    Warning(PageNotFoundText(decodedUrl));
}

void CliHost::ReportSkipped(std::string_view text) {
    SayUtf8("Warning", text);
}

bool CliHost::AskReplace(const std::string& question) {
    return replace_ && !keep_.contains(question);
}

void CliHost::ReportCopyError(const std::string& message) {
    Error(message);
}

}  // namespace qmp::cli
