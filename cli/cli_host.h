#pragma once
// What the core and the indexing ask of the program around them, answered on
// the command line: messages on standard error, questions answered from the
// command's options, progress as one line on a terminal.

#include <set>
#include <string>
#include <string_view>

#include "cli/progress.h"
#include "cli/qmp_app.h"
#include "core/host.h"
#include "core/project_folder.h"
#include "indexing/folder_scan.h"

namespace qmp::cli {

class CliHost final : public Host, public ScanHost, public TemplateCopyHost {
public:
    CliHost(Console& console, bool quiet);
    CliHost(const CliHost&) = delete;
    CliHost& operator=(const CliHost&) = delete;

    // The answer to every replace question (the --replace option).
    void SetReplaceAnswer(bool replace) { replace_ = replace; }
    // Answers No to the replace question `question` whatever the option says.
    void KeepAlways(std::string question) { keep_.insert(std::move(question)); }

    // Writes "<caption>: <text>" on standard error; `text` is system ANSI
    // text, shown as UTF-8.
    void Say(std::string_view caption, std::string_view ansiText);
    void Error(std::string_view ansiText) { Say("Error", ansiText); }
    void Warning(std::string_view ansiText) { Say("Warning", ansiText); }
    // Say for a text that is UTF-8 already.
    void SayUtf8(std::string_view caption, std::string_view utf8Text);
    // Errors shown so far (messages of the core included).
    int errorCount() const { return errors_; }
    // Removes the progress line.
    void EndProgress() { progress_.Clear(); }

    // Host
    MessageAnswer ShowMessage(const Message& message) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void ProcessMessages() override {}
    void RefreshView(bool) override {}
    void LoadRatingSettings(std::string_view databasePath) override;

    // ScanHost
    void ShowProgress(std::string_view path, int linkCount) override;
    void ReportPageNotFound(std::string_view decodedUrl) override;
    // A warning line of its own.
    void ReportSkipped(std::string_view text) override;

    // TemplateCopyHost
    bool AskReplace(const std::string& question) override;
    void ReportCopyError(const std::string& message) override;

private:
    Console& console_;
    ProgressLine progress_;
    bool replace_ = false;
    std::set<std::string, std::less<>> keep_;
    int errors_ = 0;
};

}  // namespace qmp::cli
