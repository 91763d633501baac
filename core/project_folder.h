#pragma once
// The engine's project folder: the template store, creating a project by
// copying a template tree into the website's root folder, and the page that
// previews a project.

#include <string>
#include <string_view>
#include <vector>

namespace qmp {

// What a template copy asks of the program around it: the window asks the
// user, the command line answers from its options.
class TemplateCopyHost {
public:
    virtual ~TemplateCopyHost() = default;
    // Asked before an existing "searchdb.js", "qmp.html", "search.html" or
    // "qmptp.js" is replaced. `question` is the text to show (caption "Question", warning
    // icon, Yes and No). True (Yes) replaces the file; false keeps it.
    virtual bool AskReplace(const std::string& question) = 0;
    // A file could not be copied; `message` is the text to show (caption
    // "Error", error icon). The copy goes on with the next entry.
    virtual void ReportCopyError(const std::string& message) = 0;
};

// What a copy did, for callers that report it (the command line).
struct CopyResult {
    bool sourceFound = false;  // the source folder could be listed
    int copied = 0;            // files written
    int kept = 0;              // existing files kept because the answer was No
    int failed = 0;            // files that could not be copied (each reported)
};

// The templates folder beside the program: ProgramDir() followed by "Templates/".
std::string DefaultTemplatesDir();

// The names of the templates in `templatesDir` (its sub-folders), in
// alphabetical order without regard to letter case; empty when it is missing.
std::vector<std::string> ListTemplates(std::string_view templatesDir);

// The text of the replace question for the existing file `targetPath`.
std::string ReplaceQuestionText(std::string_view targetPath);

// The text reported when `sourcePath` cannot be copied into `destination`.
std::string CopyErrorText(std::string_view sourcePath, std::string_view destination);

// Copies every entry of `source` into `destination` (both folders ending
// with "/"), in the order the file system lists them, sub-folders included.
// An existing "searchdb.js", "qmp.html", "search.html" or "qmptp.js" (names
// compared exactly) is replaced only when the host answers Yes; every other existing
// file is replaced without a question. Each file is written to a temporary
// name beside its target and renamed over it when complete, so a target is
// never left half-written. A missing source copies nothing and reports nothing.
CopyResult CopyTree(std::string_view source, std::string_view destination, TemplateCopyHost& host);

// Creates a project from the template `templateName` of `templatesDir` in
// `rootFolder` (ending with "/"): the template tree is copied into it.
CopyResult CreateProject(std::string_view templatesDir, std::string_view templateName,
                         std::string_view rootFolder, TemplateCopyHost& host);

// The page that previews the project of `databasePath`: the first of
// "qmp.html", "search.html" and "index.html" in its folder that is a file;
// the folder itself when there is none.
std::string StartPage(std::string_view databasePath);

}  // namespace qmp
