#include "ui/links_view_model.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

#include "decoding/database_text.h"

namespace qmp::ui {

class LinksViewModelTest final : public QObject {
    Q_OBJECT

    static TBaseRecord Link(std::int32_t category, std::string caption = {},
                            std::vector<std::string> keywords = {}, std::string url = {}) {
        return {category, std::move(caption), std::move(url), {}, std::move(keywords)};
    }

private slots:
    // Both views, growing and shrinking tables, pass the model checks.
    void passesTheModelTester() {
        TCat categories;
        TBase links;
        LinksViewModel model(categories, links, nullptr);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const ViewMode mode : {ViewMode::kLinks, ViewMode::kCategories, ViewMode::kLinks}) {
            categories.Add("All Categories");
            links.Add(Link(0, "A"));
            links.Add(Link(3, "B"));
            model.Redraw(mode);
            QCOMPARE(model.columnCount(), int(LinksViewModel::Columns(mode).size()));
            links.Clear();
            categories.Clear();
            model.Redraw(mode);
            QCOMPARE(model.rowCount(), 0);
        }
    }

    // Each cell's text is made from the table in display form.
    void cellTexts() {
        const struct {
            const char* name;
            bool utf8;
            ViewMode mode;
            TBaseRecord link;
            int column;
            const char* text;
        } cases[] = {
            {"number", false, ViewMode::kLinks, Link(0), 0, "2"},
            {"category", false, ViewMode::kLinks, Link(1), 1, "News (1)"},
            {"missing category", false, ViewMode::kLinks, Link(5), 1, " (5)"},
            {"url", false, ViewMode::kLinks, Link(0, "", {}, "a%20b%2Fc.html"), 2, "a b/c.html"},
            {"lock first", false, ViewMode::kLinks, Link(0, "", {"~", "alpha", "beta"}), 5,
             "alpha, beta"},
            {"lock last", false, ViewMode::kLinks, Link(0, "", {"alpha", "~"}), 5, "alpha, "},
            {"ansi caption", false, ViewMode::kLinks, Link(0, "Caf\xE9"), 3, "Caf\xC3\xA9"},
            {"utf-8 caption", true, ViewMode::kLinks, Link(0, "Caf\xC3\xA9"), 3, "Caf\xC3\xA9"},
            {"broken utf-8", true, ViewMode::kLinks, Link(0, "a\xE9"), 3, "a\xEF\xBF\xBD"},
            {"id", false, ViewMode::kCategories, Link(0), 0, "1"},
            {"name", false, ViewMode::kCategories, Link(0), 1, "News"},
        };
        for (const auto& c : cases) {
            const ScopedUtf8Mode mode(c.utf8);
            TCat categories;
            categories.Add("All Categories");
            categories.Add("News");
            TBase links;
            links.Add(Link(0));
            links.Add(c.link);
            LinksViewModel model(categories, links, nullptr);
            model.Redraw(c.mode);
            QVERIFY2(model.data(model.index(1, c.column), Qt::DisplayRole).toString() ==
                         QString::fromUtf8(c.text),
                     c.name);
        }
    }

    // Rows are painted after their category: 0 on the tool-tip colours, 1 to
    // 7 in their text colours, later ones and rows beyond the table as the
    // list is; the categories view's first row in bold.
    void rowPaint() {
        TCat categories;
        for (const char* name : {"All", "One", "Two"})
            categories.Add(name);
        TBase links;
        for (const std::int32_t category : {0, 1, 7, 8, -1})
            links.Add(Link(category));
        LinksViewModel model(categories, links, nullptr);
        const QPalette palette = QGuiApplication::palette();
        const struct {
            ViewMode mode;
            int row;
            int role;
            QVariant paint;
        } cases[] = {
            {ViewMode::kLinks, 0, Qt::BackgroundRole, palette.brush(QPalette::ToolTipBase)},
            {ViewMode::kLinks, 0, Qt::ForegroundRole, palette.brush(QPalette::ToolTipText)},
            {ViewMode::kLinks, 1, Qt::ForegroundRole, QBrush(QColor(0xFF, 0, 0))},
            {ViewMode::kLinks, 2, Qt::ForegroundRole, QBrush(QColor(0, 0x80, 0x80))},
            {ViewMode::kLinks, 1, Qt::BackgroundRole, QVariant()},
            {ViewMode::kLinks, 3, Qt::ForegroundRole, QVariant()},
            {ViewMode::kLinks, 4, Qt::ForegroundRole, QVariant()},
            {ViewMode::kLinks, 9, Qt::BackgroundRole, QVariant()},
            {ViewMode::kLinks, 1, Qt::FontRole, QVariant()},
            {ViewMode::kCategories, 2, Qt::ForegroundRole, QBrush(QColor(0, 0x80, 0))},
            {ViewMode::kCategories, 1, Qt::FontRole, QVariant()},
        };
        for (const auto& c : cases) {
            model.Redraw(c.mode);
            QCOMPARE(model.LinksViewCustomDrawItem(c.row, c.role), c.paint);
        }
        model.Redraw(ViewMode::kCategories);
        QVERIFY(model.data(model.index(0, 1), Qt::FontRole).value<QFont>().bold());
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::LinksViewModelTest)
#include "links_view_model_test.moc"
