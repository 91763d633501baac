// The main window's list: its making, the redraws of both views, the
// selection and the list's own events.

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <algorithm>

#include "core/program_values.h"
#include "ui/main_frm.h"
#include "ui/make_child.h"

namespace qmp::ui {

void TMainForm::CreateList() {
    model_ = MakeChild<LinksViewModel>(Categories, Links, this);
    linksView_ = MakeChild<QTableView>(this);
    QTableView* view = linksView_;
    view->setObjectName(QStringLiteral("LinksView"));
    view->setModel(model_);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->setTabKeyNavigation(false);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    // Rows of one height: a list of any length is laid out without asking
    // any row for its size.
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setSectionsMovable(false);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // The selection stays as visible when the list loses the focus.
    QPalette palette = view->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
    view->hide();
    setCentralWidget(view);

    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TMainForm::LinksViewSelectItem);
    connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TMainForm::LinksViewColumnClick);
    connect(view, &QAbstractItemView::doubleClicked, this, &TMainForm::LinksViewDblClick);
    connect(view, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        contextMenu_->popup(linksView_->viewport()->mapToGlobal(at));
    });
}

void TMainForm::SetColumns(ViewMode mode) {
    QHeaderView* header = linksView_->horizontalHeader();
    const std::vector<ViewColumn>& columns = LinksViewModel::Columns(mode);
    // The name column of the categories view fills the list as it grows.
    header->setStretchLastSection(mode == ViewMode::kCategories);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        const int width = columns[i].width == kFillWidth
                              ? std::max(linksView_->width() + kFillWidth, 100)
                              : columns[i].width;
        header->resizeSection(i, width);
    }
    linksView_->setAccessibleName(mode == ViewMode::kCategories ? tr("Category list")
                                                                : tr("Links list"));
}

void TMainForm::FocusCurrentRow(int current) {
    linksView_->setFocus();
    if (current < 0 || current >= model_->rowCount()) return;
    const QModelIndex index = model_->index(current, 0);
    linksView_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    linksView_->scrollTo(index);
}

void TMainForm::RefreshView(bool full) {
    if (viewMode_ == ViewMode::kCategories) {
        RedrawViewAsCat();
    } else if (full) {
        RedrawViewAsBase();
    } else {
        RedrawViewAsBaseQuick();
    }
}

void TMainForm::RedrawViewAsCat() {
    UTF8ModeStatus();
    statusPanels_[0]->setText(tr("Categories"));
    linksView_->show();
    linksView_->clearSelection();
    model_->Redraw(ViewMode::kCategories);
    linksView_->setSelectionMode(QAbstractItemView::SingleSelection);
    SetColumns(ViewMode::kCategories);
    FocusCurrentRow(Categories.Current());
}

void TMainForm::RedrawViewAsBase() {
    UTF8ModeStatus();
    linksView_->clearSelection();
    statusPanels_[0]->setText(tr("Links"));
    linksView_->show();
    model_->Redraw(ViewMode::kLinks);
    linksView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SetColumns(ViewMode::kLinks);
    FocusCurrentRow(Links.Current());
}

void TMainForm::RedrawViewAsBaseQuick() {
    linksView_->clearSelection();
    model_->Redraw(ViewMode::kLinks);
    FocusCurrentRow(Links.Current());
    linksView_->viewport()->update();
}

std::optional<int> TMainForm::FirstSelectedRow() const {
    std::optional<int> first;
    for (const QItemSelectionRange& range : linksView_->selectionModel()->selection())
        if (!first || range.top() < *first) first = range.top();
    return first;
}

std::vector<int> TMainForm::SelectedRows() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& range : linksView_->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void TMainForm::LinksViewSelectItem() {
    const std::optional<int> row = FirstSelectedRow();
    if (!row) return;
    if (model_->Mode() == ViewMode::kCategories) {
        Categories.SetCurrent(*row);
    } else {
        Links.SetCurrent(*row);
    }
}

void TMainForm::LinksViewColumnClick(int column) {
    if (viewMode_ != ViewMode::kLinks) return;
    static constexpr const char* kSorts[] = {nullptr,         "SortByCat",         "SortByURL",
                                             "SortByCaption", "SortByDescription", "SortByKeys"};
    if (column <= 0 || column >= static_cast<int>(std::size(kSorts))) return;
    QAction* sort = actions_.value(QString::fromLatin1(kSorts[column]));
    if (sort->isEnabled()) sort->trigger();
}

void TMainForm::LinksViewDblClick() {
    QAction* modify = actions_.value(QStringLiteral("EditModify"));
    if (modify->isEnabled()) modify->trigger();
}

}  // namespace qmp::ui
