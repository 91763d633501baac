#pragma once
// Paths between the program's own form (system ANSI text) and the texts of
// the windows.

#include <QFile>
#include <QString>
#include <optional>
#include <string>

#include "decoding/display_text.h"
#include "system/code_page_choice.h"
#include "system/os_path.h"
#include "ui/prompts.h"

namespace qmp::ui {

// A path chosen in a file dialog or dropped on a window, as system ANSI text.
inline std::string AnsiPathOf(const QString& chosen) {
    return FromOsName(QFile::encodeName(chosen).toStdString());
}

// A folder chosen in a dialog or dropped on a window, as system ANSI text;
// nothing, and the reason shown, when the system code page cannot spell its
// path: the program could not open the folder under the name it would hold.
inline std::optional<std::string> HeldFolderPath(QWidget* parent, const QString& folder) {
    const std::string osFolder = QFile::encodeName(folder).toStdString();
    if (IsHeldName(osFolder)) return FromOsName(osFolder);
    const UnheldName unheld = WhyNotHeld(osFolder);
    ShowMessageBox(
        parent,
        {"Error", "The path of the folder " + unheld.why + "; to add it, " + unheld.remedy + ".",
         MessageIcon::kError, MessageButtons::kOk},
        folder);
    return std::nullopt;
}

// A path (system ANSI text) as a window shows it.
inline QString ShownPath(std::string_view ansiPath) {
    return QString::fromUtf8(AnsiDisplayText(ansiPath));
}

}  // namespace qmp::ui
