#include "system/shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "decoding/ansi_code_page.h"
#include "system/paths.h"
#include "tests/support/open_recorder.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

using test::OpenRecorder;
using test::ReadFileBytes;
using test::ScopedEnv;
using test::TempFolder;

constexpr std::int64_t kDay = 86400;

TEST(ProductQuery, CountsWholeDaysSinceInstallation) {
    const std::int64_t installed = 1'700'000'000;
    EXPECT_EQ(ProductQuery(installed, installed + 10 * kDay + kDay / 2),
              "?prd=qmplit&v=9.3.2&d=10&r=1");
    EXPECT_EQ(ProductQuery(installed, installed), "?prd=qmplit&v=9.3.2&d=0&r=1");
    EXPECT_EQ(ProductQuery(installed, installed + kDay - 1), "?prd=qmplit&v=9.3.2&d=0&r=1");
    EXPECT_EQ(ProductQuery(installed, installed + 365 * kDay), "?prd=qmplit&v=9.3.2&d=365&r=1");
    // A clock set back: the fraction is cut off toward zero, not rounded down.
    EXPECT_EQ(ProductQuery(installed, installed - kDay / 2), "?prd=qmplit&v=9.3.2&d=0&r=1");
}

TEST(OpenWithShell, StartsTheOpenCommandWithTheTargetAsItsOneArgument) {
    SetSystemCodePage(kCharsetWindows1252);
    OpenRecorder opener;
    // A path with blanks, quotes and a character outside ASCII (system ANSI text).
    EXPECT_TRUE(OpenWithShell("/site/My \"best\" caf\xe9 page.html"));
    EXPECT_EQ(opener.Wait(),
              (std::vector<std::string>{"1", "/site/My \"best\" caf\xc3\xa9 page.html"}));
}

TEST(OpenWithShell, AProgramThatCannotStartFailsQuietly) {
    ScopedEnv env("QMPLIT_OPEN_COMMAND", "/nonexistent/opener");
    EXPECT_FALSE(OpenWithShell("/tmp"));
}

TEST(OpenWithShell, ProgramDocumentsLieInTheProgramFolder) {
    OpenRecorder opener;
    SetProgramDirOverride("/opt/qmplit");
    OpenProgramDocument("manual.pdf");
    SetProgramDirOverride("");
    EXPECT_EQ(opener.Wait(), (std::vector<std::string>{"1", "/opt/qmplit/manual.pdf"}));
}

TEST(OpenWithShell, MakerPagesCarryTheProductQuery) {
    TempFolder folder;
    LoadInstallationDate(folder.dir(), true);  // installed now: 0 days
    OpenRecorder opener;
    OpenMakerPage("https://example.org/page");
    EXPECT_EQ(opener.Wait(), (std::vector<std::string>{
                                 "1", "https://example.org/page?prd=qmplit&v=9.3.2&d=0&r=1"}));
}

TEST(InstallationDate, IsRecordedOnceAndReadAfterwards) {
    TempFolder folder;
    const std::string settings = folder.dir() + "Corvan/Quarrymap/";
    const std::string file = settings + "qmplit_installed.txt";

    // Not recorded when asked not to (the "/uninstall" run writes nothing).
    LoadInstallationDate(settings, false);
    EXPECT_FALSE(std::filesystem::exists(settings));

    const std::int64_t first = LoadInstallationDate(settings, true);
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_NEAR(static_cast<double>(first), static_cast<double>(LocalSeconds(std::time(nullptr))),
                5.0);
    EXPECT_EQ(InstallationDate(), first);

    // An earlier date written there is what later runs read.
    folder.Write("Corvan/Quarrymap/qmplit_installed.txt", "2020-02-29 13:45:10\n");
    const std::int64_t recorded = LoadInstallationDate(settings, true);
    EXPECT_EQ(recorded, 1582983910);  // 2020-02-29 13:45:10 counted as UTC
    EXPECT_EQ(ProductQuery(recorded, recorded + 12 * kDay), "?prd=qmplit&v=9.3.2&d=12&r=1");
    EXPECT_EQ(ReadFileBytes(file), "2020-02-29 13:45:10\n");

    // A damaged record is replaced by the current moment.
    folder.Write("Corvan/Quarrymap/qmplit_installed.txt", "yesterday");
    const std::int64_t again = LoadInstallationDate(settings, true);
    EXPECT_GT(again, recorded);
    EXPECT_NE(ReadFileBytes(file), "yesterday");
}

}  // namespace
}  // namespace qmp
