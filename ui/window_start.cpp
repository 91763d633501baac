#include "ui/window_start.h"

#include <QApplication>
#include <algorithm>

#include "core/database.h"
#include "core/program_values.h"
#include "core/settings_file.h"
#include "core/start_up.h"
#include "indexing/folder_scan.h"
#include "indexing/rating_settings.h"
#include "ui/main_frm.h"

namespace qmp::ui {

void StartMainWindow(TMainForm& form, const std::vector<std::string>& arguments) {
    form.setWindowTitle(QString::fromStdString(AppTitle));
    form.setGeometry(WindowLeft, WindowTop, WindowWidth, WindowHeight);
    form.setWindowState(WindowMaximized ? Qt::WindowMaximized : Qt::WindowNoState);
    form.show();
    if (!arguments.empty() && !form.ProcessCommandLine(arguments)) return;
    LoadProjectSettings(DatabasePath);
    form.UTF8ModeStatus();
}

bool TMainForm::ProcessCommandLine(const std::vector<std::string>& arguments) {
    EnableDatabaseCommands();
    ReadDatabase(arguments.front());
    SetDatabaseTitle();
    FileSaved();
    const bool verbForm = arguments.size() == 2 || arguments.size() == 6;
    if (verbForm && commands_.batchVerbs) return commands_.batchVerbs(*this, arguments);
    return true;
}

void ApplyScanJobsSetting(const std::string& settingsPath) {
    // "Jobs" in the settings file: how many files a scan reads at once (0 or
    // none: one for each core).
    const std::optional<int> jobs = SettingsInteger(settingsPath, "Jobs");
    ScanJobs = jobs && *jobs >= 0 ? std::min(*jobs, static_cast<int>(kMaxScanJobs)) : 0;
}

int RunMainWindow(const std::vector<std::string>& arguments, DialogCommands commands) {
    ApplyScanJobsSetting(SettingsFilePath());
    TMainForm form(std::move(commands));
    StartMainWindow(form, arguments);
    // A batch verb may have closed the window already.
    const int code = form.isVisible() ? QApplication::exec() : 0;
    ShutDown(form.WindowHost());
    return code;
}

}  // namespace qmp::ui
