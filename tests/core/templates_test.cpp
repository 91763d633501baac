// The templates that ship beside the program: each must be a complete engine
// whose empty database the program can open and save into.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/project_folder.h"
#include "tests/support/test_paths.h"

namespace qmp {
namespace {

namespace fs = std::filesystem;

std::string TemplatesSource() {
    return test::SourceDir() + "data/Templates/";
}

// The database text of one category "All Categories" and no links, line by line.
const char* const kEmptyDatabase =
    "//Settings\r\n"
    "//v2format\r\n"
    "//DatabaseBegin\r\n"
    "var cg=new Array(\r\n"
    "'All Categories'\r\n"
    ");\r\n"
    "var ln=new Array(\r\n"
    "''\r\n"
    ");\r\n"
    "var ds=new Array(\r\n"
    "''\r\n"
    ");\r\n"
    "var kw=new Array(\r\n"
    "'^^'\r\n"
    ");\r\n"
    "//DatabaseEnd";

TEST(Templates, AtLeastTwoShip) {
    EXPECT_GE(ListTemplates(TemplatesSource()).size(), 2u);
}

TEST(Templates, EachHoldsTheEngineFilesAndAnEmptyDatabase) {
    for (const std::string& name : ListTemplates(TemplatesSource())) {
        SCOPED_TRACE(name);
        const std::string dir = TemplatesSource() + name + "/";
        for (const char* file : {"qmp.html", "qmptp.js"}) {
            EXPECT_TRUE(fs::is_regular_file(dir + file)) << file;
        }
        const std::string db = test::ReadFileBytes(dir + "searchdb.js");
        // One settings marker, then the database, then the end marker and the tail.
        const std::size_t at = db.find(kEmptyDatabase);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(db.find("//Settings"), at);
        EXPECT_EQ(db.find("//DatabaseEnd"), at + std::string(kEmptyDatabase).size() - 13);
        // Every line ends with CR LF.
        for (std::size_t i = 0; i < db.size(); ++i) {
            if (db[i] == '\n') {
                EXPECT_TRUE(i > 0 && db[i - 1] == '\r') << "line feed at " << i;
            }
        }
        EXPECT_EQ(db.substr(db.size() - 2), "\r\n");
    }
}

TEST(Templates, BuiltTemplatesCarryTheSharedSearchScripts) {
    const std::string built = test::RuntimeDir() + "Templates/";
    const auto names = ListTemplates(TemplatesSource());
    ASSERT_EQ(ListTemplates(built), names);
    for (const auto& name : names) {
        for (const char* file : {"qmpsearch.js", "qmppage.js"}) {
            EXPECT_EQ(test::ReadFileBytes(built + name + "/" + file),
                      test::ReadFileBytes(test::SourceDir() + "data/EngineScripts/" + file))
                << name << "/" << file;
        }
    }
}

}  // namespace
}  // namespace qmp
