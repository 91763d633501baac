#pragma once
// The add-folder dialog: the options of a folder scan, and the command that
// asks for them, for a folder, and runs the scan.

#include <QDialog>
#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace qmp::ui {

class MainFormOps;

class TAddSiteForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAddSiteForm)

public:
    // Owned by the main window behind `window`, which "New category..."
    // redraws and marks changed.
    explicit TAddSiteForm(MainFormOps& window);

    QCheckBox* RecurseCheckBox() const { return recurseCheckBox_; }
    QCheckBox* AlreadyCheckBox() const { return alreadyCheckBox_; }
    QComboBox* CatComboBox() const { return catComboBox_; }
    QPushButton* NewCatBtn() const { return newCatBtn_; }
    QPushButton* OkButton() const { return okButton_; }

    // The category chosen: entry n is category number n.
    std::int32_t Category() const;

private:
    // One entry per category, "name (n)", and the entry `selected` chosen.
    void FillCategories(int selected);
    void NewCatBtnClick();

    MainFormOps& window_;
    QCheckBox* recurseCheckBox_;
    QCheckBox* alreadyCheckBox_;
    QComboBox* catComboBox_;
    QPushButton* newCatBtn_;
    QPushButton* okButton_;
};

// The add-folder command: the dialog, then the folder choice, then the scan
// in the scanning window. Cancelling either changes nothing.
void RunAddSite(MainFormOps& window);

// The same for a folder already chosen (one dropped on the main window):
// the dialog, then the scan of `ansiFolder`.
void RunAddSiteForFolder(MainFormOps& window, const std::string& ansiFolder);

}  // namespace qmp::ui
