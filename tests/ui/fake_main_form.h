#pragma once
// A main window for tests of the dialogs' commands: it records what the
// commands ask of it, in order.

#include <QStringList>
#include <QWidget>
#include <vector>

#include "decoding/database_text.h"
#include "tests/support/recording_host.h"
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
    void UTF8ModeStatus() override { utf8Panel.push_back(UTF8Mode); }
    void EnableDatabaseCommands() override {}
    void SetDatabaseTitle() override {}
    bool FileSave() override {
        calls << "save";
        return saveSucceeds;
    }

    QWidget widget;
    RecordingHost host;
    QStringList calls;
    // UTF8Mode at each call of UTF8ModeStatus.
    std::vector<bool> utf8Panel;
    bool showsCategories = false;
    bool saveSucceeds = true;
};

}  // namespace qmp::test
