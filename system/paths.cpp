#include "system/paths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool IsFolder(const std::string& osPath) {
    struct stat info {};
    return stat(osPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool IsExistingFile(std::string_view path) {
    struct stat info {};
    return stat(ToOsPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsExistingFolder(std::string_view path) {
    return IsFolder(ToOsPath(path));
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
