#include "ui/add_update_site_frm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QVBoxLayout>

#include "core/host.h"
#include "decoding/display_text.h"
#include "indexing/link_update.h"
#include "system/paths.h"
#include "ui/icons.h"
#include "ui/main_form_ops.h"
#include "ui/make_child.h"
#include "ui/prompts.h"

namespace qmp::ui {
namespace {

constexpr int kLabelWidth = 380;

bool scanRunning = false;

// For as long as a scan runs. Pending events run once per file, and the
// scanning window is not modal: without this, a click on the main window or
// one of its shortcuts (a second scan, an open, a delete, a dropped folder,
// closing the window) would run in the middle of the scan and change the
// tables under it. The main window takes no input meanwhile; the scanning
// window and the messages of the scan take theirs as usual.
class ScanRun final : public QObject {
public:
    explicit ScanRun(QWidget* mainWindow) : mainWindow_(mainWindow) {
        scanRunning = true;
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~ScanRun() override {
        QCoreApplication::instance()->removeEventFilter(this);
        scanRunning = false;
    }
    Q_DISABLE_COPY_MOVE(ScanRun)

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        const bool inMainWindow = InMainWindow(receiver);
        switch (event->type()) {
            case QEvent::Shortcut:
                // Actions and shortcut objects are no widgets of the windows
                // a scan shows; a button's mnemonic there still works.
                return inMainWindow || !receiver->isWidgetType();
            case QEvent::Close:
                if (receiver != mainWindow_) return false;
                event->ignore();
                return true;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
                return inMainWindow;
            default:
                return false;
        }
    }

private:
    bool InMainWindow(QObject* receiver) const {
        const auto* widget = qobject_cast<QWidget*>(receiver);
        return mainWindow_ != nullptr && widget != nullptr && widget->window() == mainWindow_;
    }

    QWidget* mainWindow_;
};

// Clears the stop flag, shows the scanning window, runs `work` with it as
// the scan's host, sets the flag and closes the window; then tells what went
// wrong (the error `work` gives, the entries left out), redraws the view and
// marks the database changed, even when nothing was found.
template <typename Work>
void RunInScanningWindow(MainFormOps& window, ScanRedraw redraw, Work work) {
    if (scanRunning) return;
    std::string error;
    std::vector<std::string> skipped;
    {
        const ScanRun run(window.Window());
        StopRequested = false;
        TAddUpdateSiteForm form(window.Window());
        form.show();
        QCoreApplication::processEvents();
        error = work(form);
        StopRequested = true;
        skipped = form.Skipped();
        form.close();
    }
    if (!error.empty())
        ShowMessageBox(window.Window(), {"Error", error, MessageIcon::kError, MessageButtons::kOk});
    if (!skipped.empty()) ShowSkipped(window.Window(), skipped);
    window.RefreshView(redraw == ScanRedraw::kFull);
    window.FileChanged();
}

QIcon ScanningPicture(const QStyle* style) {
    const QIcon themed = ActionIcon(QStringLiteral("AddSite"));
    return themed.isNull() ? style->standardIcon(QStyle::SP_FileDialogContentsView) : themed;
}

}  // namespace

TAddUpdateSiteForm::TAddUpdateSiteForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      fileLabel_(MakeChild<QLabel>(this)),
      stopButton_(MakeChild<QPushButton>(tr("&Stop"), this)) {
    setObjectName(QStringLiteral("AddUpdateSiteForm"));
    setWindowTitle(tr("Scanning..."));
    setModal(false);

    auto* picture = MakeChild<QLabel>(this);
    picture->setPixmap(ScanningPicture(style()).pixmap(32, 32));

    fileLabel_->setObjectName(QStringLiteral("FileLabel"));
    fileLabel_->setTextFormat(Qt::PlainText);
    fileLabel_->setWordWrap(true);
    fileLabel_->setFixedSize(kLabelWidth, 2 * fileLabel_->fontMetrics().lineSpacing());

    stopButton_->setObjectName(QStringLiteral("StopButton"));
    stopButton_->setDefault(true);
    connect(stopButton_, &QPushButton::clicked, this, [] { StopRequested = true; });

    auto* row = MakeChild<QHBoxLayout>();
    row->addWidget(picture, 0, Qt::AlignTop);
    row->addWidget(fileLabel_);
    auto* layout = MakeChild<QVBoxLayout>(this);
    layout->addLayout(row);
    layout->addWidget(stopButton_, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    stopButton_->setFocus();
}

void TAddUpdateSiteForm::ShowProgress(std::string_view path, int linkCount) {
    // A long path is shortened in its middle, so that the count on the
    // second line stays in view.
    QStringList lines = QString::fromUtf8(AnsiDisplayText(ScanLabelText(path, linkCount)))
                            .split(QStringLiteral("\r\n"));
    const QFontMetrics metrics(fileLabel_->font());
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideMiddle, fileLabel_->width());
    fileLabel_->setText(lines.join(QLatin1Char('\n')));
    QCoreApplication::processEvents();
}

void TAddUpdateSiteForm::ReportPageNotFound(std::string_view decodedUrl) {
    // Owned by this window, so that it shows above it.
    ShowMessageBox(this, {"Warning", PageNotFoundText(decodedUrl), MessageIcon::kWarning,
                          MessageButtons::kOk});
}

void TAddUpdateSiteForm::WhileWaiting() {
    if (QThread::currentThread() == thread()) QCoreApplication::processEvents();
}

void TAddUpdateSiteForm::ReportSkipped(std::string_view text) {
    skipped_.emplace_back(text);
}

void ShowSkipped(QWidget* parent, const std::vector<std::string>& skipped) {
    const std::string count = std::to_string(skipped.size());
    QString details;
    for (const std::string& text : skipped)
        details += QString::fromUtf8(text) + QLatin1Char('\n');
    ShowMessageBox(parent,
                   {"Warning",
                    "The scan left out " + count +
                        (skipped.size() == 1 ? " file or folder" : " files or folders") +
                        " of the site. The details say which, and why.",
                    MessageIcon::kWarning, MessageButtons::kOk},
                   details);
}

void TAddUpdateSiteForm::reject() {
    StopRequested = true;
}

void TAddUpdateSiteForm::closeEvent(QCloseEvent* event) {
    if (!StopRequested) {
        StopRequested = true;
        event->ignore();
        return;
    }
    // Not QDialog's own: that would take the close for an Esc.
    event->accept();
}

void TAddUpdateSiteForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : this->screen();
    if (screen != nullptr) move(screen->availableGeometry().center() - rect().center());
    stopButton_->setFocus();
}

bool IsScanRunning() {
    return scanRunning;
}

void ScanFolderInWindow(MainFormOps& window, const std::string& ansiFolder, std::int32_t category,
                        bool recurse, bool addExisting, ScanRedraw redraw) {
    RunInScanningWindow(window, redraw, [&](ScanHost& host) {
        return ScanFolder(host, IncludeTrailingSeparator(ansiFolder), category, recurse,
                          addExisting);
    });
}

void RunUpdateBase(MainFormOps& window) {
    RunInScanningWindow(window, ScanRedraw::kQuick, [](ScanHost& host) {
        UpdateLinks(host);
        return std::string();
    });
}

}  // namespace qmp::ui
