// The Edit menu: adding, changing and deleting categories and links, the
// add-folder dialog and the update of every link.

#include <QDialog>

#include "core/category_changes.h"
#include "core/program_values.h"
#include "decoding/display_text.h"
#include "ui/cat_frm.h"
#include "ui/link_frm.h"
#include "ui/main_frm.h"
#include "ui/prompts.h"

namespace qmp::ui {
namespace {

bool AskYes(QWidget* parent, const char* text) {
    const Message question{"Warning", text, MessageIcon::kWarning, MessageButtons::kYesNo};
    return ShowMessageBox(parent, question) == MessageAnswer::kYes;
}

}  // namespace

bool TMainForm::RunLinkForm(const QString& caption, TBaseRecord& record, bool fill) {
    const int categoriesBefore = Categories.Count();
    TLinkForm form(this, host_, Categories, caption);
    if (fill) form.FillFrom(record);
    if (form.exec() == QDialog::Accepted) {
        record = form.Record();
        return true;
    }
    // A category added with "New..." stays though the link was given up:
    // the database has changed, and closing must not lose it unasked.
    if (Categories.Count() != categoriesBefore) {
        FileChanged();
        RefreshView(false);
    }
    return false;
}

void TMainForm::EditAddExecute() {
    if (ShowsCategories()) {
        const std::optional<std::string> name = AskCategoryName(this, tr("Add new category"));
        if (!name) return;
        Categories.Add(*name);
    } else {
        TBaseRecord record;
        if (!RunLinkForm(tr("Add new link"), record, false)) return;
        Links.Add(std::move(record));
    }
    RefreshView(false);
    FileChanged();
}

void TMainForm::EditModifyExecute() {
    const std::optional<int> row = FirstSelectedRow();
    if (!row) return;
    if (ShowsCategories()) {
        const QString shown = QString::fromUtf8(DisplayText(Categories.Get(*row)));
        const std::optional<std::string> name = AskCategoryName(this, tr("Edit category"), shown);
        if (!name) return;
        Categories.Put(*row, *name);
    } else {
        TBaseRecord record = Links.Get(*row);
        if (!RunLinkForm(tr("Edit link"), record, true)) return;
        Links.Put(*row, std::move(record));
    }
    FileChanged();
    RefreshView(false);
}

void TMainForm::EditDeleteExecute() {
    if (ShowsCategories()) {
        const std::optional<int> row = FirstSelectedRow();
        if (!row || !AskYes(this,
                            "Deleting of the category will delete all referenced links, too.\n\n"
                            "Are you sure to delete this category and referenced links?")) {
            return;
        }
        DeleteCategory(Categories, Links, *row);
    } else {
        const std::vector<int> rows = SelectedRows();
        if (rows.empty() || !AskYes(this, "Are you sure to delete links?")) return;
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            Links.Delete(*row);
    }
    FileChanged();
    RefreshView(false);
}

void TMainForm::EditClearExecute() {
    if (ShowsCategories()) {
        if (!AskYes(this,
                    "Deleting of all categories will delete all links, too.\n\n"
                    "Are you sure to clear search engine database?")) {
            return;
        }
        DeleteAllCategories(Categories, Links);
    } else {
        if (!AskYes(this, "Are you sure to delete all links?")) return;
        Links.Clear();
    }
    FileChanged();
    RefreshView(false);
}

void TMainForm::AddSiteExecute() {
    if (commands_.addSite) commands_.addSite(*this);
}

void TMainForm::UpdateBaseExecute() {
    if (commands_.updateBase) commands_.updateBase(*this);
}

}  // namespace qmp::ui
