#include "cli/interrupt.h"

#include <signal.h>

#include <atomic>

#include "indexing/folder_scan.h"

namespace qmp::cli {
namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnInterrupt(int) {
    RequestInterrupt();
}

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler goes after the first Ctrl+C, so that a second one ends the
    // program even while it is saving (the save replaces the file only when
    // the new one is complete).
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

void RequestInterrupt() noexcept {
    interrupted.store(true);
    StopRequested.store(true);
}

bool InterruptRequested() noexcept {
    return interrupted.load();
}

void ResetInterrupt() noexcept {
    interrupted.store(false);
}

}  // namespace qmp::cli
