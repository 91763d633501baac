#pragma once
// A project folder for extraction and scan tests: rating settings simple
// enough that every keyword list can be worked out by hand. Every weight is
// 0 except CountWeight (1), so a word's score is the number of times it
// occurs (text, keywords meta and file name together); ties keep the order of
// first appearance as the selection sort leaves it.

#include <string>
#include <string_view>

#include "core/program_values.h"
#include "core/start_up.h"
#include "indexing/folder_scan.h"
#include "indexing/project_settings.h"
#include "indexing/rating_settings.h"
#include "tests/support/test_paths.h"

namespace qmp::test {

inline std::string SetXml(std::string_view extraKeys = {}) {
    return "<settings>\n<KeysCount value=\"3\"/>\n<CountWeight value=\"100\"/>\n"
           "<DescOffset value=\"1\"/>\n<DescLength value=\"40\"/>\n" +
           std::string(extraKeys) + "</settings>\n";
}

// The program-wide values at their start-up values for the test, and again
// afterwards.
class ProgramState final {
public:
    ProgramState() { Reset(); }
    ~ProgramState() { Reset(); }
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

private:
    static void Reset() {
        InitDefaults();
        ResetProjectSettings();
        StopRequested = false;
    }
};

// A temporary project folder with its own rating files; DatabasePath points
// at its searchdb.js (which need not exist).
class Project final {
public:
    explicit Project(std::string_view extraSetKeys = {}) {
        folder_.Write("set.xml", SetXml(extraSetKeys));
        folder_.Write("tags.xml", "<tags></tags>\n");
        folder_.Write("words.xml", "<words></words>\n");
        DatabasePath = Database();
        LoadProjectSettings(DatabasePath);
    }
    std::string Dir() const { return folder_.dir(); }
    std::string Database() const { return folder_.dir() + "searchdb.js"; }
    std::string Write(std::string_view name, std::string_view content) const {
        return folder_.Write(name, content);
    }

private:
    ProgramState state_;
    TempFolder folder_;
};

// A scan host that records what it is shown.
class RecordingScanHost : public ScanHost {
public:
    void ShowProgress(std::string_view path, int linkCount) override {
        shown.push_back(ScanLabelText(path, linkCount));
    }
    void ReportPageNotFound(std::string_view decodedUrl) override {
        warnings.push_back(PageNotFoundText(decodedUrl));
    }
    void ReportSkipped(std::string_view text) override {
        skipped.emplace_back(text);
        shown.push_back("skipped: " + std::string(text));
    }
    std::vector<std::string> shown;  // the progress, and where entries were left out
    std::vector<std::string> warnings;
    std::vector<std::string> skipped;
};

// A host that presses Stop while the n-th file is shown.
class StoppingHost final : public RecordingScanHost {
public:
    explicit StoppingHost(std::size_t stopAt) : stopAt_(stopAt) {}
    void ShowProgress(std::string_view path, int linkCount) override {
        RecordingScanHost::ShowProgress(path, linkCount);
        if (shown.size() == stopAt_) StopRequested = true;
    }

private:
    std::size_t stopAt_;
};

}  // namespace qmp::test
