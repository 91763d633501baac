#pragma once
// What the window tests share: an engine file in a scratch folder, links
// named by letters, and a modal dialog answered as soon as it shows.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "core/database_file.h"
#include "core/program_values.h"
#include "tests/support/test_paths.h"

namespace qmp::test {

// An engine file holding `categories` and `links`, as the save writes it.
inline std::string WriteEngine(const TempFolder& folder, const std::vector<std::string>& categories,
                               const std::vector<TBaseRecord>& links,
                               const std::string& name = "searchdb.js") {
    TCat cat;
    for (const std::string& c : categories)
        cat.Add(c);
    TBase base;
    for (const TBaseRecord& l : links)
        base.Append(l);
    StringSink sink;
    WriteCategories(cat, sink);
    WriteLinks(base, sink);
    return folder.Write(
        name, "var head=1;\r\n//Settings\r\n" + sink.text + "//DatabaseEnd\r\nvar tail=1;\r\n");
}

// One link per letter of `captions`, captioned with it, in category `category`.
inline std::vector<TBaseRecord> LetterLinks(std::string_view captions, std::int32_t category = 0) {
    std::vector<TBaseRecord> links;
    for (const char c : captions) {
        TBaseRecord link;
        link.Category = category;
        link.Caption = std::string(1, c);
        link.URL = std::string(1, c) + ".html";
        links.push_back(link);
    }
    return links;
}

// The captions of the links table, in order.
inline std::string Captions() {
    std::string captions;
    for (const TBaseRecord& link : Links.Records())
        captions += link.Caption;
    return captions;
}

// Runs `answer` on the modal dialog of type Dialog that the next command
// opens, once it shows, and cancels the dialog if `answer` leaves it open. A
// dialog of another kind is closed and fails the test, so no test hangs.
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (dialog == nullptr) {
            modal->close();
            QTest::qFail("a dialog of another kind is shown", __FILE__, __LINE__);
            return;
        }
        answer(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

}  // namespace qmp::test
