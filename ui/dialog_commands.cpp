#include "ui/dialog_commands.h"

#include "ui/add_site_frm.h"
#include "ui/add_update_site_frm.h"
#include "ui/batch_verbs.h"
#include "ui/new_frm.h"
#include "ui/settings_frm.h"

namespace qmp::ui {

DialogCommands ProgramDialogCommands() {
    DialogCommands commands;
    commands.newEngine = [](MainFormOps& window) { return RunNewEngine(window); };
    commands.addSite = [](MainFormOps& window) { RunAddSite(window); };
    commands.addDroppedFolder = [](MainFormOps& window, const std::string& ansiFolder) {
        RunAddSiteForFolder(window, ansiFolder);
    };
    commands.updateBase = [](MainFormOps& window) { RunUpdateBase(window); };
    commands.projectSettings = [](MainFormOps& window) { RunProjectSettings(window); };
    commands.defaultSettings = [](MainFormOps& window) { RunDefaultSettings(window); };
    commands.batchVerbs = [](MainFormOps& window, const std::vector<std::string>& arguments) {
        return RunBatchVerbs(window, arguments);
    };
    return commands;
}

}  // namespace qmp::ui
