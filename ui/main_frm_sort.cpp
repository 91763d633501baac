// The Sort menu: moving the selected rows, and the five sorts of the links.

#include "core/program_values.h"
#include "ui/main_frm.h"

namespace qmp::ui {

void TMainForm::MoveSelected(Move move) {
    if (ShowsCategories()) {
        const std::optional<int> row = FirstSelectedRow();
        if (!row) return;
        // The links follow their category to its new number.
        const int k = *row;
        const int count = Categories.Count();
        switch (move) {
            case Move::kToBegin:
                Categories.MoveToBegin(k);
                Links.CatMovedToBegin(k);
                break;
            case Move::kUp:
                Categories.MoveUp(k);
                Links.CatMovedUp(k);
                break;
            case Move::kDown:
                Categories.MoveDown(k);
                Links.CatMovedDown(k, count);
                break;
            case Move::kToEnd:
                Categories.MoveToEnd(k);
                Links.CatMovedToEnd(k, count);
                break;
        }
    } else {
        const std::vector<int> rows = SelectedRows();
        if (rows.empty()) return;
        // Each move shifts the rows not yet visited; `moved` counts the shift,
        // so the selected links keep their order among themselves.
        int moved = 0;
        switch (move) {
            case Move::kToBegin:
                for (auto row = rows.rbegin(); row != rows.rend(); ++row)
                    Links.MoveToBegin(*row + moved++);
                break;
            case Move::kToEnd:
                for (const int row : rows)
                    Links.MoveToEnd(row - moved++);
                break;
            case Move::kUp:
                for (const int row : rows)
                    Links.MoveUp(row);
                break;
            case Move::kDown:
                for (auto row = rows.rbegin(); row != rows.rend(); ++row)
                    Links.MoveDown(*row);
                break;
        }
    }
    FileChanged();
    RefreshView(false);
}

void TMainForm::MoveToBeginExecute() {
    MoveSelected(Move::kToBegin);
}

void TMainForm::MoveUpExecute() {
    MoveSelected(Move::kUp);
}

void TMainForm::MoveDownExecute() {
    MoveSelected(Move::kDown);
}

void TMainForm::MoveToEndExecute() {
    MoveSelected(Move::kToEnd);
}

void TMainForm::SortLinks(void (TBase::*sort)()) {
    // Sorting changes no link: the saved flag stays as it was.
    WaitCursor wait(host_);
    (Links.*sort)();
    RefreshView(false);
}

void TMainForm::SortByCatExecute() {
    SortLinks(&TBase::SortByCat);
}

void TMainForm::SortByURLExecute() {
    SortLinks(&TBase::SortByURL);
}

void TMainForm::SortByCaptionExecute() {
    SortLinks(&TBase::SortByCaption);
}

void TMainForm::SortByDescriptionExecute() {
    SortLinks(&TBase::SortByDescription);
}

void TMainForm::SortByKeysExecute() {
    SortLinks(&TBase::SortByKeys);
}

}  // namespace qmp::ui
