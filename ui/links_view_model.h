#pragma once
// The list of the main window as a table model: the category table or the
// link table, each cell made from the table when the view paints it. The
// model holds only the row count, taken when the list is redrawn.

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/category_table.h"
#include "core/link_table.h"

namespace qmp::ui {

enum class ViewMode { kCategories, kLinks };

// The columns of a view: caption and width in pixels. The width of the
// categories view's name column is "the list's width minus 35": kFillWidth.
struct ViewColumn {
    const char* caption;
    int width;
};
inline constexpr int kFillWidth = -35;

class LinksViewModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinksViewModel)

public:
    LinksViewModel(const TCat& categories, const TBase& links, QObject* parent);

    ViewMode Mode() const { return mode_; }
    // Shows `mode` with the rows its table holds now (a model reset).
    void Redraw(ViewMode mode);

    // The text of one cell, as the list shows it (UTF-8).
    std::string LinksViewData(int row, int column) const;
    // The colour key of a row: the link's category number in the links view,
    // the row itself in the categories view; nothing for a row beyond the table.
    std::optional<std::int32_t> ColourKey(int row) const;
    // The paint of a row (foreground, background and font roles).
    QVariant LinksViewCustomDrawItem(int row, int role) const;

    static const std::vector<ViewColumn>& Columns(ViewMode mode);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const TCat& categories_;
    const TBase& links_;
    ViewMode mode_ = ViewMode::kLinks;
    int rows_ = 0;
};

}  // namespace qmp::ui
