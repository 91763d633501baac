#include "ui/icons.h"

#include <QHash>

namespace qmp::ui {

QIcon ActionIcon(const QString& actionName) {
    // Names of the freedesktop icon theme.
    static const QHash<QString, QString> kThemeNames = {
        {QStringLiteral("FileNew"), QStringLiteral("document-new")},
        {QStringLiteral("FileOpen"), QStringLiteral("document-open")},
        {QStringLiteral("FileSave"), QStringLiteral("document-save")},
        {QStringLiteral("FileSaveAs"), QStringLiteral("document-save-as")},
        {QStringLiteral("FilePreview"), QStringLiteral("document-print-preview")},
        {QStringLiteral("FileExit"), QStringLiteral("application-exit")},
        {QStringLiteral("EditAdd"), QStringLiteral("list-add")},
        {QStringLiteral("AddSite"), QStringLiteral("folder-new")},
        {QStringLiteral("EditModify"), QStringLiteral("document-properties")},
        {QStringLiteral("EditDelete"), QStringLiteral("edit-delete")},
        {QStringLiteral("EditClear"), QStringLiteral("edit-clear")},
        {QStringLiteral("UpdateBase"), QStringLiteral("view-refresh")},
        {QStringLiteral("MoveToBegin"), QStringLiteral("go-top")},
        {QStringLiteral("MoveUp"), QStringLiteral("go-up")},
        {QStringLiteral("MoveDown"), QStringLiteral("go-down")},
        {QStringLiteral("MoveToEnd"), QStringLiteral("go-bottom")},
        {QStringLiteral("PrjSetAction"), QStringLiteral("preferences-system")},
        {QStringLiteral("ViewCat"), QStringLiteral("view-list-tree")},
        {QStringLiteral("ViewLinks"), QStringLiteral("view-list-details")},
        {QStringLiteral("HelpIndex"), QStringLiteral("help-contents")},
        {QStringLiteral("HelpAbout"), QStringLiteral("help-about")},
    };
    const auto found = kThemeNames.constFind(actionName);
    return found == kThemeNames.constEnd() ? QIcon() : QIcon::fromTheme(*found);
}

QIcon ApplicationIcon() {
    return QIcon::fromTheme(QStringLiteral("system-search"));
}

}  // namespace qmp::ui
