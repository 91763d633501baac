#pragma once
// The commands of the main window that open a dialog of their own (new
// engine, add folder, update, settings) or run a batch verb. The window takes
// them when it is made; a command left empty keeps its action disabled.

#include <functional>
#include <string>
#include <vector>

#include "ui/main_form_ops.h"

namespace qmp::ui {

struct DialogCommands {
    // The new-engine dialog; true when it ended with OK, having created the
    // project and made its database DatabasePath.
    std::function<bool(MainFormOps&)> newEngine;
    // The add-folder dialog.
    std::function<void(MainFormOps&)> addSite;
    // A folder (system ANSI text, ending with "/") dropped on the window.
    std::function<void(MainFormOps&, const std::string& ansiFolder)> addDroppedFolder;
    // The update of every link with the scanning window.
    std::function<void(MainFormOps&)> updateBase;
    // The settings dialog for the open project, and for all new projects.
    std::function<void(MainFormOps&)> projectSettings;
    std::function<void(MainFormOps&)> defaultSettings;
    // The batch verb of a command line of two or six arguments (the database
    // already open); false when the window's start must end there.
    std::function<bool(MainFormOps&, const std::vector<std::string>& arguments)> batchVerbs;
};

// The dialog commands the program is built with.
DialogCommands ProgramDialogCommands();

}  // namespace qmp::ui
