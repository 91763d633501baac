// The Options, View and "?" menus: the settings dialogs, the two views, the
// manual, the maker's pages and the About box.

#include <QAction>

#include "system/shell.h"
#include "ui/about_frm.h"
#include "ui/main_frm.h"

namespace qmp::ui {

void TMainForm::PrjSetActionExecute() {
    if (commands_.projectSettings) commands_.projectSettings(*this);
}

void TMainForm::DefSetActionExecute() {
    if (commands_.defaultSettings) commands_.defaultSettings(*this);
}

void TMainForm::ViewCatExecute() {
    viewMode_ = ViewMode::kCategories;
    SetViewStatus();
}

void TMainForm::ViewLinksExecute() {
    viewMode_ = ViewMode::kLinks;
    SetViewStatus();
}

void TMainForm::SetViewStatus() {
    host_.ProcessMessages();
    const bool categories = ShowsCategories();
    actions_.value(QStringLiteral("ViewCat"))->setChecked(categories);
    actions_.value(QStringLiteral("ViewLinks"))->setChecked(!categories);
    if (categories) {
        RedrawViewAsCat();
    } else {
        RedrawViewAsBase();
    }
}

void TMainForm::HelpIndexExecute() {
    OpenProgramDocument("manual.pdf");
}

void TMainForm::HelpCheckForUpdatesExecute() {
    OpenMakerPage(kMakerDownloadPage);
}

void TMainForm::HelpWebSiteExecute() {
    OpenMakerPage(kMakerHomePage);
}

void TMainForm::HelpAboutExecute() {
    TAboutForm about(this);
    about.exec();
}

}  // namespace qmp::ui
