#include "ui/batch_verbs.h"

#include <QDir>

#include "core/batch_command.h"
#include "core/host.h"
#include "system/os_path.h"
#include "ui/add_site_frm.h"
#include "ui/add_update_site_frm.h"
#include "ui/main_form_ops.h"
#include "ui/prompts.h"

namespace qmp::ui {

bool RunBatchVerbs(MainFormOps& window, const std::vector<std::string>& arguments) {
    const BatchCommand command =
        ParseBatchCommand(arguments, FromOsName(QDir::currentPath().toStdString()));
    switch (command.verb) {
        case BatchVerb::kNone:
            return true;
        case BatchVerb::kUpdate:
            RunUpdateBase(window);
            break;
        case BatchVerb::kAddSite:
            RunAddSite(window);
            break;
        case BatchVerb::kScriptedAddSite:
            // Checked before the scanning window shows: a wrong line shows
            // only its message.
            if (!command.error.empty()) {
                ShowMessageBox(window.Window(),
                               {"Error", command.error, MessageIcon::kError, MessageButtons::kOk});
                return false;
            }
            ScanFolderInWindow(window, command.folder, command.category, command.recurse,
                               command.addExisting, ScanRedraw::kFull);
            RunAddSite(window);
            break;
    }
    // Saved also when the dialog was cancelled.
    window.FileSave();
    return true;
}

}  // namespace qmp::ui
