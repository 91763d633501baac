#include "ui/icons.h"

#include <QLatin1String>
#include <QSize>
#include <array>

namespace qmp::ui {
namespace {

struct ActionImage {
    const char* action;
    const char* themeName;  // of the freedesktop icon naming
    const char* drawing;    // the program's own, under :/icons/
};

constexpr std::array<ActionImage, 21> kActionImages = {{
    {"FileNew", "document-new", "file-new.svg"},
    {"FileOpen", "document-open", "file-open.svg"},
    {"FileSave", "document-save", "file-save.svg"},
    {"FileSaveAs", "document-save-as", "file-save-as.svg"},
    {"FilePreview", "document-print-preview", "file-preview.svg"},
    {"FileExit", "application-exit", "application-exit.svg"},
    {"EditAdd", "list-add", "list-add.svg"},
    {"AddSite", "folder-new", "folder-add.svg"},
    {"EditModify", "document-properties", "document-edit.svg"},
    {"EditDelete", "edit-delete", "edit-delete.svg"},
    {"EditClear", "edit-clear", "edit-clear.svg"},
    {"UpdateBase", "view-refresh", "view-refresh.svg"},
    {"MoveToBegin", "go-top", "go-top.svg"},
    {"MoveUp", "go-up", "go-up.svg"},
    {"MoveDown", "go-down", "go-down.svg"},
    {"MoveToEnd", "go-bottom", "go-bottom.svg"},
    {"PrjSetAction", "preferences-system", "preferences.svg"},
    {"ViewCat", "view-list-tree", "view-categories.svg"},
    {"ViewLinks", "view-list-details", "view-links.svg"},
    {"HelpIndex", "help-contents", "help-manual.svg"},
    {"HelpAbout", "help-about", "help-about.svg"},
}};

constexpr QSize kAboutBannerSize(400, 90);

QIcon Drawing(const char* fileName) {
    return QIcon(QStringLiteral(":/icons/") + QLatin1String(fileName));
}

}  // namespace

QIcon ActionIcon(const QString& actionName) {
    for (const ActionImage& image : kActionImages) {
        if (actionName == QLatin1String(image.action)) {
            return QIcon::fromTheme(QLatin1String(image.themeName), Drawing(image.drawing));
        }
    }
    return {};
}

QIcon ApplicationIcon() {
    return QIcon::fromTheme(QStringLiteral("qmplit"), Drawing("qmplit.svg"));
}

QPixmap AboutBanner(qreal devicePixelRatio) {
    return Drawing("about-banner.svg").pixmap(kAboutBannerSize, devicePixelRatio);
}

}  // namespace qmp::ui
