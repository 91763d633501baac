#pragma once
// For tests of the commands that scan: hands that act on the windows while a
// command runs.

#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "tests/ui/fake_main_form.h"
#include "ui/add_site_frm.h"
#include "ui/add_update_site_frm.h"

namespace qmp::test {

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
