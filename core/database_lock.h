#pragma once
// One writer at a time for each database file.
//
// Whoever may change a database file holds its lock for as long as the tables
// it shows may be saved into that file: qmp from the moment it opens the
// database until its save has ended; the window for as long as the database
// is open in it. The window takes the lock (Take with the path, wait false)
// before OpenDatabase, keeps it across every save, takes the other file's
// lock before a Save As or an export to it (letting go of the old one once
// that save succeeded), and lets go (Release, or the object's end) when it
// opens another database or closes. When the lock is busy, Problem() says who
// holds it ("The database ... is in use by qmp (process 1234).") and the window
// may open the database read-only or try again later; when it cannot be taken
// at all (a read-only folder, a CD), Problem() says why and the database can
// only be read there. Readers take no lock: a save replaces the file in one
// step, so a reader always sees a whole database.
//
// The lock is the file beside the database file whose name is the database's
// followed by "~lock~" (beside the file a symbolic link leads to, so that
// every path to one database shares one lock). Its holder's process id and
// program are written in it; it is removed when released, and a lock left by
// a process that was killed is free again (the system drops it).

#include <string>
#include <string_view>

#include "system/file_lock.h"

namespace qmp {

class DatabaseLock final {
public:
    enum class Result { kLocked, kInUse, kFailed };

    // Takes the lock of the database at `databasePath` (system ANSI text),
    // letting go of any lock held before. With `wait`, waits while another
    // holder has it instead of giving kInUse.
    Result Take(std::string_view databasePath, bool wait);
    void Release() { lock_.Release(); }
    bool Held() const { return lock_.Held(); }
    // After kInUse, who holds the lock; after kFailed, why it cannot be
    // taken; a sentence in system ANSI text.
    const std::string& Problem() const { return problem_; }

private:
    FileLock lock_;
    std::string problem_;
};

// The lock file of the database at `databasePath`.
std::string DatabaseLockPath(std::string_view databasePath);

}  // namespace qmp
