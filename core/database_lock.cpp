#include "core/database_lock.h"

#include "system/file_ops.h"
#include "system/paths.h"

namespace qmp {

std::string DatabaseLockPath(std::string_view databasePath) {
    int error = 0;
    std::string target = FollowFileLinks(databasePath, error);
    if (target.empty()) target = databasePath;
    return target + "~lock~";
}

DatabaseLock::Result DatabaseLock::Take(std::string_view databasePath, bool wait) {
    problem_.clear();
    const std::string path = DatabaseLockPath(databasePath);
    switch (lock_.Take(path, wait)) {
        case FileLock::Result::kTaken:
            return Result::kLocked;
        case FileLock::Result::kBusy: {
            const std::string& holder = lock_.Holder();
            problem_ = "The database " + std::string(databasePath) + " is in use by " +
                       (holder.empty() ? std::string("another program") : holder) + ".";
            return Result::kInUse;
        }
        case FileLock::Result::kFailed:
            break;
    }
    problem_ = "Cannot create file " + path + ": " + SystemErrorText(lock_.Error()) + ".";
    return Result::kFailed;
}

}  // namespace qmp
