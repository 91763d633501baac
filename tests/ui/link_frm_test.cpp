#include "ui/link_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "core/program_values.h"
#include "decoding/database_text.h"
#include "system/paths.h"
#include "tests/support/recording_host.h"
#include "tests/ui/window_test_support.h"
#include "ui/cat_frm.h"
#include "ui/prompts.h"

namespace qmp::ui {

using Keywords = std::vector<std::string>;

class LinkFormTest final : public QObject {
    Q_OBJECT

    test::RecordingHost host_;

    static TCat CategoryTable(int count) {
        TCat categories;
        for (int i = 0; i < count; ++i)
            categories.Add(i == 0 ? "All Categories" : "News");
        return categories;
    }

private slots:
    void init() { PromptAnswers::Enable(); }
    void cleanup() { PromptAnswers::Disable(); }

    // Typed keywords are cut at every comma, empty pieces kept.
    void typedKeywordsAreCutAtCommas() {
        const struct {
            const char* typed;
            bool dontUpdate;
            Keywords stored;
        } typed[] = {
            {"alpha,,beta", false, {"alpha", "", "beta"}},
            {"alpha, beta,", false, {"alpha", "beta", ""}},
            {" \t one \r\n", false, {"one"}},
            {"", true, {"~"}},
            {"", false, {}},
            {"a,b", true, {"~", "a", "b"}},
        };
        for (const auto& c : typed)
            QCOMPARE(TypedKeywords(c.typed, c.dontUpdate), c.stored);
    }

    // A link shown and read back without a change is the same link; the
    // box follows the lock, not the filling of the fields; a long text shows
    // its beginning.
    void fillAndReadBack() {
        const ScopedUtf8Mode utf8(true);
        TCat categories = CategoryTable(2);
        const struct {
            TBaseRecord record;
            const char* shownUrl;
            bool ticked;
        } cases[] = {
            {{1, "Caf\xC3\xA9", "a%20b.html", "About", {"~", "alpha", "beta"}}, "a b.html", true},
            {{0, "Home", "index.html", "", {"alpha"}}, "index.html", false},
            {{0, "", "x%2Fy.html", "", {}}, "x/y.html", false},
            {{0, std::string(300, 'c'), "long.html", std::string(300, 'd'), {}},
             "long.html",
             false},
        };
        for (const auto& c : cases) {
            TLinkForm form(nullptr, host_, categories, QStringLiteral("Edit link"));
            form.FillFrom(c.record);
            QCOMPARE(form.URLEdit()->text(), QString::fromUtf8(c.shownUrl));
            QCOMPARE(form.DontUpdateCheckBox()->isChecked(), c.ticked);
            QCOMPARE(form.Record(), c.record);
            for (const QLineEdit* edit : {form.URLEdit(), form.CaptionEdit(), form.DescEdit()})
                QCOMPARE(edit->cursorPosition(), 0);
        }
    }

    // Typing into a text the update writes ticks the box; the URL does not.
    void typingTicksTheBox() {
        TCat categories = CategoryTable(1);
        TLinkForm form(nullptr, host_, categories, QStringLiteral("Add new link"));
        const std::pair<QWidget*, bool> fields[] = {{form.URLEdit(), false},
                                                    {form.CaptionEdit(), true},
                                                    {form.DescEdit(), true},
                                                    {form.KeysMemo(), true}};
        for (const auto& [field, ticks] : fields) {
            form.DontUpdateCheckBox()->setChecked(false);
            QTest::keyClicks(field, QStringLiteral("x"));
            QCOMPARE(form.DontUpdateCheckBox()->isChecked(), ticks);
        }
    }

    // OK needs a URL and a category; the message names neither, the focus does.
    void okNeedsUrlAndCategory() {
        const struct {
            int categories;
            const char* url;
            bool accepted;
            const char* focus;
        } cases[] = {
            {0, "a.html", false, "CatComboBox"},
            {1, "", false, "URLEdit"},
            {0, "", false, "URLEdit"},
            {1, "a.html", true, nullptr},
        };
        for (const auto& c : cases) {
            PromptAnswers::Enable();
            TCat categories = CategoryTable(c.categories);
            TLinkForm form(nullptr, host_, categories, QStringLiteral("Add new link"));
            form.URLEdit()->setText(QString::fromUtf8(c.url));
            form.CatComboBox()->setFocus();
            form.OkButton()->click();
            QCOMPARE(form.result() == QDialog::Accepted, c.accepted);
            QCOMPARE(PromptAnswers::Messages().size(), c.accepted ? 0u : 1u);
            if (c.accepted) continue;
            QCOMPARE(PromptAnswers::Messages().front().text,
                     std::string("Not all required fields are filled"));
            QCOMPARE(form.focusWidget()->objectName(), QString::fromUtf8(c.focus));
        }
    }

    // A category made with "New..." is selected and stays when the link is
    // given up.
    void newCategoryStaysAfterCancel() {
        TCat categories = CategoryTable(1);
        TLinkForm form(nullptr, host_, categories, QStringLiteral("Add new link"));
        test::WhenShown<TCatForm>([](TCatForm& f) {
            f.NameEdit()->setText(QStringLiteral("Events"));
            f.OkButton()->click();
        });
        form.NewCatBtn()->click();
        QCOMPARE(form.CatComboBox()->currentText(), QStringLiteral("Events (1)"));
        form.reject();
        QCOMPARE(categories.Names(), (Keywords{"All Categories", "Events"}));
    }

    // A chosen file gives the URL relative to the database; with extraction
    // the page fills the link, without it the texts are emptied and kept.
    void chosenFileFillsTheLink() {
        const test::TempFolder folder;
        SetProgramDirOverride(test::RuntimeDir());
        const std::string page = folder.Write(
            "walks/a b.html",
            "<html><head><title>Quarry walk</title></head><body>slate ridge</body></html>");
        DatabasePath = folder.dir() + "searchdb.js";
        const struct {
            bool extract;
            const char* caption;
            bool ticked;
        } cases[] = {{true, "Quarry walk", false}, {false, "", true}};
        for (const auto& c : cases) {
            TCat categories = CategoryTable(2);
            TLinkForm form(nullptr, host_, categories, QStringLiteral("Add new link"));
            form.CaptionEdit()->setText(QStringLiteral("Old"));
            form.FromCheck()->setChecked(c.extract);
            PromptAnswers::AnswerNextFile(QString::fromStdString(page));
            form.SelUBtn()->click();
            QCOMPARE(form.URLEdit()->text(), QStringLiteral("walks/a b.html"));
            QCOMPARE(form.CaptionEdit()->text(), QString::fromUtf8(c.caption));
            QCOMPARE(form.DontUpdateCheckBox()->isChecked(), c.ticked);
            QCOMPARE(form.KeysMemo()->toPlainText().isEmpty(), !c.extract);
            QCOMPARE(form.Record().URL, std::string("walks%2Fa%20b.html"));
            QCOMPARE(host_.waitCursorDepth, 0);
        }
        QCOMPARE(PromptAnswers::FileChoices().back().kind, FileChoice::Kind::kOpenAny);
        SetProgramDirOverride("");
    }

    // Enter in the keywords presses OK instead of breaking the line.
    void enterInKeywordsPressesOk() {
        TCat categories = CategoryTable(1);
        TLinkForm form(nullptr, host_, categories, QStringLiteral("Add new link"));
        form.URLEdit()->setText(QStringLiteral("a.html"));
        QTest::keyClicks(form.KeysMemo(), QStringLiteral("one"));
        QTest::keyClick(form.KeysMemo(), Qt::Key_Return);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.Record().Keywords, (Keywords{"~", "one"}));
    }
};

}  // namespace qmp::ui

QTEST_MAIN(qmp::ui::LinkFormTest)
#include "link_frm_test.moc"
