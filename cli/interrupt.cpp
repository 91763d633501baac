#include "cli/interrupt.h"

#include <atomic>

#include "indexing/folder_scan.h"
#include "system/temp_files.h"

namespace qmp::cli {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> interruptSignal{0};
std::atomic<bool> stoppable{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

void EndBySignal(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    // Inside the handler the signal waits until the handler returns.
    raise(signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

void OnEndingSignal(int signal) {
    if (stoppable.load() && interruptSignal.load() == 0) {
        RequestInterrupt(signal);
        return;
    }
    RemoveScratchFiles();
    EndBySignal(signal);
}

// A handler that does nothing makes the write fail (EPIPE, EFBIG) rather
// than end the program; unlike an ignored signal, it is not handed on to the
// document filters the program starts.
void OnWriteSignal(int) {}

void Install(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int blocked : kEndingSignals)
        sigaddset(&action.sa_mask, blocked);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

void InstallSignalHandlers() {
    for (const int signal : kEndingSignals)
        Install(signal, OnEndingSignal);
    Install(SIGPIPE, OnWriteSignal);
    Install(SIGXFSZ, OnWriteSignal);
}

StoppableWork::StoppableWork() {
    stoppable.store(true);
    // An interrupt that came already stops the work as soon as it starts.
    StopRequested = InterruptRequested();
}

StoppableWork::~StoppableWork() {
    stoppable.store(false);
}

void RequestInterrupt(int signal) noexcept {
    interruptSignal.store(signal);
    StopRequested.store(true);
}

bool InterruptRequested() noexcept {
    return interruptSignal.load() != 0;
}

void ResetInterrupt() noexcept {
    interruptSignal.store(0);
}

void EndAsInterrupted() {
    const int signal = interruptSignal.load();
    if (signal != 0) EndBySignal(signal);
}

}  // namespace qmp::cli
