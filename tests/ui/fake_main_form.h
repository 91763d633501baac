#pragma once
// A main window for dialog tests, and a way to drive the modal dialog that a
// command opens.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "decoding/database_text.h"
#include "tests/support/recording_host.h"
#include "ui/main_form_ops.h"

namespace qmp::ui::test {

class FakeMainForm final : public MainFormOps {
public:
    QWidget* Window() override { return &widget; }
    Host& WindowHost() override { return host; }
    void RefreshView(bool) override {}
    void RedrawViewAsCat() override {}
    bool ShowsCategories() const override { return true; }
    void FileChanged() override {}
    void FileSaved() override {}
    void UTF8ModeStatus() override { utf8Panel.push_back(UTF8Mode); }
    void EnableDatabaseCommands() override {}
    void SetDatabaseTitle() override {}
    bool FileSave() override { return true; }

    QWidget widget;
    qmp::test::RecordingHost host;
    // UTF8Mode at each call of UTF8ModeStatus.
    std::vector<bool> utf8Panel;
};

// Runs `drive` on the modal dialog of type Form once the next command shows
// it; a dialog that `drive` leaves open is cancelled, so a failing check
// never hangs the test.
template <typename Form>
void DriveNextModal(std::function<void(Form&)> drive) {
    QTimer::singleShot(0, [drive = std::move(drive)] {
        auto* form = qobject_cast<Form*>(QApplication::activeModalWidget());
        if (form == nullptr) {
            QTest::qFail("no dialog of the expected kind is shown", __FILE__, __LINE__);
            return;
        }
        drive(*form);
        if (form->isVisible()) form->reject();
    });
}

}  // namespace qmp::ui::test
