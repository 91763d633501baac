// Pictures of the main window for the documentation: the database given on
// the command line shown in the links view, at a normal size, in a dark
// palette and at a small size. Run offscreen by scripts/window-pictures.sh.

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTableView>
#include <cstdio>
#include <string>

#include "core/start_up.h"
#include "ui/main_frm.h"
#include "ui/window_start.h"

namespace {

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(55, 55, 58));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 40));
    dark.setColor(QPalette::ToolTipText, QColor(240, 240, 220));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
    return dark;
}

bool Picture(const QString& database, int width, int height, const QString& file) {
    qmp::InitDefaults();
    qmp::ui::TMainForm form{qmp::ui::DialogCommands{}};
    form.resize(width, height);
    form.show();
    form.ProcessCommandLine({database.toStdString()});
    form.UTF8ModeStatus();
    form.LinksView()->selectRow(2);
    QApplication::processEvents();
    const bool saved = form.grab().save(file);
    if (!saved) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Offscreen there is no desktop to name an icon theme: take the one a
    // GNOME desktop has, as the picture stands for the program on a desktop.
    if (QIcon::themeName().isEmpty()) {
        QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() +
                                   QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                             QStringLiteral("icons"),
                                                             QStandardPaths::LocateDirectory));
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_pictures DATABASE OUTPUT_FOLDER\n");
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]) + QLatin1Char('/');
    bool ok = Picture(database, 960, 600, out + QStringLiteral("main-window.png"));
    ok = Picture(database, 480, 320, out + QStringLiteral("main-window-small.png")) && ok;
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(DarkPalette());
    ok = Picture(database, 960, 600, out + QStringLiteral("main-window-dark.png")) && ok;
    return ok ? 0 : 1;
}
