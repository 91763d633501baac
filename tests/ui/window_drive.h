#pragma once
// Steps through the real main window's commands with their real dialogs, as
// an author would: a new engine from a template, then a folder added to it.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEngineView>
#include <functional>
#include <optional>

#include "tests/ui/scan_test_support.h"
#include "tests/ui/window_test_support.h"
#include "ui/main_frm.h"
#include "ui/new_frm.h"
#include "ui/prompts.h"

namespace qmp::test {

// "New Search Engine...": the dialog gets the template `templateName` and,
// once its preview has loaded, `look` runs on it; then the root folder
// `root` is typed and OK pressed. False when the dialog did not show or
// lacks the template (it is then cancelled).
inline bool NewEngineInWindow(ui::TMainForm& form, const QString& root, const QString& templateName,
                              const std::function<void(ui::TNewForm&)>& look = {}) {
    bool filled = false;
    WhenShown<ui::TNewForm>([&](ui::TNewForm& dialog) {
        QComboBox* list = dialog.TemplateComboBox();
        const int index = list->findText(templateName);
        if (index < 0) return;
        if (QWebEngineView* preview = dialog.WebBrowser()) {
            QSignalSpy loads(preview, &QWebEngineView::loadFinished);
            if (index == list->currentIndex()) {
                preview->reload();
            } else {
                list->setCurrentIndex(index);
            }
            if (!loads.wait(30000)) return;
        } else {
            list->setCurrentIndex(index);
        }
        if (look) look(dialog);
        dialog.PathEdit()->setText(root);
        filled = true;
        dialog.OkButton()->click();
    });
    form.Action(QStringLiteral("FileNew"))->trigger();
    return filled;
}

// "Add Folder...": `look` runs on the add-folder dialog, which is then taken
// with OK as it stands, `folder` is chosen, and `whileScanning` runs on every
// pass of the events while the scanning window shows. False when the dialog
// did not show.
inline bool AddFolderInWindow(
    ui::TMainForm& form, const QString& folder,
    const std::function<void(ui::TAddSiteForm&)>& look = {},
    const std::function<void(ui::TAddUpdateSiteForm&)>& whileScanning = {}) {
    ui::PromptAnswers::AnswerNextFolder(folder);
    bool shown = false;
    WhenShown<ui::TAddSiteForm>([&](ui::TAddSiteForm& dialog) {
        shown = true;
        if (look) look(dialog);
        dialog.OkButton()->click();
    });
    std::optional<EveryPass> watch;
    if (whileScanning) {
        watch.emplace([&] {
            if (ui::TAddUpdateSiteForm* scanning = ShownScanningWindow()) whileScanning(*scanning);
        });
    }
    form.Action(QStringLiteral("AddSite"))->trigger();
    return shown;
}

}  // namespace qmp::test
