#include "ui/links_view_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <array>

#include "core/link_view_text.h"
#include "decoding/display_text.h"

namespace qmp::ui {
namespace {

// Text colours of the categories 1 to 7; category 0 has the tool-tip
// background instead, and later ones the list's own colours.
constexpr std::array<QRgb, 7> kCategoryTextColours = {
    0xFF0000,  // red
    0x008000,  // green
    0x800000,  // maroon
    0x0000FF,  // blue
    0x800080,  // purple
    0x808080,  // gray
    0x008080,  // teal
};

}  // namespace

LinksViewModel::LinksViewModel(const TCat& categories, const TBase& links, QObject* parent)
    : QAbstractTableModel(parent), categories_(categories), links_(links) {}

const std::vector<ViewColumn>& LinksViewModel::Columns(ViewMode mode) {
    static const std::vector<ViewColumn> kCategoryColumns = {{"ID", 30},
                                                             {"Category name", kFillWidth}};
    static const std::vector<ViewColumn> kLinkColumns = {
        {"#", 40},        {"Category", 90},     {"Link URL", 150},
        {"Caption", 150}, {"Description", 200}, {"Keywords", 800}};
    return mode == ViewMode::kCategories ? kCategoryColumns : kLinkColumns;
}

void LinksViewModel::Redraw(ViewMode mode) {
    beginResetModel();
    mode_ = mode;
    rows_ = mode == ViewMode::kCategories ? categories_.Count() : links_.Count();
    endResetModel();
}

std::string LinksViewModel::LinksViewData(int row, int column) const {
    if (mode_ == ViewMode::kCategories) {
        if (row < 0 || row >= categories_.Count()) return {};
        return column == 0 ? std::to_string(row) : DisplayText(categories_.Names()[row]);
    }
    const TBaseRecord* link = links_.At(row);
    if (link == nullptr) return {};
    switch (column) {
        case 0:
            return std::to_string(row + 1);
        case 1:
            return CategoryColumnText(categories_, link->Category);
        case 2:
            return UrlColumnText(*link);
        case 3:
            return DisplayText(link->Caption);
        case 4:
            return DisplayText(link->Description);
        case 5:
            return KeywordsColumnText(*link);
        default:
            return {};
    }
}

std::optional<std::int32_t> LinksViewModel::ColourKey(int row) const {
    if (mode_ == ViewMode::kCategories) {
        if (row < 0 || row >= categories_.Count()) return std::nullopt;
        return row;
    }
    const TBaseRecord* link = links_.At(row);
    if (link == nullptr) return std::nullopt;
    return link->Category;
}

QVariant LinksViewModel::LinksViewCustomDrawItem(int row, int role) const {
    const std::optional<std::int32_t> key = ColourKey(row);
    if (!key) return {};
    switch (role) {
        case Qt::BackgroundRole:
            if (*key == 0) return QGuiApplication::palette().brush(QPalette::ToolTipBase);
            break;
        case Qt::ForegroundRole:
            // The tool-tip text colour keeps row 0 readable whatever the palette.
            if (*key == 0) return QGuiApplication::palette().brush(QPalette::ToolTipText);
            if (*key >= 1 && *key <= static_cast<std::int32_t>(kCategoryTextColours.size()))
                return QBrush(QColor::fromRgb(kCategoryTextColours[*key - 1]));
            break;
        case Qt::FontRole:
            if (mode_ == ViewMode::kCategories && row == 0) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            break;
        default:
            break;
    }
    return {};
}

int LinksViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int LinksViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Columns(mode_).size());
}

QVariant LinksViewModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromUtf8(LinksViewData(index.row(), index.column()));
        case Qt::BackgroundRole:
        case Qt::ForegroundRole:
        case Qt::FontRole:
            return LinksViewCustomDrawItem(index.row(), role);
        default:
            return {};
    }
}

QVariant LinksViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const std::vector<ViewColumn>& columns = Columns(mode_);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(columns.size())) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromUtf8(columns[section].caption);
}

Qt::ItemFlags LinksViewModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace qmp::ui
