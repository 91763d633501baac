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

void TMainForm::ReadDatabase(const std::string& path) {
    // The window is the database's one writer while it shows it; another
    // program that holds it already keeps it, and this window cannot save.
    lock_.Release();
    if (lock_.Take(path, false) == DatabaseLock::Result::kInUse) {
        ShowWarning(lock_.Problem() +
                    " It is shown here, but it cannot be saved until that program is done.");
    }
    if (const ReadProblem problem = OpenDatabase(host_, path)) {
        ShowWarning("The database " + path + " cannot be read as written: " + problem.text +
                    ". It is shown as far as it could be read; it is not saved over that file "
                    "(Save As can keep it in another).");
    }
    if (const std::string backup = InterruptedSaveBackup(path); !backup.empty())
        ShowWarning("A copy of the database that an interrupted save left is " + backup +
                    "; it is kept.");
}

void TMainForm::ShowWarning(std::string text) {
    ShowMessageBox(this, {"Warning", std::move(text), MessageIcon::kWarning, MessageButtons::kOk});
}

bool TMainForm::MaySave(const std::string& path, DatabaseLock& lock) {
    // A lock that cannot be made at all (a read-only folder) leaves the save
    // to say why it fails; only another writer stops it here.
    if (!lock.Held() && lock.Take(path, false) == DatabaseLock::Result::kInUse) {
        ShowError(host_, lock.Problem() + " " + std::string(kNotCompleted));
        return false;
    }
    if (!ChangedOnDisk(path)) return true;
    const Message question{"Warning",
                           "The database " + path +
                               " was changed by another program since it was read. Replace "
                               "it with the database shown here?",
                           MessageIcon::kWarning, MessageButtons::kYesNo};
    if (ShowMessageBox(this, question) != MessageAnswer::kYes) return false;
    AcceptDatabaseOnDisk();
    return true;
}

void TMainForm::OpenDatabaseFile(const std::string& path) {
    EnableDatabaseCommands();
    // The window repaints before a long read.
    host_.ProcessMessages();
    ReadDatabase(path);
    SetDatabaseTitle();
    FileSaved();
}

void TMainForm::FileNewExecute() {
    if (!commands_.newEngine || !SaveChangesFirst()) return;
    if (!commands_.newEngine(*this)) return;
    EnableDatabaseCommands();
    ReadDatabase(DatabasePath);
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
    if (!MaySave(DatabasePath, lock_) || !SaveDatabase(host_)) return false;
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
    SaveInto(AnsiPathOf(*file),
             [this](const std::string& path) { return SaveDatabaseAs(host_, path); });
}

void TMainForm::SaveInto(const std::string& path,
                         const std::function<bool(const std::string&)>& save) {
    // The other file becomes this window's to write before it is written;
    // the file left behind is free again once the save has succeeded.
    const bool samePath = path == DatabasePath;
    DatabaseLock next;
    if (!samePath && next.Take(path, false) == DatabaseLock::Result::kInUse) {
        ShowError(host_, next.Problem() + " " + std::string(kNotCompleted));
        return;
    }
    if (samePath && !MaySave(path, lock_)) return;
    const bool saved = save(path);
    SetDatabaseTitle();
    if (!saved) return;
    if (!samePath) lock_ = std::move(next);
    FileSaved();
}

void TMainForm::FileImportExecute() {
    const std::optional<QString> file =
        ChooseFile(this, EngineFileChoice(FileChoice::Kind::kOpenExisting, "Import"));
    if (!file) return;
    EnableDatabaseCommands();
    const std::string path = AnsiPathOf(*file);
    if (const ReadProblem problem = ImportLinks(host_, path)) {
        ShowWarning("The links of " + path + " cannot all be read as written: " + problem.text +
                    ". Those before the problem were added.");
    }
}

void TMainForm::FileBuildInExecute() {
    FileChoice choice = EngineFileChoice(FileChoice::Kind::kSave, "Export");
    // The chosen engine file is meant to exist: its database section is replaced.
    choice.confirmOverwrite = false;
    const std::optional<QString> file = ChooseFile(this, choice);
    if (!file) return;
    // From here on the window works on the chosen file, saved or not.
    SaveInto(AnsiPathOf(*file),
             [this](const std::string& path) { return ExportDatabase(host_, path); });
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
