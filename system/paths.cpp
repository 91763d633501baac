#include "system/paths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "system/os_path.h"

namespace qmp {
namespace {

std::string& ProgramDirOverride() {
    static std::string dir;
    return dir;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A name holding a NUL byte names nothing: the system would read it only up
// to the NUL, which is another file.
bool StatPath(const std::string& osPath, struct stat& info) {
    return osPath.find('\0') == std::string::npos && stat(osPath.c_str(), &info) == 0;
}

bool IsFolder(const std::string& osPath) {
    struct stat info {};
    return StatPath(osPath, info) && S_ISDIR(info.st_mode);
}

}  // namespace

bool IsExistingFile(std::string_view path) {
    struct stat info {};
    return StatPath(ToOsPath(path), info) && S_ISREG(info.st_mode);
}

bool IsExistingFolder(std::string_view path) {
    return IsFolder(ToOsPath(path));
}

std::string FollowFileLinks(std::string_view path, int& error) {
    std::string osPath = ToOsPath(path);
    // As many links as the system itself follows in a row.
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat info {};
        if (osPath.find('\0') != std::string::npos || lstat(osPath.c_str(), &info) != 0 ||
            !S_ISLNK(info.st_mode)) {
            std::string resolved = FromOsName(osPath);
            if (ToOsPath(resolved) == osPath) return resolved;
            error = EILSEQ;
            return {};
        }
        char target[PATH_MAX];
        const ssize_t n = readlink(osPath.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) {
            error = n < 0 ? errno : ENAMETOOLONG;
            return {};
        }
        const std::string_view link(target, static_cast<std::size_t>(n));
        osPath =
            link.front() == '/' ? std::string(link) : ExtractFilePath(osPath) + std::string(link);
    }
    error = ELOOP;
    return {};
}

bool ReadFileOwnership(std::string_view path, FileOwnership& ownership) {
    struct stat info {};
    if (!StatPath(ToOsPath(path), info)) return false;
    ownership = {static_cast<unsigned>(info.st_mode & 07777), info.st_uid, info.st_gid};
    return true;
}

bool IsReadOnlyFile(std::string_view path) {
    const std::string osPath = ToOsPath(path);
    struct stat info {};
    if (!StatPath(osPath, info)) return false;
    return (info.st_mode & 0222) == 0 || access(osPath.c_str(), W_OK) != 0;
}

std::string IncludeTrailingSeparator(std::string_view path) {
    std::string out(path);
    if (out.empty() || out.back() != '/') out.push_back('/');
    return out;
}

std::string ExtractFilePath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ProgramDir() {
    if (!ProgramDirOverride().empty()) return ProgramDirOverride();
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return "./";
    return ExtractFilePath(FromOsName(std::string_view(buffer, static_cast<std::size_t>(n))));
}

void SetProgramDirOverride(std::string_view dir) {
    ProgramDirOverride() = dir.empty() ? std::string() : IncludeTrailingSeparator(dir);
}

std::string DocumentsDir() {
    const std::string home = Environment("HOME");
    if (home.empty()) return "/";
    const std::string documents = IncludeTrailingSeparator(home) + "Documents";
    return FromOsName(IncludeTrailingSeparator(IsFolder(documents) ? documents : home));
}

std::string ConfigHomeDir() {
    const std::string config = Environment("XDG_CONFIG_HOME");
    if (!config.empty()) return FromOsName(IncludeTrailingSeparator(config));
    const std::string home = Environment("HOME");
    if (home.empty()) return {};
    return FromOsName(IncludeTrailingSeparator(home) + ".config/");
}

std::string ProgramFilesDir() {
    return FromOsName(IncludeTrailingSeparator(QMP_INSTALL_PREFIX));
}

bool IsPortableInstall() {
    const std::string prefix = ProgramFilesDir();
    return ProgramDir().rfind(prefix, 0) != 0;
}

}  // namespace qmp
