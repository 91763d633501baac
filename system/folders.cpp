#include "system/folders.h"

#include <sys/stat.h>

#include <cerrno>

#include "system/os_path.h"
#include "system/paths.h"

namespace qmp {
namespace {

bool FolderExists(const std::string& path) {
    struct stat info {};
    return ::stat(ToOsPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string UserSettingsDir(std::string_view sub) {
    if (!IsPortableInstall()) {
        const std::string config = ConfigHomeDir();
        if (!config.empty()) return IncludeTrailingSeparator(config) + std::string(sub);
    }
    return ProgramDir();
}

bool ForceFolders(std::string_view path) {
    std::string folder(path);
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    // The root (an empty rest) and existing folders need nothing.
    if (folder.empty() || FolderExists(folder)) return true;
    const std::string parent = ExtractFilePath(folder);
    if (parent == folder) return true;
    if (!ForceFolders(parent)) return false;
    if (::mkdir(ToOsPath(folder).c_str(), 0777) == 0) return true;
    return errno == EEXIST && FolderExists(folder);
}

}  // namespace qmp
