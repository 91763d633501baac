#include "system/temp_files.h"

#include <stdlib.h>
#include <unistd.h>

#include "system/os_path.h"
#include "system/paths.h"

namespace qmp {

std::string TempDir() {
    const char* dir = std::getenv("TMPDIR");
    return FromOsName(IncludeTrailingSeparator(dir != nullptr && *dir != '\0' ? dir : "/tmp"));
}

std::string TempFileName(std::string_view prefix) {
    std::string pattern = ToOsPath(TempDir()) + ToOsPath(prefix) + "XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return {};
    close(fd);
    unlink(pattern.c_str());
    return FromOsName(pattern);
}

}  // namespace qmp
