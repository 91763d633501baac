#pragma once
// Where tests find their fixtures and a scratch folder of their own.

#include <filesystem>
#include <string>
#include <string_view>

namespace qmp::test {

// tests/data/ of the source tree, ending with "/".
std::string TestDataDir();

// The whole content of tests/data/<name>; fails the running test when missing.
std::string ReadTestData(std::string_view name);

// The source tree's root, ending with "/".
std::string SourceDir();

// The folder of the built programs and their data, ending with "/".
std::string RuntimeDir();

// A fresh empty folder, removed with the object.
class TempFolder final {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as a text ending with "/".
    std::string dir() const { return path_.string() + "/"; }
    // Writes `content` to the file `name` below the folder (creating folders).
    std::string Write(std::string_view name, std::string_view content) const;

private:
    std::filesystem::path path_;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace qmp::test
