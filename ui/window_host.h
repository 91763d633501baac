#pragma once
// The core's Host answered by the main window: its message boxes, the wait
// cursor, pending events, its redraws and the project's rating settings.

#include <QElapsedTimer>

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
    void RefreshView(bool full) override;
    void LoadRatingSettings(std::string_view databasePath) override;

    // Lets the window process its pending events, at most once in a few
    // milliseconds: a long read asks once per entry, and the window needs no
    // more to stay alive.
    void ProcessMessages() override;

    // Wait cursors begun and not yet ended.
    int WaitCursorDepth() const { return waitDepth_; }

private:
    MainFormOps& form_;
    int waitDepth_ = 0;
    QElapsedTimer sinceMessages_;
};

}  // namespace qmp::ui
