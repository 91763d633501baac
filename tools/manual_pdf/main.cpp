// Makes manual.pdf from the user's manual in Markdown at build time:
//   qmp_manual_pdf MANUAL.md OUTPUT.pdf
// Pictures are found relative to the Markdown file. Needs no display.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>

#include "tools/manual_pdf/manual_layout.h"

namespace {

// The text of the first top-level heading: the manual's title.
QString TitleOf(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1) return block.text();
    }
    return {};
}

int Fail(const QString& message) {
    std::fprintf(stderr, "qmp_manual_pdf: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return Fail(QStringLiteral("usage: qmp_manual_pdf MANUAL.md OUTPUT.pdf"));

    QFile source(arguments[1]);
    if (!source.open(QIODevice::ReadOnly)) {
        return Fail(QStringLiteral("cannot read %1").arg(arguments[1]));
    }
    const QString markdown = QString::fromUtf8(source.readAll());
    const auto document = qmp::manual::LayOutManual(markdown, QFileInfo(source).absoluteDir());

    // Written whole or not at all: a build stopped half-way leaves the
    // previous manual in place.
    QSaveFile pdf(arguments[2]);
    if (!pdf.open(QIODevice::WriteOnly) ||
        !qmp::manual::PrintManual(*document, TitleOf(*document), pdf) || !pdf.commit()) {
        return Fail(QStringLiteral("cannot write %1").arg(arguments[2]));
    }
    return 0;
}
