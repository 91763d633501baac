#pragma once
// The core's Host answered by the main window: its message boxes, the wait
// cursor, pending events, its redraws and the project's rating settings.

#include "core/host.h"

namespace qmp::ui {

class MainFormOps;

class WindowHost final : public Host {
public:
    explicit WindowHost(MainFormOps& form) : form_(form) {}
    // A wait cursor still shown (a Begin without its End) goes with the host.
    ~WindowHost() override;
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    MessageAnswer ShowMessage(const Message& message) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void ProcessMessages() override;
    void RefreshView(bool full) override;
    void LoadRatingSettings(std::string_view databasePath) override;

    // Wait cursors begun and not yet ended.
    int WaitCursorDepth() const { return waitDepth_; }

private:
    MainFormOps& form_;
    int waitDepth_ = 0;
};

}  // namespace qmp::ui
