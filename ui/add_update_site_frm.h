#pragma once
// The scanning window: shows which file a scan or an update reads and lets
// the author stop it; and the commands that run a scan or an update in it.

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "indexing/folder_scan.h"

class QLabel;
class QPushButton;

namespace qmp::ui {

class MainFormOps;

class TAddUpdateSiteForm final : public QDialog, public ScanHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAddUpdateSiteForm)

public:
    // Not modal, above the other windows, in the middle of the screen.
    explicit TAddUpdateSiteForm(QWidget* parent);

    QLabel* FileLabel() const { return fileLabel_; }
    QPushButton* StopButton() const { return stopButton_; }

    void ShowProgress(std::string_view path, int linkCount) override;
    void ReportPageNotFound(std::string_view decodedUrl) override;
    void WhileWaiting() override;
    // Kept, to be shown once after the scan (ShowSkipped) rather than in a
    // box of its own for every entry.
    void ReportSkipped(std::string_view text) override;

    // The entries the scan left out so far, in order (UTF-8).
    const std::vector<std::string>& Skipped() const { return skipped_; }

    // Esc stops the scan as the Stop button does; the window stays.
    void reject() override;

protected:
    // While a scan runs a close request only stops it; the command closes
    // the window once the scan has returned.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* fileLabel_;
    QPushButton* stopButton_;
    std::vector<std::string> skipped_;
};

// The one warning that tells of the entries a scan left out (`skipped`, as
// ReportSkipped got them): how many, with the list in its details.
void ShowSkipped(QWidget* parent, const std::vector<std::string>& skipped);

// True while a scan or an update runs in the scanning window.
bool IsScanRunning();

// How the view is redrawn after a scan.
enum class ScanRedraw { kQuick, kFull };

// Adds the files of `ansiFolder` (a full path; a final "/" is added when
// missing) to the links with `category`, showing the scanning window; then
// redraws the view and marks the database changed. Does nothing while
// another scan runs.
void ScanFolderInWindow(MainFormOps& window, const std::string& ansiFolder, std::int32_t category,
                        bool recurse, bool addExisting, ScanRedraw redraw = ScanRedraw::kQuick);

// The update command: every link read again from its file in the scanning
// window; then the view redrawn and the database marked changed.
void RunUpdateBase(MainFormOps& window);

}  // namespace qmp::ui
