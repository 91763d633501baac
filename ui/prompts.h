#pragma once
// Every modal question and every file or folder choice of the windows goes
// through here, so that a test can answer it in advance instead of a person.

#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "core/host.h"

class QWidget;

namespace qmp::ui {

// A file choice: what the dialog shows and what it insists on.
struct FileChoice {
    enum class Kind {
        kOpenExisting,  // the file must exist
        kOpenAny,       // the folder must exist, the file need not
        kSave,
    };
    Kind kind = Kind::kOpenExisting;
    QString title;
    // Pairs of description and pattern list, "|"-separated:
    // "Engine File (*db.js)|*db.js|Any other type File (*.*)|*.*".
    QString filter;
    QString initialPath;           // a file or a folder; empty: the current folder
    bool confirmOverwrite = true;  // kSave only
};

// The filter of a FileChoice in the form Qt's file dialogs take:
// "Engine File (*db.js);;Any other type File (*)".
QString QtFileFilter(const QString& pairs);

// Shows `message` (its texts are system ANSI text) in a modal box owned by
// `parent`, with the message's caption, icon and buttons, and `details`
// (when given) behind the box's details button; gives the answer.
MessageAnswer ShowMessageBox(QWidget* parent, const Message& message, const QString& details = {});

// A file chosen in a modal file dialog; nothing when cancelled.
std::optional<QString> ChooseFile(QWidget* parent, const FileChoice& choice);

// A folder chosen in a modal folder dialog titled `title`, starting at
// `initialFolder`; the result ends with "/". Nothing when cancelled.
std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                    const QString& initialFolder);

// Answers given in advance, for tests. While answering is on, no dialog is
// ever shown: each prompt takes the next answer of its kind, and a prompt
// with no answer left takes the careful one (No, Cancel, no file) and is
// counted as unanswered.
class PromptAnswers final {
public:
    static void Enable();   // answering on, queues and records empty
    static void Disable();  // dialogs shown again
    static bool IsEnabled();

    static void AnswerNextMessage(MessageAnswer answer);
    // nullopt: the dialog is cancelled.
    static void AnswerNextFile(std::optional<QString> path);
    static void AnswerNextFolder(std::optional<QString> folder);

    // What was asked while answering was on, in order.
    static const std::vector<Message>& Messages();
    // The details of each of Messages() (empty for a message without).
    static const std::vector<QString>& MessageDetails();
    static const std::vector<FileChoice>& FileChoices();
    static const std::vector<QString>& FolderTitles();
    // Prompts that found no answer waiting, and answers never taken.
    static int Unanswered();
    static int Unused();

    // Used by the prompts above.
    static MessageAnswer TakeMessage(const Message& message, const QString& details = {});
    static std::optional<QString> TakeFile(const FileChoice& choice);
    static std::optional<QString> TakeFolder(const QString& title);
};

}  // namespace qmp::ui
