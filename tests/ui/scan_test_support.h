#pragma once
// For tests of the commands that scan: a main window that records what it is
// asked, and hands that act on the windows while a command runs.

#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "ui/add_site_frm.h"
#include "ui/add_update_site_frm.h"
#include "ui/main_form_ops.h"

namespace qmp::test {

class FakeMainForm final : public ui::MainFormOps {
public:
    QWidget* Window() override { return &widget; }
    Host& WindowHost() override { return host; }
    void RefreshView(bool full) override { calls << (full ? "refresh full" : "refresh"); }
    void RedrawViewAsCat() override { calls << "categories"; }
    bool ShowsCategories() const override { return showsCategories; }
    void FileChanged() override { calls << "changed"; }
    void FileSaved() override {}
    void UTF8ModeStatus() override {}
    void EnableDatabaseCommands() override {}
    void SetDatabaseTitle() override {}
    bool FileSave() override {
        calls << "save";
        return saveSucceeds;
    }

    QWidget widget;
    NullHost host;
    QStringList calls;  // in order
    bool showsCategories = false;
    bool saveSucceeds = true;
};

// Runs `act` on every pass of the event loop, nested ones included, for the
// object's lifetime.
class EveryPass final {
public:
    explicit EveryPass(std::function<void()> act) {
        QObject::connect(&timer_, &QTimer::timeout, std::move(act));
        timer_.start(0);
    }

private:
    QTimer timer_;
};

// Each add-folder dialog that opens is noted as "dialog"; `act` sets its
// choices and gives true for OK, false for Cancel.
inline std::function<void()> AnswerAddSite(FakeMainForm& window,
                                           std::function<bool(ui::TAddSiteForm&)> act) {
    return [&window, act = std::move(act)] {
        auto* form = qobject_cast<ui::TAddSiteForm*>(QApplication::activeModalWidget());
        if (form == nullptr) return;
        window.calls << "dialog";
        act(*form) ? form->accept() : form->reject();
    };
}

// The scanning window while it is shown; null otherwise.
inline ui::TAddUpdateSiteForm* ShownScanningWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* form = qobject_cast<ui::TAddUpdateSiteForm*>(widget);
        if (form != nullptr && form->isVisible()) return form;
    }
    return nullptr;
}

}  // namespace qmp::test
