#pragma once
// An engine file of generated links in a scratch folder, for the benchmarks
// that open one.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/link_generator.h"
#include "core/database_file.h"

namespace qmp::bench {

// A scratch folder holding an engine file with `count` links.
class EngineFile final {
public:
    explicit EngineFile(std::size_t count) {
        std::string pattern = (std::filesystem::temp_directory_path() / "qmpbench-XXXXXX").string();
        folder_ = mkdtemp(pattern.data()) ? pattern : std::string();
        path_ = folder_ + "/searchdb.js";
        TCat categories;
        for (int c = 0; c < 12; ++c)
            categories.Add("Category " + std::to_string(c));
        TBase links;
        for (TBaseRecord& r : MakeLinks(count))
            links.Add(std::move(r));
        StringSink text;
        text.text = "// engine settings\r\nvar perPage=10;\r\n//Settings\r\n";
        WriteCategories(categories, text);
        WriteLinks(links, text);
        text.text += "//DatabaseEnd\r\nfunction search(){}\r\n";
        size_ = text.text.size();
        std::ofstream(path_, std::ios::binary) << text.text;
    }
    ~EngineFile() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    EngineFile(const EngineFile&) = delete;
    EngineFile& operator=(const EngineFile&) = delete;

    const std::string& path() const { return path_; }
    std::size_t size() const { return size_; }

private:
    std::string folder_;
    std::string path_;
    std::size_t size_ = 0;
};

}  // namespace qmp::bench
