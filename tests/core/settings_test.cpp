#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/ini_file.h"
#include "core/program_values.h"
#include "core/settings_file.h"
#include "core/start_up.h"
#include "decoding/database_text.h"
#include "system/paths.h"
#include "tests/support/faulty_file_ops.h"
#include "tests/support/open_recorder.h"
#include "tests/support/recording_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::FaultyFileOps;
using test::OpenRecorder;
using test::ReadFileBytes;
using test::RecordingHost;
using test::ScopedEnv;
using test::TempFolder;

struct Geometry {
    int left, top, width, height;
    bool maximized;
    bool operator==(const Geometry&) const = default;
};

Geometry CurrentGeometry() {
    return {WindowLeft, WindowTop, WindowWidth, WindowHeight, WindowMaximized};
}

void SetGeometry(const Geometry& g) {
    WindowLeft = g.left;
    WindowTop = g.top;
    WindowWidth = g.width;
    WindowHeight = g.height;
    WindowMaximized = g.maximized;
}

const Geometry kDefaults{10, 10, 640, 400, false};

TEST(IniText, FindsValuesLikeThePrivateProfileService) {
    const IniText ini(
        "; comment\r\n[Other]\r\nDX=1\r\n[settings]\r\n  dx = 800 \r\n; X0=5\r\nDX=900\r\n"
        "[Settings]\r\nY0=7\r\n");
    EXPECT_EQ(ini.Value("Settings", "DX"),
              "800");  // names in any letter case; the first key counts
    EXPECT_EQ(ini.Value("Settings", "X0"), std::nullopt);  // commented out
    EXPECT_EQ(ini.Value("Settings", "Y0"),
              std::nullopt);  // only the first section of a name counts
    EXPECT_EQ(ini.Value("Other", "DX"), "1");
    EXPECT_EQ(ini.Value("Missing", "DX"), std::nullopt);
}

TEST(IniText, ReadsIntegersWhole) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"800", 800},       {" -5 ", -5},
        {"+3", 3},          {"$1F", 31},
        {"0x10", 16},       {"", {}},
        {"12px", {}},       {"1.5", {}},
        {"2147483648", {}}, {"-2147483648", -2147483647 - 1},
        {"--1", {}},        {"$", {}},
        {"x10", {}},        {"99999999999999999999", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniInteger(c.text), c.value) << c.text;
}

TEST(IniText, SetSectionPutsTheKeysFirstInOrderAndKeepsTheRest) {
    IniText ini("[Recent]\nfile=a.js\n\n[Settings]\nDY=1\nTheme=dark\nx0=2\n[Later]\nk=v\n");
    ini.SetSection("Settings",
                   {{"X0", "10"}, {"Y0", "20"}, {"DX", "30"}, {"DY", "40"}, {"Maximize", "0"}});
    EXPECT_EQ(
        ini.Text(),
        "[Recent]\nfile=a.js\n\n[Settings]\nX0=10\nY0=20\nDX=30\nDY=40\nMaximize=0\nTheme=dark\n"
        "[Later]\nk=v\n");

    IniText fresh;
    fresh.SetSection("Settings", {{"X0", "1"}});
    EXPECT_EQ(fresh.Text(), "[Settings]\nX0=1\n");
    IniText other("[Other]\nk=v");
    other.SetSection("Settings", {{"X0", "1"}});
    EXPECT_EQ(other.Text(), "[Other]\nk=v\n\n[Settings]\nX0=1\n");
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetGeometry(kDefaults); }
    void TearDown() override {
        SetGeometry(kDefaults);
        SetProgramDirOverride("");
    }
    TempFolder folder_;
    RecordingHost host_;
};

TEST_F(SettingsTest, LoadTakesEachKeyOrItsDefault) {
    const struct {
        const char* file;
        Geometry expected;
    } cases[] = {
        {"[Settings]\r\nDX=800\r\n", {10, 10, 800, 400, false}},
        {"[Settings]\nX0=-20\nY0=30\nDX=1024\nDY=768\nMaximize=1\n", {-20, 30, 1024, 768, true}},
        {"[Settings]\nMaximize=2\nDY=wide\nX0=\n", {10, 10, 640, 400, true}},
        {"[Settings]\nMaximize=yes\n", {10, 10, 640, 400, false}},
        {"", kDefaults},
    };
    for (const auto& c : cases) {
        SetGeometry({1, 2, 3, 4, true});
        EXPECT_TRUE(LoadSettings(folder_.Write("qmplit_us.ini", c.file))) << c.file;
        EXPECT_EQ(CurrentGeometry(), c.expected) << c.file;
    }
    SetGeometry({1, 2, 3, 4, true});
    EXPECT_FALSE(LoadSettings(folder_.dir() + "none.ini"));
    EXPECT_EQ(CurrentGeometry(), (Geometry{1, 2, 3, 4, true}));  // left alone
}

TEST_F(SettingsTest, SaveWritesTheKeysInOrderAndCreatesTheFolders) {
    const std::string path = folder_.dir() + "Corvan/Quarrymap/qmplit_us.ini";
    SetGeometry({100, 50, 800, 600, true});
    EXPECT_TRUE(SaveSettings(host_, path));
    EXPECT_EQ(ReadFileBytes(path), "[Settings]\nX0=100\nY0=50\nDX=800\nDY=600\nMaximize=1\n");
    SetGeometry(kDefaults);
    EXPECT_TRUE(LoadSettings(path));
    EXPECT_EQ(CurrentGeometry(), (Geometry{100, 50, 800, 600, true}));
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(SettingsTest, AFailedSaveIsReportedAndChangesNothing) {
    const std::string path = folder_.Write("qmplit_us.ini", "[Settings]\nDX=800\n");
    FaultyFileOps ops;
    ops.failRenames = {1};
    EXPECT_FALSE(SaveSettings(host_, path, ops));
    EXPECT_EQ(ReadFileBytes(path), "[Settings]\nDX=800\n");
    EXPECT_EQ(host_.Texts(), std::vector<std::string>{"Unable to write to " + path});
    EXPECT_EQ(host_.messages[0].caption, "Error");

    // A folder that cannot be made (a file stands in its way).
    folder_.Write("blocked", "");
    const std::string blocked = folder_.dir() + "blocked/qmplit_us.ini";
    EXPECT_FALSE(SaveSettings(host_, blocked));
    EXPECT_EQ(host_.Texts().back(), "Unable to write to " + blocked);
}

TEST_F(SettingsTest, StartUpReadsTheSettingsBesideAPortableProgram) {
    SetProgramDirOverride(folder_.dir());
    folder_.Write("qmplit_us.ini", "[Settings]\r\nDX=800\r\n");
    SetGeometry({1, 2, 3, 4, true});
    UTF8Mode = true;
    Links.Add(TBaseRecord());
    DatabasePath = "elsewhere";
    IsSaved = false;

    EXPECT_TRUE(StartUp({}));
    EXPECT_EQ(CurrentGeometry(), (Geometry{10, 10, 800, 400, false}));
    EXPECT_FALSE(UTF8Mode);
    EXPECT_EQ(Links.Count(), 0);
    EXPECT_EQ(DatabasePath, DocumentsDir() + "searchdb.js");
    EXPECT_TRUE(IsSaved);
    EXPECT_EQ(IndexDepthLimit, 100000);
    EXPECT_EQ(AppTitle, "Corvan Quarrymap Lite");
    EXPECT_EQ(ExtensionList,
              "html, htm, shtml, phtml, php, php3, php4, php5, asp, jsp, txt, mp3, ogg, m3u");
    EXPECT_TRUE(std::filesystem::exists(folder_.dir() + "qmplit_installed.txt"));
}

TEST_F(SettingsTest, UninstallOpensTheFeedbackPageAndWritesNothing) {
    SetProgramDirOverride(folder_.dir());
    const std::string before = "[Settings]\nX0=300\n";
    const std::string ini = folder_.Write("qmplit_us.ini", before);
    OpenRecorder opener;

    EXPECT_FALSE(StartUp({"/uninstall", "more", "args"}));
    const std::vector<std::string> opened = opener.Wait();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].rfind("https://", 0), 0u);
    EXPECT_NE(opened[1].find("?prd=qmplit&v=9.3.2&d="), std::string::npos);
    EXPECT_EQ(ReadFileBytes(ini), before);
    // Nothing else appeared beside the program either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SettingsTest, CapitalUninstallIsADatabasePath) {
    SetProgramDirOverride(folder_.dir());
    OpenRecorder opener;
    EXPECT_TRUE(StartUp({"/UNINSTALL"}));
    EXPECT_FALSE(opener.Started());
}

TEST_F(SettingsTest, ShutDownOfAnInstalledProgramWritesUnderTheConfigHome) {
    SetProgramDirOverride(ProgramFilesDir() + "lib/qmplit/");
    ScopedEnv config("XDG_CONFIG_HOME", folder_.path().c_str());
    EXPECT_TRUE(StartUp({}));
    Links.Add(TBaseRecord());
    Categories.Add("c");
    SetGeometry({5, 6, 700, 500, false});
    ShutDown(host_);
    EXPECT_EQ(ReadFileBytes(folder_.dir() + "Corvan/Quarrymap/qmplit_us.ini"),
              "[Settings]\nX0=5\nY0=6\nDX=700\nDY=500\nMaximize=0\n");
    EXPECT_EQ(Links.Count(), 0);
    EXPECT_EQ(Categories.Count(), 0);
}

TEST(SplitCommandLine, FollowsTheBlankAndQuoteRules) {
    const struct {
        const char* line;
        std::vector<std::string> arguments;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"/uninstall", {"/uninstall"}},
        {"db.js update", {"db.js", "update"}},
        {"\"/my site/search db.js\" addsite", {"/my site/search db.js", "addsite"}},
        {"a\"b c\"d e", {"ab cd", "e"}},  // quotes anywhere in an argument
        {"\"\" x", {"x"}},                // empty quotes make no argument
        {"\"unclosed quote", {"unclosed quote"}},
        {"a\x01"
         "b\x1f"
         "c",
         {"a", "b", "c"}},  // every byte up to the blank separates
        {"caf\xe9 \xff", {"caf\xe9", "\xff"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
}

TEST(ArgumentsFromArgv, LeavesOutTheProgramAndConvertsToAnsi) {
    const char* argv[] = {"qmplit", "/site/caf\xc3\xa9.js", "update"};
    EXPECT_EQ(ArgumentsFromArgv(3, argv), (std::vector<std::string>{"/site/caf\xe9.js", "update"}));
}

}  // namespace
}  // namespace qmp
