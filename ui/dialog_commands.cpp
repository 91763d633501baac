#include "ui/dialog_commands.h"

namespace qmp::ui {

// Each dialog's module hands its command in here.
DialogCommands ProgramDialogCommands() {
    return DialogCommands{};
}

}  // namespace qmp::ui
