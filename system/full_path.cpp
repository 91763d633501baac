#include "system/full_path.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

#include "system/os_path.h"
#include "system/paths.h"

namespace qmp {
namespace {

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

// The system's real path of `osPath`; empty when it cannot be found.
std::string OsRealPath(const std::string& osPath) {
    if (osPath.find('\0') != std::string::npos) return {};
    const std::unique_ptr<char, FreeDeleter> real(::realpath(osPath.c_str(), nullptr));
    return real ? std::string(real.get()) : std::string();
}

std::string WorkingFolder() {
    std::string dir(4096, '\0');
    while (::getcwd(dir.data(), dir.size()) == nullptr) {
        if (errno != ERANGE) return "/";
        dir.resize(dir.size() * 2);
    }
    dir.resize(dir.find('\0'));
    return FromOsName(dir);
}

}  // namespace

std::string NormalPath(std::string_view path, std::string_view currentDir) {
    std::string joined;
    if (path.empty() || path.front() != '/') {
        joined = IncludeTrailingSeparator(currentDir);
        if (joined.front() != '/') joined.insert(0, 1, '/');
    }
    joined.append(path);

    std::vector<std::string_view> names;
    const std::string_view text(joined);
    bool folder = true;
    // Up to and including the end, so that a final "/" is an empty last name.
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t slash = text.find('/', at);
        const std::size_t end = slash == std::string_view::npos ? text.size() : slash;
        const std::string_view name = text.substr(at, end - at);
        at = end + 1;
        folder = name.empty() || name == "." || name == "..";
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
    }
    std::string normal = "/";
    for (std::size_t i = 0; i < names.size(); ++i) {
        normal.append(names[i]);
        if (i + 1 < names.size() || folder) normal.push_back('/');
    }
    return normal;
}

std::string RealFolder(std::string_view folder) {
    const bool full = !folder.empty() && folder.front() == '/';
    const std::string given = full ? std::string(folder) : NormalPath(folder, WorkingFolder());
    const std::string real = OsRealPath(ToOsPath(given));
    if (!real.empty()) {
        // Held as the program holds paths only when the code page spells it.
        std::string ansi = FromOsName(real);
        if (ToOsPath(ansi) == real) return IncludeTrailingSeparator(ansi);
    }
    return IncludeTrailingSeparator(NormalPath(given, "/"));
}

std::string RealFilePath(std::string_view path) {
    return RealFolder(ExtractFilePath(path)) + ExtractFileName(path);
}

bool LeadsInside(const std::string& osPath, const std::string& osFolder) {
    const std::string real = OsRealPath(osPath);
    const std::string folder = OsRealPath(osFolder);
    if (real.empty() || folder.empty()) return false;
    const std::string inside = folder.back() == '/' ? folder : folder + "/";
    return real.size() > inside.size() && real.starts_with(inside);
}

}  // namespace qmp
