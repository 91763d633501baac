#include "ui/add_site_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <optional>

#include "core/link_view_text.h"
#include "core/program_values.h"
#include "system/os_path.h"
#include "system/paths.h"
#include "ui/add_update_site_frm.h"
#include "ui/cat_frm.h"
#include "ui/chosen_path.h"
#include "ui/dialog_buttons.h"
#include "ui/main_form_ops.h"
#include "ui/make_child.h"
#include "ui/prompts.h"

namespace qmp::ui {

TAddSiteForm::TAddSiteForm(MainFormOps& window)
    : QDialog(window.Window()),
      window_(window),
      recurseCheckBox_(MakeChild<QCheckBox>(tr("Add files from subdirectories"), this)),
      alreadyCheckBox_(MakeChild<QCheckBox>(tr("Add already existing files"), this)),
      catComboBox_(MakeChild<QComboBox>(this)),
      newCatBtn_(MakeChild<QPushButton>(tr("New category..."), this)),
      okButton_(MakeChild<QPushButton>(tr("Select folder and add..."), this)) {
    setObjectName(QStringLiteral("AddSiteForm"));
    setWindowTitle(tr("Add folder"));
    recurseCheckBox_->setObjectName(QStringLiteral("RecurseCheckBox"));
    alreadyCheckBox_->setObjectName(QStringLiteral("AlreadyCheckBox"));
    catComboBox_->setObjectName(QStringLiteral("CatComboBox"));
    newCatBtn_->setObjectName(QStringLiteral("NewCatBtn"));
    recurseCheckBox_->setChecked(true);
    auto* catLabel = MakeChild<QLabel>(tr("Category name:"), this);
    catLabel->setBuddy(catComboBox_);
    FillCategories(0);
    connect(newCatBtn_, &QPushButton::clicked, this, &TAddSiteForm::NewCatBtnClick);

    // Enter picks the folder; the other buttons must not take it over.
    newCatBtn_->setAutoDefault(false);
    const OkCancelButtons buttons = MakeOkCancelButtons(*this, okButton_);

    auto* layout = MakeChild<QGridLayout>(this);
    layout->addWidget(recurseCheckBox_, 0, 0, 1, 2);
    layout->addWidget(alreadyCheckBox_, 1, 0, 1, 2);
    layout->addWidget(catLabel, 2, 0, 1, 2);
    layout->addWidget(catComboBox_, 3, 0);
    layout->addWidget(newCatBtn_, 3, 1);
    layout->addWidget(buttons.box, 4, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    setTabOrder(recurseCheckBox_, alreadyCheckBox_);
    setTabOrder(alreadyCheckBox_, catComboBox_);
    setTabOrder(catComboBox_, newCatBtn_);
    setTabOrder(newCatBtn_, okButton_);
    setTabOrder(okButton_, buttons.cancel);
    setMinimumWidth(360);
}

std::int32_t TAddSiteForm::Category() const {
    // An empty list (a database without categories) gives the first number.
    return std::max(catComboBox_->currentIndex(), 0);
}

void TAddSiteForm::FillCategories(int selected) {
    catComboBox_->clear();
    for (int n = 0; n < Categories.Count(); ++n)
        catComboBox_->addItem(QString::fromUtf8(CategoryColumnText(Categories, n)));
    catComboBox_->setCurrentIndex(selected);
}

void TAddSiteForm::NewCatBtnClick() {
    const std::optional<std::string> name = AskCategoryName(this, tr("Add new category"));
    if (!name) return;
    // The category stays even when this dialog is then cancelled.
    Categories.Add(*name);
    FillCategories(Categories.Count() - 1);
    window_.FileChanged();
    if (window_.ShowsCategories()) window_.RedrawViewAsCat();
}

namespace {

struct ScanChoice {
    std::int32_t category;
    bool recurse;
    bool addExisting;
};

// The dialog's choices; nothing when it is cancelled, or while a scan runs.
std::optional<ScanChoice> AskScanChoice(MainFormOps& window) {
    if (IsScanRunning()) return std::nullopt;
    TAddSiteForm form(window);
    if (form.exec() != QDialog::Accepted) return std::nullopt;
    return ScanChoice{form.Category(), form.RecurseCheckBox()->isChecked(),
                      form.AlreadyCheckBox()->isChecked()};
}

}  // namespace

void RunAddSite(MainFormOps& window) {
    const std::optional<ScanChoice> choice = AskScanChoice(window);
    if (!choice) return;
    const std::optional<QString> folder =
        ChooseFolder(window.Window(), QObject::tr("Select site directory"),
                     QString::fromUtf8(ToOsPath(ExtractFilePath(DatabasePath))));
    if (!folder) return;
    const std::optional<std::string> held = HeldFolderPath(window.Window(), *folder);
    if (!held) return;
    ScanFolderInWindow(window, *held, choice->category, choice->recurse, choice->addExisting);
}

void RunAddSiteForFolder(MainFormOps& window, const std::string& ansiFolder) {
    const std::optional<ScanChoice> choice = AskScanChoice(window);
    if (!choice) return;
    ScanFolderInWindow(window, ansiFolder, choice->category, choice->recurse, choice->addExisting);
}

}  // namespace qmp::ui
