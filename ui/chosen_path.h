#pragma once
// Paths between the program's own form (system ANSI text) and the texts of
// the windows.

#include <QFile>
#include <QString>
#include <string>

#include "decoding/display_text.h"
#include "system/os_path.h"

namespace qmp::ui {

// A path chosen in a file dialog or dropped on a window, as system ANSI text.
inline std::string AnsiPathOf(const QString& chosen) {
    return FromOsName(QFile::encodeName(chosen).toStdString());
}

// A path (system ANSI text) as a window shows it.
inline QString ShownPath(std::string_view ansiPath) {
    return QString::fromUtf8(AnsiDisplayText(ansiPath));
}

}  // namespace qmp::ui
