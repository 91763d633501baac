#include "system/shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "system/file_ops.h"
#include "system/folders.h"
#include "system/os_path.h"
#include "system/paths.h"

extern char** environ;

namespace qmp {
namespace {

constexpr std::string_view kInstallationFile = "qmplit_installed.txt";
constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

std::int64_t& HeldInstallationDate() {
    static std::int64_t date = LocalSeconds(std::time(nullptr));
    return date;
}

// Spawn attributes and file actions, released on every path.
struct SpawnSetup final {
    SpawnSetup() {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup() {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
};

std::string FormatLocalSeconds(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

bool ParseLocalSeconds(std::string_view text, std::int64_t& seconds) {
    const std::string line(text.substr(0, text.find('\n')));
    std::tm tm{};
    char rest = 0;
    const int fields =
        std::sscanf(line.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                    &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &rest);
    if (fields != 6 || tm.tm_year < 1970 || tm.tm_mon < 1 || tm.tm_mon > 12 || tm.tm_mday < 1 ||
        tm.tm_mday > 31 || tm.tm_hour > 23 || tm.tm_min > 59 || tm.tm_sec > 60) {
        return false;
    }
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    seconds = static_cast<std::int64_t>(timegm(&tm));
    return true;
}

}  // namespace

bool OpenWithShell(std::string_view target) {
    const char* custom = std::getenv("QMPLIT_OPEN_COMMAND");
    std::string program = (custom != nullptr && *custom != '\0') ? custom : "xdg-open";
    std::string argument = ToOsPath(target);
    std::vector<char*> argv = {program.data(), argument.data(), nullptr};

    // A session of its own and no standard input: the opened program lives
    // on without this one, and a thread collects its exit so it leaves no zombie.
    SpawnSetup setup;
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(),
                     environ) != 0) {
        return false;
    }
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool OpenProgramDocument(std::string_view fileName) {
    return OpenWithShell(ProgramDir() + std::string(fileName));
}

bool OpenMakerPage(std::string_view address) {
    return OpenWithShell(std::string(address) +
                         ProductQuery(InstallationDate(), LocalSeconds(std::time(nullptr))));
}

std::string ProductQuery(std::int64_t installed, std::int64_t now) {
    const std::int64_t days = (now - installed) / kSecondsPerDay;  // truncates toward zero
    return "?prd=qmplit&v=9.3.2&d=" + std::to_string(days) + "&r=1";
}

std::int64_t LocalSeconds(std::time_t moment) {
    std::tm tm{};
    localtime_r(&moment, &tm);
    return static_cast<std::int64_t>(timegm(&tm));
}

std::int64_t LoadInstallationDate(std::string_view settingsDir, bool record) {
    const std::string path = IncludeTrailingSeparator(settingsDir) + std::string(kInstallationFile);
    std::int64_t date = 0;
    std::string content;
    if (!ReadFileContent(path, content) || !ParseLocalSeconds(content, date)) {
        date = LocalSeconds(std::time(nullptr));
        if (record && ForceFolders(settingsDir))
            ReplaceFileContent(SystemFileOps(), path, FormatLocalSeconds(date) + "\n");
    }
    HeldInstallationDate() = date;
    return date;
}

std::int64_t InstallationDate() {
    return HeldInstallationDate();
}

}  // namespace qmp
