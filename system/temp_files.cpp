#include "system/temp_files.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

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

namespace {

// A signal handler may neither allocate nor take a lock: the names wait in
// fixed slots, each published by its state.
enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

constinit std::array<Slot, 16> slots{};

}  // namespace

ScratchFile::ScratchFile(std::string_view path, bool osName) {
    const std::string osPath = osName ? std::string(path) : ToOsPath(path);
    if (osPath.size() >= PATH_MAX) return;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slots[i].path, osPath.c_str(), osPath.size() + 1);
        slots[i].state.store(kReady);
        slot_ = static_cast<int>(i);
        return;
    }
}

ScratchFile::~ScratchFile() {
    if (slot_ >= 0) slots[static_cast<std::size_t>(slot_)].state.store(kFree);
}

void RemoveScratchFiles() noexcept {
    for (Slot& slot : slots) {
        if (slot.state.load() == kReady) ::unlink(slot.path);
    }
}

}  // namespace qmp
