#include "ui/window_host.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include "indexing/rating_settings.h"
#include "ui/main_form_ops.h"
#include "ui/prompts.h"

namespace qmp::ui {

WindowHost::~WindowHost() {
    while (waitDepth_ > 0)
        EndWaitCursor();
}

MessageAnswer WindowHost::ShowMessage(const Message& message) {
    return ShowMessageBox(form_.Window(), message);
}

void WindowHost::BeginWaitCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++waitDepth_;
}

void WindowHost::EndWaitCursor() {
    // An End without its Begin must not take away a cursor someone else set.
    if (waitDepth_ == 0) return;
    --waitDepth_;
    QGuiApplication::restoreOverrideCursor();
}

void WindowHost::ProcessMessages() {
    constexpr qint64 kIntervalMs = 10;
    if (sinceMessages_.isValid() && sinceMessages_.elapsed() < kIntervalMs) return;
    QCoreApplication::processEvents();
    sinceMessages_.start();
}

void WindowHost::RefreshView(bool full) {
    form_.RefreshView(full);
}

void WindowHost::LoadRatingSettings(std::string_view databasePath) {
    LoadProjectSettings(databasePath);
}

}  // namespace qmp::ui
