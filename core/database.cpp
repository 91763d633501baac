#include "core/database.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>

#include "core/file_buffer.h"
#include "core/program_values.h"
#include "system/full_path.h"
#include "system/paths.h"
#include "system/temp_files.h"

namespace qmp {
namespace {

// A fingerprint of a file's bytes (64-bit FNV-1a), taken while they are
// written, so that a save can tell whether the file changed on disk since.
class Fingerprint final {
public:
    void Add(std::string_view bytes) {
        for (const char c : bytes) {
            hash_ ^= static_cast<unsigned char>(c);
            hash_ *= 0x100000001b3ULL;
        }
    }
    std::uint64_t Value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

std::uint64_t FingerprintOf(std::string_view bytes) {
    Fingerprint fingerprint;
    fingerprint.Add(bytes);
    return fingerprint.Value();
}

// Passes the bytes on to a file and takes their fingerprint.
class FingerprintingSink final : public ByteSink {
public:
    explicit FingerprintingSink(ByteSink& out) : out_(out) {}
    bool Write(std::string_view bytes) override {
        fingerprint.Add(bytes);
        return out_.Write(bytes);
    }
    Fingerprint fingerprint;

private:
    ByteSink& out_;
};

// What was last read from (or saved into) the current database's file.
struct OnDisk {
    std::string path;  // empty: nothing
    std::uint64_t fingerprint = 0;
    std::string problem;  // why the arrays could not be read whole
};

OnDisk& LastRead() {
    static OnDisk onDisk;
    return onDisk;
}

std::string FailureText(std::string_view what, std::string_view path, int error) {
    return std::string(what) + " " + std::string(path) + ": " + SystemErrorText(error) + ".";
}

std::string NotCompleted(std::string text) {
    return text + " " + std::string(kNotCompleted);
}

std::string ReadOnlyText(std::string_view path) {
    return "The database " + std::string(path) + " is read-only.";
}

// Writes `bytes` into a new file `path` that is flushed to disk; false (and
// errno set) when that fails.
bool WriteCopy(FileOps& ops, const std::string& path, std::string_view bytes) {
    std::unique_ptr<NewFile> file = ops.Create(path);
    if (!file) return false;
    if (file->Write(bytes) && file->Commit()) return true;
    const int error = file->Error();
    file.reset();
    ops.Remove(path);
    errno = error;
    return false;
}

}  // namespace

ReadProblem OpenDatabase(Host& host, std::string_view pathView) {
    // A copy: the caller's text may be DatabasePath itself, which changes here.
    const std::string path(pathView);
    // The URLs of the links are formed from the database's real folder.
    DatabasePath = RealFilePath(path);
    host.LoadRatingSettings(DatabasePath);
    Links.Clear();
    Categories.Clear();
    LastRead() = {};
    // One read of the file serves both tables.
    FileBuffer buffer = OpenFileBuffer(path);
    ReadProblem problem;
    if (buffer.IsOpen()) {
        problem = ReadCategories(buffer, Categories);
        if (ReadProblem links = ReadLinks(buffer, Links, host); !problem)
            problem = std::move(links);
        LastRead() = {DatabasePath, FingerprintOf(buffer.Data()), problem.text};
    }
    host.RefreshView(true);
    return problem;
}

ReadProblem ImportLinks(Host& host, std::string_view path) {
    ReadProblem problem = ReadLinks(path, Links, host);
    host.RefreshView(false);
    return problem;
}

// The database's name always names a complete database: the new text goes
// to a temporary file beside it, is flushed to disk, and takes the name in
// one rename. A hard link (or a copy) keeps the old version under the backup
// name until then. Killed at any instant, the save leaves the old or the new
// database under the database's name; a backup found at the start was left
// by a save that was interrupted, and is kept.
bool SaveDatabaseFile(Host& host, FileOps& ops, const std::string& path, const TCat& categories,
                      const TBase& links) {
    WaitCursor wait(host);
    const auto fail = [&host](std::string text) {
        ShowError(host, NotCompleted(std::move(text)));
        return false;
    };

    int error = 0;
    const std::string target = FollowFileLinks(path, error);
    if (target.empty()) return fail(FailureText("Cannot read file", path, error));
    FileBuffer database = OpenFileBuffer(target, &error);
    if (!database.IsOpen()) return fail(FailureText("Cannot read file", target, error));
    if (IsReadOnlyFile(target)) return fail(ReadOnlyText(path));
    OnDisk& read = LastRead();
    if (read.path == path) {
        if (!read.problem.empty()) {
            return fail("The database " + path + " cannot be read as written (" + read.problem +
                        "), and saving over it would lose what could not be read.");
        }
        if (FingerprintOf(database.Data()) != read.fingerprint) {
            return fail("The database " + path +
                        " was changed by another program since it was read.");
        }
    }

    const std::string_view data = database.Data();
    std::int64_t settingsEnd = 0;
    std::int64_t tailEnd = 0;
    if (!FindText(database, kSettingsMarker, settingsEnd)) {
        ShowError(host, std::string(kNoDatabaseMessage));
        return false;
    }
    tailEnd = settingsEnd;
    if (!FindText(database, kEndMarker, tailEnd)) {
        ShowError(host, std::string(kNoDatabaseMessage));
        return false;
    }
    // The marker and the two bytes after it (normally CR LF) stay with the head.
    const std::size_t headSize = std::min(data.size(), static_cast<std::size_t>(settingsEnd) + 2);
    const auto tailStart = static_cast<std::size_t>(tailEnd) - kEndMarker.size();

    const std::string tempPath = target + "~temp~";
    std::unique_ptr<NewFile> temp = ops.Create(tempPath);
    if (!temp) return fail(FailureText("Cannot create file", tempPath, errno));
    const ScratchFile scratch(tempPath);
    const auto discard = [&](std::string text) {
        temp.reset();
        ops.Remove(tempPath);
        return fail(std::move(text));
    };

    FileOwnership ownership;
    const bool known = ReadFileOwnership(target, ownership);
    FingerprintingSink sink(*temp);
    if (!sink.Write(data.substr(0, headSize)) || !WriteCategories(categories, sink) ||
        !WriteLinks(links, sink) || !sink.Write(data.substr(tailStart)) ||
        (known && !temp->SetModeAndOwner(ownership.mode, ownership.owner, ownership.group)) ||
        !temp->Commit()) {
        return discard(FailureText("Cannot write file", tempPath, temp->Error()));
    }
    temp.reset();

    const std::string backupPath = target + "~temp1~";
    const bool backup = !ops.Exists(backupPath);
    if (backup && !ops.Link(target, backupPath) && !WriteCopy(ops, backupPath, data))
        return discard(FailureText("Cannot create file", backupPath, errno));
    if (!ops.Rename(tempPath, target)) {
        error = errno;
        if (backup) ops.Remove(backupPath);
        return discard("Cannot rename file " + tempPath + " to " + target + ": " +
                       SystemErrorText(error) + ".");
    }
    ops.SyncFolder(ExtractFilePath(target));
    if (backup) ops.Remove(backupPath);
    LastRead() = {path, sink.fingerprint.Value(), {}};
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

std::string SaveProblem(std::string_view path, FileOps& ops) {
    int error = 0;
    const std::string target = FollowFileLinks(path, error);
    if (target.empty()) return FailureText("Cannot read file", path, error);
    if (IsReadOnlyFile(target)) return ReadOnlyText(path);
    const std::string tempPath = target + "~temp~";
    std::unique_ptr<NewFile> probe = ops.Create(tempPath);
    if (!probe) return FailureText("Cannot create file", tempPath, errno);
    const ScratchFile scratch(tempPath);
    probe.reset();
    ops.Remove(tempPath);
    return {};
}

std::string InterruptedSaveBackup(std::string_view path) {
    int error = 0;
    std::string target = FollowFileLinks(path, error);
    if (target.empty()) target = path;
    const std::string backup = target + "~temp1~";
    return SystemFileOps().Exists(backup) ? backup : std::string();
}

bool ChangedOnDisk(std::string_view path) {
    const OnDisk& read = LastRead();
    if (read.path.empty() || read.path != path || !read.problem.empty()) return false;
    const FileBuffer buffer = OpenFileBuffer(read.path);
    return buffer.IsOpen() && FingerprintOf(buffer.Data()) != read.fingerprint;
}

void AcceptDatabaseOnDisk() {
    OnDisk& read = LastRead();
    if (read.path.empty()) return;
    const FileBuffer buffer = OpenFileBuffer(read.path);
    if (buffer.IsOpen()) read.fingerprint = FingerprintOf(buffer.Data());
}

}  // namespace qmp
