// qmp addsite, update and list: the commands that work on a search database.

#include <sys/stat.h>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/link_output.h"
#include "core/database.h"
#include "core/database_file.h"
#include "core/database_lock.h"
#include "core/file_buffer.h"
#include "core/program_values.h"
#include "indexing/link_update.h"
#include "system/os_path.h"
#include "system/paths.h"

namespace qmp::cli {
namespace {

enum class Need { kRead, kSave };

// Whether the database at `path` can be opened (and, to be saved, holds the
// markers between which the save writes); tells why not. Checked before any
// work, so that a wrong path never costs a scan, and never leaves a
// database written somewhere else.
bool CheckDatabase(Session& session, const std::string& path, Need need) {
    struct stat info {};
    if (::stat(ToOsPath(path).c_str(), &info) != 0) {
        const std::string backup = InterruptedSaveBackup(path);
        session.host.Error("The database " + path + " does not exist." +
                           (backup.empty() ? std::string()
                                           : " A copy that an interrupted save left is " + backup +
                                                 "; rename it to " + path + " to use it."));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        session.host.Error(path + " is not a database file.");
        return false;
    }
    FileBuffer buffer = OpenFileBuffer(path);
    if (!buffer.IsOpen()) {
        session.host.Error("The database " + path + " cannot be read.");
        return false;
    }
    if (need == Need::kSave && !HasDatabaseMarkers(buffer)) {
        session.host.Error("A search engine database is not found in the file " + path + ".");
        return false;
    }
    return true;
}

// Opens the database into the tables; false, and why, when its arrays
// cannot be read whole (nothing is then saved over it).
bool Open(Session& session, const std::string& path) {
    if (const ReadProblem problem = OpenDatabase(session.host, path)) {
        session.host.Error("The database " + path + " cannot be read as written: " + problem.text +
                           ".");
        return false;
    }
    const std::string backup = InterruptedSaveBackup(path);
    if (!backup.empty())
        session.host.Warning("A copy of the database that an interrupted save left is " + backup +
                             "; it is kept.");
    return true;
}

// Takes the lock of the database that the command will save, before it is
// read, and makes sure the save can write beside it: both fail before any
// work. With `wait`, waits for another writer to finish.
bool LockForSaving(Session& session, DatabaseLock& lock, const std::string& path, bool wait) {
    DatabaseLock::Result result = lock.Take(path, false);
    if (result == DatabaseLock::Result::kInUse && wait) {
        session.Note(lock.Problem() + " Waiting until it is free.");
        result = lock.Take(path, true);
    }
    if (result == DatabaseLock::Result::kInUse) {
        session.host.Error(lock.Problem() + " Run again with --wait to wait until it is free.");
        return false;
    }
    if (result == DatabaseLock::Result::kFailed) {
        session.host.Error(lock.Problem());
        return false;
    }
    if (const std::string problem = SaveProblem(path); !problem.empty()) {
        session.host.Error(problem);
        return false;
    }
    return true;
}

// Runs a scan or an update and the save after it; a signal stops the work
// and lets the save run. `work` gives false when nothing is to be saved.
// Gives whether the save succeeded.
template <typename Work>
bool RunAndSave(Session& session, Work work) {
    StoppableWork stoppable;
    const bool save = work();
    StopRequested = true;
    session.host.EndProgress();
    if (InterruptRequested())
        session.console.err << "Stopped: the links found so far are kept and saved.\n";
    return save && SaveDatabase(session.host);
}

// Takes the --jobs option into ScanJobs; false (and the error shown, a wrong
// command line) when its value is no number of jobs.
bool TakeJobs(Session& session, const ParsedArgs& args) {
    if (!args.Has("jobs")) return true;
    const std::string text = args.Value("jobs");
    const std::optional<std::int32_t> jobs = ParseInteger(text);
    if (!jobs || *jobs < 1 || *jobs > static_cast<std::int32_t>(kMaxScanJobs)) {
        UsageError(session, "'" + text + "' is not a number of jobs from 1 to " +
                                std::to_string(kMaxScanJobs));
        return false;
    }
    ScanJobs = *jobs;
    return true;
}

}  // namespace

int AddSiteCommand(Session& session, const ParsedArgs& args) {
    const auto database = session.Path(args.positional[0]);
    const auto folder = session.Path(args.positional[1]);
    if (!database || !folder) return kExitUsage;
    std::optional<std::int32_t> category = 0;
    if (args.Has("category")) {
        const std::string text = args.Value("category");
        category = ParseInteger(text);
        if (!category) return UsageError(session, "'" + text + "' is not a valid integer value");
    }
    if (!TakeJobs(session, args)) return kExitUsage;
    if (!CheckDatabase(session, *database, Need::kSave)) return kExitFileError;
    if (!IsExistingFolder(*folder)) {
        session.host.Error(IsExistingFile(*folder) ? *folder + " is a file, not a folder."
                                                   : "The folder " + *folder + " does not exist.");
        return kExitFileError;
    }

    DatabaseLock lock;
    if (!LockForSaving(session, lock, *database, args.Has("wait")) || !Open(session, *database))
        return kExitFileError;
    if (args.Has("category") && (*category < 0 || *category >= Categories.Count())) {
        if (Categories.Count() == 0) {
            return UsageError(session, "The database has no categories, so no category " +
                                           std::to_string(*category) + ".");
        }
        return UsageError(session, "The database has no category " + std::to_string(*category) +
                                       " (its categories are numbered from 0 to " +
                                       std::to_string(Categories.Count() - 1) + ").");
    }
    const int before = Links.Count();
    std::string error;
    const bool saved = RunAndSave(session, [&] {
        error = ScanFolder(session.host, IncludeTrailingSeparator(*folder), *category,
                           !args.Has("no-subfolders"), args.Has("existing"));
        // Nothing was added: the database stays as it is.
        return error.empty();
    });
    if (!error.empty()) session.host.Error(error);
    if (!saved) return kExitFileError;
    session.Report("Links added: " + std::to_string(Links.Count() - before) +
                   ". Links in the database: " + std::to_string(Links.Count()) + ".");
    return kExitSuccess;
}

int UpdateCommand(Session& session, const ParsedArgs& args) {
    const auto database = session.Path(args.positional[0]);
    if (!database) return kExitUsage;
    if (!TakeJobs(session, args)) return kExitUsage;
    if (!CheckDatabase(session, *database, Need::kSave)) return kExitFileError;

    DatabaseLock lock;
    if (!LockForSaving(session, lock, *database, args.Has("wait")) || !Open(session, *database))
        return kExitFileError;
    UpdateCounts counts;
    if (!RunAndSave(session, [&] {
            counts = UpdateLinks(session.host);
            return true;
        })) return kExitFileError;
    session.Report("Links updated: " + std::to_string(counts.updated) +
                   ". Pages not found: " + std::to_string(counts.notFound) + ".");
    return kExitSuccess;
}

int ListCommand(Session& session, const ParsedArgs& args) {
    const auto database = session.Path(args.positional[0]);
    if (!database) return kExitUsage;
    if (!CheckDatabase(session, *database, Need::kRead) || !Open(session, *database))
        return kExitFileError;
    if (args.Has("json")) {
        WriteTablesJson(session.console.out, Categories, Links);
    } else {
        WriteTablesText(session.console.out, Categories, Links);
    }
    return kExitSuccess;
}

}  // namespace qmp::cli
