#pragma once
// What the dialogs' commands ask of the main window: its redraws, the saved
// flag's two operations and the status panel of the encoding mode. The main
// window implements it; tests of a dialog use a small fake.

#include "core/host.h"

class QWidget;

namespace qmp::ui {

class MainFormOps {
public:
    virtual ~MainFormOps() = default;

    // The window that owns the dialogs and message boxes.
    virtual QWidget* Window() = 0;
    // The window's Host: messages, wait cursor, pending events.
    virtual Host& WindowHost() = 0;
    // The full or the quick redraw of the view shown.
    virtual void RefreshView(bool full) = 0;
    // The categories view's full redraw.
    virtual void RedrawViewAsCat() = 0;
    // True while the categories view is shown.
    virtual bool ShowsCategories() const = 0;
    // The database differs from the file ("Changed"), or equals it.
    virtual void FileChanged() = 0;
    virtual void FileSaved() = 0;
    // The encoding panel follows UTF8Mode again.
    virtual void UTF8ModeStatus() = 0;
    // The database commands are enabled and the list shown.
    virtual void EnableDatabaseCommands() = 0;
    // The caption: the program's title, " - " and the database path.
    virtual void SetDatabaseTitle() = 0;
    // The window's save command: saves the database, marks it saved when the
    // save succeeded; gives whether it did.
    virtual bool FileSave() = 0;
};

}  // namespace qmp::ui
