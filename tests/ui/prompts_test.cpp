#include "ui/prompts.h"

#include <QtTest>

namespace qmp::ui {

class PromptsTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { PromptAnswers::Enable(); }
    void cleanup() { PromptAnswers::Disable(); }

    void filterPairsBecomeQtFilters_data() {
        QTest::addColumn<QString>("pairs");
        QTest::addColumn<QString>("filter");
        QTest::newRow("engine") << "Engine File (*db.js)|*db.js|Any other type File (*.*)|*.*"
                                << "Engine File (*db.js);;Any other type File (*)";
        QTest::newRow("several patterns") << "HTML File (*.html;*.htm)|*.html;*.htm"
                                          << "HTML File (*.html;*.htm)";
        QTest::newRow("odd pair left out") << "A (*.a)|*.a|B (*.b)"
                                           << "A (*.a)";
    }
    void filterPairsBecomeQtFilters() {
        QFETCH(QString, pairs);
        QFETCH(QString, filter);
        QCOMPARE(QtFileFilter(pairs), filter);
    }

    // Answers are taken in order; a prompt with none left gets the careful
    // answer and is counted, so a test sees a question it did not expect.
    void answersAreTakenInOrderAndMissingOnesCounted() {
        PromptAnswers::AnswerNextMessage(MessageAnswer::kYes);
        PromptAnswers::AnswerNextFolder(QStringLiteral("/srv/site"));
        const Message question{"Question", "Save?", MessageIcon::kQuestion,
                               MessageButtons::kYesNoCancel};
        QCOMPARE(ShowMessageBox(nullptr, question), MessageAnswer::kYes);
        QCOMPARE(ShowMessageBox(nullptr, question), MessageAnswer::kCancel);
        QCOMPARE(ShowMessageBox(nullptr, {"Error", "x", MessageIcon::kError, MessageButtons::kOk}),
                 MessageAnswer::kOk);
        QCOMPARE(ChooseFolder(nullptr, QStringLiteral("Select site directory"), QString()),
                 std::optional<QString>(QStringLiteral("/srv/site/")));
        QCOMPARE(ChooseFile(nullptr, FileChoice{}), std::optional<QString>());
        QCOMPARE(PromptAnswers::Unanswered(), 2);
        QCOMPARE(PromptAnswers::Unused(), 0);
        QCOMPARE(PromptAnswers::Messages().size(), std::size_t{3});
        QCOMPARE(PromptAnswers::FolderTitles().front(), QStringLiteral("Select site directory"));
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::PromptsTest)
#include "prompts_test.moc"
