#include "tests/support/test_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

namespace qmp::test {

std::string TestDataDir() {
    return QMP_TEST_DATA_DIR;
}
std::string SourceDir() {
    return QMP_SOURCE_DIR;
}
std::string RuntimeDir() {
    return QMP_RUNTIME_DIR;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string ReadTestData(std::string_view name) {
    const std::filesystem::path path = TestDataDir() + std::string(name);
    if (!std::filesystem::is_regular_file(path)) {
        ADD_FAILURE() << "missing fixture " << path;
        return {};
    }
    return ReadFileBytes(path);
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qmptest-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary folder";
    // Its real path, as a scan takes a folder, also where the temporary
    // folder is reached through a symbolic link.
    std::error_code ec;
    path_ = std::filesystem::canonical(pattern, ec);
    if (ec) path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempFolder::Write(std::string_view name, std::string_view content) const {
    const std::filesystem::path file = path_ / std::string(name);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) ADD_FAILURE() << "cannot write " << file;
    return file.string();
}

}  // namespace qmp::test
