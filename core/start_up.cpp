#include "core/start_up.h"

#include "core/program_values.h"
#include "core/settings_file.h"
#include "decoding/database_text.h"
#include "system/folders.h"
#include "system/os_path.h"
#include "system/paths.h"
#include "system/shell.h"

namespace qmp {

void InitDefaults() {
    UTF8Mode = false;
    IndexDepthLimit = 100000;
    ProgrammingLanguageMode = false;
    FileNameCaptionMode = false;
    DefaultDatabaseName = "searchdb.js";
    AppTitle = "Corvan Quarrymap Lite";
    DatabasePath = DocumentsDir() + DefaultDatabaseName;
    IsSaved = true;
    Categories.Clear();
    Links.Clear();
    ExtensionList = "html, htm, shtml, phtml, php, php3, php4, php5, asp, jsp, txt, mp3, ogg, m3u";
}

bool StartUp(const std::vector<std::string>& arguments) {
    WindowLeft = 10;
    WindowTop = 10;
    WindowWidth = 640;
    WindowHeight = 400;
    WindowMaximized = false;
    LoadSettings();
    const bool uninstall = !arguments.empty() && arguments.front() == "/uninstall";
    // The first run records the installation date; "/uninstall" writes nothing.
    LoadInstallationDate(UserSettingsDir(kSettingsSubDir), !uninstall);
    if (uninstall) {
        OpenMakerPage(kUninstallFeedbackPage);
        return false;
    }
    InitDefaults();
    return true;
}

void ShutDown(Host& host) {
    SaveSettings(host);
    Links.Clear();
    Categories.Clear();
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (i < n) {
        while (i < n && blank(commandLine[i]))
            ++i;
        if (i == n) break;
        std::string argument;
        bool quoted = false;
        for (; i < n && (quoted || !blank(commandLine[i])); ++i) {
            if (commandLine[i] == '"')
                quoted = !quoted;
            else
                argument.push_back(commandLine[i]);
        }
        if (!argument.empty()) arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::vector<std::string> ArgumentsFromArgv(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(FromOsName(argv[i]));
    return arguments;
}

}  // namespace qmp
