#include "ui/cat_frm.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace qmp::ui {

class CatFormTest final : public QObject {
    Q_OBJECT

private slots:
    // OK follows the text on every change: an old name filled in enables it,
    // a single blank is a name, only an empty text is not.
    void okFollowsTheName() {
        TCatForm fresh(nullptr, QStringLiteral("Add new category"));
        QCOMPARE(fresh.windowTitle(), QStringLiteral("Add new category"));
        QVERIFY(!fresh.OkButton()->isEnabled());
        QTest::keyClick(fresh.NameEdit(), Qt::Key_Space);
        QVERIFY(fresh.OkButton()->isEnabled());
        QTest::keyClick(fresh.NameEdit(), Qt::Key_Backspace);
        QVERIFY(!fresh.OkButton()->isEnabled());

        TCatForm rename(nullptr, QStringLiteral("Edit category"), QStringLiteral("News"));
        QVERIFY(rename.OkButton()->isEnabled());
        QCOMPARE(rename.NameEdit()->text(), QStringLiteral("News"));
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::CatFormTest)
#include "cat_frm_test.moc"
