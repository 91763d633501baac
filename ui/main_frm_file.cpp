// The File menu: new engine, open, save, save as, import, export, preview
// and exit.

#include "core/database.h"
#include "core/program_values.h"
#include "core/project_folder.h"
#include "system/shell.h"
#include "ui/chosen_path.h"
#include "ui/main_frm.h"
#include "ui/prompts.h"

namespace qmp::ui {
namespace {

constexpr const char* kEngineFilter = "Engine File (*db.js)|*db.js|Any other type File (*.*)|*.*";

FileChoice EngineFileChoice(FileChoice::Kind kind, const char* title) {
    FileChoice choice;
    choice.kind = kind;
    choice.title = QString::fromUtf8(title);
    choice.filter = QString::fromUtf8(kEngineFilter);
    if (kind == FileChoice::Kind::kSave) choice.initialPath = ShownPath(DatabasePath);
    return choice;
}

}  // namespace

bool TMainForm::SaveChangesFirst() {
    if (IsSaved) return true;
    const Message question{"Warning", "Search engine file is not saved. Save?",
                           MessageIcon::kWarning, MessageButtons::kYesNo};
    if (ShowMessageBox(this, question) != MessageAnswer::kYes) return true;
    return FileSave();
}

void TMainForm::OpenDatabaseFile(const std::string& path) {
    EnableDatabaseCommands();
    // The window repaints before a long read.
    host_.ProcessMessages();
    OpenDatabase(host_, path);
    SetDatabaseTitle();
    FileSaved();
}

void TMainForm::FileNewExecute() {
    if (!commands_.newEngine || !SaveChangesFirst()) return;
    if (!commands_.newEngine(*this)) return;
    EnableDatabaseCommands();
    OpenDatabase(host_, DatabasePath);
    FileSaved();
    SetDatabaseTitle();
}

void TMainForm::FileOpenExecute() {
    if (!SaveChangesFirst()) return;
    const std::optional<QString> file =
        ChooseFile(this, EngineFileChoice(FileChoice::Kind::kOpenExisting, "Open"));
    if (file) OpenDatabaseFile(AnsiPathOf(*file));
}

bool TMainForm::FileSave() {
    if (!SaveDatabase(host_)) return false;
    FileSaved();
    return true;
}

void TMainForm::FileSaveExecute() {
    FileSave();
}

void TMainForm::FileSaveAsExecute() {
    const std::optional<QString> file =
        ChooseFile(this, EngineFileChoice(FileChoice::Kind::kSave, "Save As"));
    if (!file) return;
    const bool saved = SaveDatabaseAs(host_, AnsiPathOf(*file));
    SetDatabaseTitle();
    if (saved) FileSaved();
}

void TMainForm::FileImportExecute() {
    const std::optional<QString> file =
        ChooseFile(this, EngineFileChoice(FileChoice::Kind::kOpenExisting, "Import"));
    if (!file) return;
    EnableDatabaseCommands();
    ImportLinks(host_, AnsiPathOf(*file));
}

void TMainForm::FileBuildInExecute() {
    FileChoice choice = EngineFileChoice(FileChoice::Kind::kSave, "Export");
    // The chosen engine file is meant to exist: its database section is replaced.
    choice.confirmOverwrite = false;
    const std::optional<QString> file = ChooseFile(this, choice);
    if (!file) return;
    // From here on the window works on the chosen file, saved or not.
    const bool saved = ExportDatabase(host_, AnsiPathOf(*file));
    SetDatabaseTitle();
    if (saved) FileSaved();
}

void TMainForm::FilePreviewExecute() {
    if (!IsSaved) {
        const Message question{"Question",
                               "You must save the search engine to show. Save it before showing?",
                               MessageIcon::kQuestion, MessageButtons::kYesNoCancel};
        switch (ShowMessageBox(this, question)) {
            case MessageAnswer::kYes:
                // After a failed save the pages on disk are not what was asked for.
                if (!FileSave()) return;
                break;
            case MessageAnswer::kNo:
                break;
            default:
                return;
        }
    }
    OpenWithShell(StartPage(DatabasePath));
}

void TMainForm::FileExitExecute() {
    close();
}

}  // namespace qmp::ui
