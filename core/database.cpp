#include "core/database.h"

#include <algorithm>
#include <memory>

#include "core/database_file.h"
#include "core/file_buffer.h"
#include "core/program_values.h"
#include "system/full_path.h"
#include "system/paths.h"

namespace qmp {
namespace {

std::string CannotWriteMessage(const std::string& path) {
    return FormatMessage(kCannotWriteMessage, {path});
}

}  // namespace

void OpenDatabase(Host& host, std::string_view path) {
    // The URLs of the links are formed from the database's real folder.
    DatabasePath = RealFilePath(path);
    host.LoadRatingSettings(DatabasePath);
    Links.Clear();
    Categories.Clear();
    // One read of the file serves both tables.
    FileBuffer buffer = OpenFileBuffer(path);
    if (buffer.IsOpen()) {
        ReadCategories(buffer, Categories);
        ReadLinks(buffer, Links, host);
    }
    host.RefreshView(true);
}

void ImportLinks(Host& host, std::string_view path) {
    ReadLinks(path, Links, host);
    host.RefreshView(false);
}

// Every step that can fail ends the save with the database file untouched:
// the new text goes to path~temp~, is flushed to disk, and only then does the
// database file step aside to path~temp1~ so that the temporary file can take
// its name. Killed at any instant, the save leaves the old or the new
// database complete under the database's name or the backup name.
bool SaveDatabaseFile(Host& host, FileOps& ops, const std::string& path, const TCat& categories,
                      const TBase& links) {
    WaitCursor wait(host);
    const std::string tempPath = path + "~temp~";
    const std::string backupPath = path + "~temp1~";

    FileBuffer database = OpenFileBuffer(path);
    if (!database.IsOpen()) {
        ShowError(host, std::string(kCannotRenameMessage));
        return false;
    }
    std::unique_ptr<NewFile> temp = ops.Create(tempPath);
    if (!temp) {
        ShowError(host, std::string(kCannotRenameMessage));
        return false;
    }
    auto fail = [&](std::string message) {
        temp.reset();
        ops.Remove(tempPath);
        ShowError(host, std::move(message));
        return false;
    };

    const std::string_view data = database.Data();
    std::int64_t settingsEnd = 0;
    if (!FindText(database, kSettingsMarker, settingsEnd))
        return fail(std::string(kNoDatabaseMessage));
    // The marker and the two bytes after it (normally CR LF) stay with the head.
    const std::size_t headSize = std::min(data.size(), static_cast<std::size_t>(settingsEnd) + 2);
    if (!temp->Write(data.substr(0, headSize)) || !WriteCategories(categories, *temp) ||
        !WriteLinks(links, *temp)) {
        return fail(CannotWriteMessage(tempPath));
    }
    std::int64_t tailEnd = settingsEnd;
    if (!FindText(database, kEndMarker, tailEnd)) return fail(std::string(kNoDatabaseMessage));
    const auto tailStart = static_cast<std::size_t>(tailEnd) - kEndMarker.size();
    if (!temp->Write(data.substr(tailStart)) || !temp->Commit()) {
        return fail(CannotWriteMessage(tempPath));
    }
    temp.reset();
    CloseFileBuffer(database);

    if (!ops.Rename(path, backupPath)) {
        ops.Remove(tempPath);
        ShowError(host, std::string(kCannotRenameMessage));
        return false;
    }
    if (!ops.Rename(tempPath, path)) {
        // The old database goes back to its name. Should even that fail, it
        // stays under the backup name and the new one under the temporary
        // name: neither is deleted.
        if (ops.Rename(backupPath, path)) ops.Remove(tempPath);
        ShowError(host, std::string(kCannotRenameMessage));
        return false;
    }
    ops.SyncFolder(ExtractFilePath(path));
    ops.Remove(backupPath);
    return true;
}

bool SaveDatabase(Host& host, FileOps& ops) {
    return SaveDatabaseFile(host, ops, DatabasePath, Categories, Links);
}

bool SaveDatabaseAs(Host& host, std::string_view path, FileOps& ops) {
    // The copy supplies the head and tail the save keeps. It replaces a file
    // at `path` only when complete; when the current file cannot be read, a
    // file already at `path` stays and the save writes into it.
    const std::string target = RealFilePath(path);
    if (target != DatabasePath) {
        const FileBuffer source = OpenFileBuffer(DatabasePath);
        if (source.IsOpen()) ReplaceFileContent(ops, target, source.Data());
    }
    DatabasePath = target;
    return SaveDatabase(host, ops);
}

bool ExportDatabase(Host& host, std::string_view path, FileOps& ops) {
    DatabasePath = RealFilePath(path);
    return SaveDatabase(host, ops);
}

}  // namespace qmp
