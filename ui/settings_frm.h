#pragma once
// The settings dialog: the three rating settings files (set.xml, tags.xml,
// words.xml) as plain text, for the project or as the defaults of new projects.

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "system/file_ops.h"
#include "ui/settings_text.h"

class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;

namespace qmp::ui {

class MainFormOps;

class TSettingsForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSettingsForm)

public:
    static constexpr int kPageCount = 3;

    explicit TSettingsForm(QWidget* parent);

    QPlainTextEdit* IndexingMemo() const { return memos_[0]; }
    QPlainTextEdit* TagsMemo() const { return memos_[1]; }
    QPlainTextEdit* StopwordsMemo() const { return memos_[2]; }
    QPlainTextEdit* Memo(int page) const { return memos_[static_cast<std::size_t>(page)]; }
    QTabWidget* Pages() const { return pages_; }
    QPushButton* OkButton() const { return okButton_; }

    // Shows a file's text on `page` (0: set.xml, 1: tags.xml, 2: words.xml).
    void SetPageText(int page, SettingsText text);
    // The bytes to write for `page`: the file's own while its text is unedited.
    std::string PageBytes(int page) const;
    // False while the page's text is not well-formed XML (a hint on its tab;
    // the files are read anyway).
    bool PageIsWellFormed(int page) const { return wellFormed_[static_cast<std::size_t>(page)]; }

    // What OK does before the dialog closes; the dialog stays open when it
    // gives false, so that nothing typed is lost.
    void SetSaver(std::function<bool()> saver) { saver_ = std::move(saver); }

    void accept() override;

private:
    void CheckPages();

    QTabWidget* pages_;
    std::array<QPlainTextEdit*, kPageCount> memos_{};
    std::array<SettingsText, kPageCount> texts_;
    std::array<bool, kPageCount> loaded_{};
    std::array<bool, kPageCount> wellFormed_{true, true, true};
    QPushButton* okButton_;
    QTimer* checkTimer_;
    std::function<bool()> saver_;
};

// "Project Settings...": edits the project's files (the folder of
// DatabasePath), showing the program folder's copy of each file the project
// lacks; after a save the project's settings are loaded again.
void RunProjectSettings(MainFormOps& window, FileOps& ops = SystemFileOps());

// "Default Settings...": edits the program folder's files, which projects
// without their own use.
void RunDefaultSettings(MainFormOps& window, FileOps& ops = SystemFileOps());

}  // namespace qmp::ui
