#pragma once
// Signals that end qmp from outside: Ctrl+C (SIGINT), SIGTERM (a timeout, a
// service stop, a cancelled job) and SIGHUP (a closed terminal). During a
// scan or an update they stop the work before its next file and what was
// found is saved, as the scanning window's Stop button does; the program
// then ends as the signal ends it, so that the caller learns it was stopped.

#include <signal.h>

namespace qmp::cli {

// Installs, for the whole run, the handler of the three signals: outside
// stoppable work it removes the program's scratch files (a save's temporary
// file, a lock file) and ends the program as the signal would. A write to a
// closed pipe, or past the file size limit, then fails with an error instead
// of ending the program.
void InstallSignalHandlers();

// While an object lives, the first of the three signals stops the running
// work (RequestInterrupt) instead; a further one ends the program at once.
class StoppableWork final {
public:
    StoppableWork();
    ~StoppableWork();
    StoppableWork(const StoppableWork&) = delete;
    StoppableWork& operator=(const StoppableWork&) = delete;
};

// Records the interrupt by `signal` and sets StopRequested. Safe in a signal handler.
void RequestInterrupt(int signal = SIGINT) noexcept;

// True once an interrupt was requested.
bool InterruptRequested() noexcept;

// Forgets an interrupt (a new run in the same process).
void ResetInterrupt() noexcept;

// Ends the program as the signal of a recorded interrupt ends it; returns
// when there was none.
void EndAsInterrupted();

}  // namespace qmp::cli
