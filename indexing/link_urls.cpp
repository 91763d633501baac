#include "indexing/link_urls.h"

#include <algorithm>

#include "decoding/ansi_code_page.h"
#include "decoding/database_text.h"
#include "indexing/project_settings.h"
#include "system/paths.h"

namespace qmp {

std::string RelativeUrl(std::string_view databasePath, std::string_view filePath) {
    // A file on "another drive": here, a path that does not start as the
    // database's does (a relative path beside a full one).
    if (filePath.size() >= 2 && (databasePath.empty() || filePath[0] != databasePath[0]))
        return UrlEncode(ToDatabaseText(filePath, ""));

    // The longest common leading part that ends with a separator.
    const std::size_t limit = std::min(databasePath.size(), filePath.size());
    std::size_t common = 0;
    for (std::size_t i = 0; i < limit && databasePath[i] == filePath[i]; ++i) {
        if (filePath[i] == '/') common = i + 1;
    }
    const auto climbs = static_cast<std::size_t>(std::count(
        databasePath.begin() + static_cast<std::ptrdiff_t>(common), databasePath.end(), '/'));
    std::string relative;
    relative.reserve(climbs * 3 + filePath.size() - common);
    for (std::size_t i = 0; i < climbs; ++i)
        relative += "../";
    relative.append(filePath.substr(common));
    return UrlEncode(ToDatabaseText(relative, ""));
}

std::string UrlToPath(std::string_view decodedUrl, std::string_view databasePath) {
    if (!decodedUrl.empty() && decodedUrl[0] == '/') return std::string(decodedUrl);
    return ExtractFilePath(databasePath) + std::string(decodedUrl);
}

std::string FileExtension(std::string_view path) {
    const std::string name = ExtractFileName(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    return AnsiLowerCase(std::string_view(name).substr(dot + 1));
}

bool HasListedExtension(std::string_view path) {
    const std::string extension = FileExtension(path);
    return !extension.empty() &&
           std::find(Extensions.begin(), Extensions.end(), extension) != Extensions.end();
}

}  // namespace qmp
