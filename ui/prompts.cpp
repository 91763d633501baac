#include "ui/prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "decoding/display_text.h"

namespace qmp::ui {
namespace {

// A file or folder answered in advance: a path, or the dialog cancelled.
// Queued as a plain pair, since GCC takes a std::optional<QString> moved out
// of a queue for one read before it is set.
struct PathAnswer {
    QString path;
    bool chosen = false;
};

struct Answers {
    bool enabled = false;
    std::deque<MessageAnswer> messages;
    std::deque<PathAnswer> files;
    std::deque<PathAnswer> folders;
    std::vector<Message> askedMessages;
    std::vector<QString> askedDetails;
    std::vector<FileChoice> askedFiles;
    std::vector<QString> askedFolders;
    int unanswered = 0;
};

Answers& TheAnswers() {
    static Answers answers;
    return answers;
}

MessageAnswer TakeMessageAnswer(MessageAnswer fallback) {
    std::deque<MessageAnswer>& queue = TheAnswers().messages;
    if (queue.empty()) {
        ++TheAnswers().unanswered;
        return fallback;
    }
    const MessageAnswer front = queue.front();
    queue.pop_front();
    return front;
}

// The next path of `queue`; nothing when the dialog is cancelled or no
// answer waits.
std::optional<QString> TakePath(std::deque<PathAnswer>& queue) {
    if (queue.empty()) {
        ++TheAnswers().unanswered;
        return std::nullopt;
    }
    const PathAnswer front = queue.front();
    queue.pop_front();
    if (!front.chosen) return std::nullopt;
    return front.path;
}

PathAnswer PathAnswerOf(std::optional<QString> path) {
    return path ? PathAnswer{std::move(*path), true} : PathAnswer{};
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kError:
            return QMessageBox::Critical;
        case MessageIcon::kWarning:
            return QMessageBox::Warning;
        case MessageIcon::kQuestion:
            return QMessageBox::Question;
        case MessageIcon::kInformation:
            break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::kYesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::kYesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::kOk:
            break;
    }
    return QMessageBox::Ok;
}

MessageAnswer AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return MessageAnswer::kYes;
        case QMessageBox::No:
            return MessageAnswer::kNo;
        case QMessageBox::Cancel:
            return MessageAnswer::kCancel;
        default:
            return MessageAnswer::kOk;
    }
}

QString WithTrailingSeparator(QString folder) {
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

QString QtFileFilter(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description already names the patterns; "*.*" means every file
        // here, also one without a dot.
        QString description = parts[i];
        description.replace(QLatin1String("*.*"), QLatin1String("*"));
        filters << description;
    }
    return filters.join(QLatin1String(";;"));
}

MessageAnswer ShowMessageBox(QWidget* parent, const Message& message, const QString& details) {
    if (PromptAnswers::IsEnabled()) return PromptAnswers::TakeMessage(message, details);
    QMessageBox box(BoxIcon(message.icon), QString::fromUtf8(AnsiDisplayText(message.caption)),
                    QString::fromUtf8(AnsiDisplayText(message.text)), BoxButtons(message.buttons),
                    parent);
    // File names may hold "<": never read a message as markup.
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) box.setDetailedText(details);
    if (message.buttons == MessageButtons::kOk) box.setEscapeButton(QMessageBox::Ok);
    return AnswerOf(box.exec());
}

std::optional<QString> ChooseFile(QWidget* parent, const FileChoice& choice) {
    if (PromptAnswers::IsEnabled()) return PromptAnswers::TakeFile(choice);
    QFileDialog dialog(parent, choice.title, choice.initialPath, QtFileFilter(choice.filter));
    dialog.setOption(QFileDialog::ReadOnly, false);
    switch (choice.kind) {
        case FileChoice::Kind::kOpenExisting:
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
            break;
        case FileChoice::Kind::kOpenAny:
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::AnyFile);
            break;
        case FileChoice::Kind::kSave:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setOption(QFileDialog::DontConfirmOverwrite, !choice.confirmOverwrite);
            break;
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                    const QString& initialFolder) {
    if (PromptAnswers::IsEnabled()) return PromptAnswers::TakeFolder(title);
    // The dialog wants the folder without its final separator; "/" stays.
    QString start = initialFolder;
    if (start.size() > 1 && start.endsWith(QLatin1Char('/'))) start.chop(1);
    const QString chosen = QFileDialog::getExistingDirectory(parent, title, start);
    if (chosen.isEmpty()) return std::nullopt;
    return WithTrailingSeparator(chosen);
}

void PromptAnswers::Enable() {
    TheAnswers() = Answers{};
    TheAnswers().enabled = true;
}

void PromptAnswers::Disable() {
    TheAnswers() = Answers{};
}

bool PromptAnswers::IsEnabled() {
    return TheAnswers().enabled;
}

void PromptAnswers::AnswerNextMessage(MessageAnswer answer) {
    TheAnswers().messages.push_back(answer);
}

void PromptAnswers::AnswerNextFile(std::optional<QString> path) {
    TheAnswers().files.push_back(PathAnswerOf(std::move(path)));
}

void PromptAnswers::AnswerNextFolder(std::optional<QString> folder) {
    TheAnswers().folders.push_back(PathAnswerOf(std::move(folder)));
}

const std::vector<Message>& PromptAnswers::Messages() {
    return TheAnswers().askedMessages;
}

const std::vector<QString>& PromptAnswers::MessageDetails() {
    return TheAnswers().askedDetails;
}

const std::vector<FileChoice>& PromptAnswers::FileChoices() {
    return TheAnswers().askedFiles;
}

const std::vector<QString>& PromptAnswers::FolderTitles() {
    return TheAnswers().askedFolders;
}

int PromptAnswers::Unanswered() {
    return TheAnswers().unanswered;
}

int PromptAnswers::Unused() {
    const Answers& a = TheAnswers();
    return static_cast<int>(a.messages.size() + a.files.size() + a.folders.size());
}

MessageAnswer PromptAnswers::TakeMessage(const Message& message, const QString& details) {
    TheAnswers().askedMessages.push_back(message);
    TheAnswers().askedDetails.push_back(details);
    // A box with only OK needs no answer given in advance.
    if (message.buttons == MessageButtons::kOk) return MessageAnswer::kOk;
    return TakeMessageAnswer(CarefulAnswer(message.buttons));
}

std::optional<QString> PromptAnswers::TakeFile(const FileChoice& choice) {
    TheAnswers().askedFiles.push_back(choice);
    return TakePath(TheAnswers().files);
}

std::optional<QString> PromptAnswers::TakeFolder(const QString& title) {
    TheAnswers().askedFolders.push_back(title);
    std::optional<QString> folder = TakePath(TheAnswers().folders);
    if (folder) *folder = WithTrailingSeparator(*folder);
    return folder;
}

}  // namespace qmp::ui
