#pragma once
// The window program's start and end around its message loop.

#include <string>
#include <vector>

#include "ui/dialog_commands.h"

namespace qmp::ui {

class TMainForm;

// The window's start: the bounds and the maximised state of the settings
// file applied while it is hidden, the window shown, the command line's
// database opened and its batch verb run, then the project's rating settings
// loaded and the encoding mode shown.
void StartMainWindow(TMainForm& form, const std::vector<std::string>& arguments);

// ScanJobs from the "Jobs" key of the settings file at `settingsPath`.
void ApplyScanJobsSetting(const std::string& settingsPath);

// The whole run of the window program once StartUp allowed it and the
// application object exists: the window made and started, the message loop
// while it is open, then ShutDown. Gives the loop's exit code.
int RunMainWindow(const std::vector<std::string>& arguments, DialogCommands commands);

}  // namespace qmp::ui
