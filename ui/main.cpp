// qmplit: the window program. Arguments come from the operating system as
// UTF-8 and are taken into the program's own form (system ANSI text).

#include <unistd.h>

#include <QApplication>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include "core/start_up.h"
#include "system/code_page_choice.h"
#include "ui/dialog_commands.h"
#include "ui/prompts.h"
#include "ui/window_start.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "qmplit " << QMP_VERSION << " (Corvan Quarrymap Lite)\n";
        return 0;
    }
    // The web view of the new-engine dialog refuses to run as root without it.
    if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qmp::InitSystemCodePage();
    // A file size limit makes a save fail with its reason instead of ending
    // the program.
    std::signal(SIGXFSZ, SIG_IGN);

    if (!qmp::StartUp(qmp::ArgumentsFromArgv(argc, argv))) return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qmplit"));
    QApplication::setApplicationVersion(QStringLiteral(QMP_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("qmplit"));
    // File names would be held in another code page than the one asked for.
    if (const std::string error = qmp::CodePageSettingError(); !error.empty()) {
        qmp::ui::ShowMessageBox(
            nullptr, {"Error", error, qmp::MessageIcon::kError, qmp::MessageButtons::kOk});
        return 2;
    }
    // Qt has taken its own options (-style, -platform) out of argv by now.
    return qmp::ui::RunMainWindow(qmp::ArgumentsFromArgv(argc, argv),
                                  qmp::ui::ProgramDialogCommands());
}
