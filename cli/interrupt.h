#pragma once
// Ctrl+C during a scan or an update: the work stops before its next file and
// what was found is saved, as the scanning window's Stop button does.

namespace qmp::cli {

// Makes SIGINT call RequestInterrupt, for the time of a scan or an update and
// the save after it; a second Ctrl+C ends the program at once. Elsewhere
// Ctrl+C ends the program as usual.
void InstallInterruptHandler();

// Records the interrupt and sets StopRequested. Safe in a signal handler.
void RequestInterrupt() noexcept;

// True once an interrupt was requested.
bool InterruptRequested() noexcept;

// Forgets an interrupt (a new run in the same process).
void ResetInterrupt() noexcept;

}  // namespace qmp::cli
