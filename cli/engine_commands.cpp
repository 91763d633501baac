// qmp new and qmp templates: making a search engine from a template.

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>

#include "cli/commands.h"
#include "cli/engine_settings.h"
#include "cli/terminal_text.h"
#include "core/database.h"
#include "core/database_file.h"
#include "core/file_buffer.h"
#include "core/program_values.h"
#include "core/project_folder.h"
#include "decoding/database_text.h"
#include "decoding/display_text.h"
#include "system/file_ops.h"
#include "system/folders.h"
#include "system/os_path.h"
#include "system/paths.h"

namespace qmp::cli {
namespace {

// The engine's own files that an author may have changed.
constexpr std::array<std::string_view, 4> kKeptFiles = {"searchdb.js", "qmp.html", "search.html",
                                                        "qmptp.js"};

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(ToOsPath(path).c_str(), &info) == 0;
}

std::string JoinedNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// A database name is a file of the engine's folder itself.
bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

bool SameNameAnyCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// True when `name` is one of the engine's own files (or folders) that the
// template brings, its database aside: the database would overwrite it, or
// it the database. Letter case is not minded, as a web server may not mind it.
bool IsEngineFileName(const std::string& templateFolder, std::string_view name) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(ToOsPath(templateFolder), error)) {
        const std::string entryName = FromOsName(entry.path().filename().string());
        if (entryName != DefaultDatabaseName && SameNameAnyCase(entryName, name)) return true;
    }
    return false;
}

// True when the file at `path` is a search database that a save can write into.
bool IsSearchDatabase(const std::string& path) {
    FileBuffer buffer = OpenFileBuffer(path);
    return buffer.IsOpen() && HasDatabaseMarkers(buffer);
}

// Gives the engine the database `name` in place of the template's
// searchdb.js: a copy of the template's empty database under that name (an
// existing file of that name stays unless `replace`), and the page's setting
// naming it. The template's searchdb.js goes again unless it was there before.
bool UseDatabaseName(Session& session, const std::string& templateFolder, const std::string& root,
                     const std::string& name, bool replace, bool searchdbExisted) {
    const std::string target = root + name;
    if (Exists(target) && !replace) {
        session.Note("Kept the existing " + target + "; --replace replaces it.");
    } else {
        std::string content;
        if (!ReadFileContent(ToOsPath(templateFolder + DefaultDatabaseName), content) ||
            !ReplaceFileContent(SystemFileOps(), target, content)) {
            session.host.Error("Cannot copy file " + templateFolder + DefaultDatabaseName +
                               "\nto directory " + root);
            return false;
        }
    }
    if (!searchdbExisted) SystemFileOps().Remove(root + DefaultDatabaseName);

    const std::string settingsPath = root + "qmptp.js";
    std::string script;
    if (!ReadFileContent(ToOsPath(settingsPath), script) ||
        !SetDatabaseSetting(script, UrlEncode(ToOsPath(name)))) {
        session.host.Error("The database setting of " + settingsPath +
                           " cannot be set: the search page will not find " + name + ".");
        return false;
    }
    if (!ReplaceFileContent(SystemFileOps(), settingsPath, script)) {
        session.host.Error("Cannot write file " + settingsPath + ".");
        return false;
    }
    return true;
}

}  // namespace

int TemplatesCommand(Session& session, const ParsedArgs&) {
    const std::string folder = DefaultTemplatesDir();
    const std::vector<std::string> names = ListTemplates(folder);
    if (names.empty()) {
        session.host.Error("No templates are found in " + folder + ".");
        return kExitFileError;
    }
    for (const std::string& name : names)
        session.console.out << TerminalText(AnsiDisplayText(name)) << '\n';
    return kExitSuccess;
}

int NewCommand(Session& session, const ParsedArgs& args) {
    const auto rootPath = session.Path(args.positional[0]);
    if (!rootPath) return kExitUsage;
    const std::string root = IncludeTrailingSeparator(*rootPath);
    const bool replace = args.Has("replace");
    const std::string databaseName =
        args.Has("db") ? FromOsName(args.Value("db")) : DefaultDatabaseName;
    if (!IsPlainFileName(databaseName) || ToOsPath(databaseName) != args.Value("db", "searchdb.js"))
        return UsageError(session, "'" + databaseName + "' is not a file name for the database.");

    const std::string templatesDir = DefaultTemplatesDir();
    const std::vector<std::string> templates = ListTemplates(templatesDir);
    if (templates.empty()) {
        session.host.Error("No templates are found in " + templatesDir + ".");
        return kExitFileError;
    }
    std::string templateName = templates.front();
    if (args.Has("template")) {
        templateName = FromOsName(args.Value("template"));
        if (std::find(templates.begin(), templates.end(), templateName) == templates.end()) {
            return UsageError(session, "There is no template '" + templateName +
                                           "'. The templates are: " + JoinedNames(templates) + ".");
        }
    }

    // The database's name must not take the place of another file: neither
    // one of the engine's own nor any existing file that is no database.
    const std::string templateFolder = IncludeTrailingSeparator(templatesDir) + templateName + "/";
    if (IsEngineFileName(templateFolder, databaseName)) {
        return UsageError(session, "'" + databaseName +
                                       "' is a file of the search engine itself; give the "
                                       "database a name of its own.");
    }
    const std::string databasePath = root + databaseName;
    if (Exists(databasePath) && !IsSearchDatabase(databasePath)) {
        session.host.Error("The file " + databasePath +
                           " is not a search database; give the database another name (--db).");
        return kExitFileError;
    }
    if (const std::string backup = InterruptedSaveBackup(databasePath); !backup.empty()) {
        session.Note("A copy of the database that an interrupted save left is " + backup +
                     "; it is kept.");
    }

    if (!ForceFolders(root) || !IsExistingFolder(root)) {
        session.host.Error("The folder " + root + " cannot be created.");
        return kExitFileError;
    }
    std::vector<std::string> keptFiles;
    for (std::string_view name : kKeptFiles)
        if (!replace && Exists(root + std::string(name)))
            keptFiles.push_back(root + std::string(name));
    const bool searchdbExisted = Exists(root + DefaultDatabaseName);

    session.host.SetReplaceAnswer(replace);
    // Under another name, an existing searchdb.js is not this engine's
    // database: --replace never empties it.
    if (databaseName != DefaultDatabaseName)
        session.host.KeepAlways(ReplaceQuestionText(root + DefaultDatabaseName));
    const CopyResult copied = CreateProject(templatesDir, templateName, root, session.host);
    if (copied.failed > 0) return kExitFileError;
    for (const std::string& kept : keptFiles) {
        if (databaseName == DefaultDatabaseName || !kept.ends_with("/" + DefaultDatabaseName))
            session.Note("Kept the existing " + kept + "; --replace replaces it.");
    }
    if (databaseName != DefaultDatabaseName &&
        !UseDatabaseName(session, templateFolder, root, databaseName, replace, searchdbExisted)) {
        return kExitFileError;
    }

    session.Report("Database: " + AnsiDisplayText(databasePath));
    // The start page is the template's page as written now; a page of the
    // site's own, or one kept from before, is not this engine's.
    const std::string templatePage = ExtractFileName(StartPage(
        IncludeTrailingSeparator(templatesDir) + templateName + "/" + DefaultDatabaseName));
    if (!templatePage.empty() &&
        std::find(keptFiles.begin(), keptFiles.end(), root + templatePage) == keptFiles.end()) {
        // The page asks for the database by name before its scripts run.
        std::string page;
        if (databaseName != DefaultDatabaseName &&
            ReadFileContent(ToOsPath(root + templatePage), page) &&
            SetDatabasePreload(page, UrlEncode(ToOsPath(databaseName))) &&
            !ReplaceFileContent(SystemFileOps(), root + templatePage, page)) {
            session.host.Error("Cannot write file " + root + templatePage + ".");
            return kExitFileError;
        }
        session.Report("Start page: " + AnsiDisplayText(root + templatePage));
    }
    return kExitSuccess;
}

}  // namespace qmp::cli
