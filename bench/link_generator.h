#pragma once
// Links with realistic field sizes for the benchmarks: a caption of a few
// words, a percent-encoded relative URL, a description of a couple of
// sentences and ten keywords.

#include <random>
#include <string>
#include <vector>

#include "core/link_table.h"

namespace qmp::bench {

inline std::vector<TBaseRecord> MakeLinks(std::size_t count, unsigned seed = 7) {
    std::mt19937 rng(seed);
    const std::vector<std::string> words = {
        "quarry", "slate",  "ridge",   "walk",     "history", "society", "stone", "village",
        "Mill",   "Bridge", "chapel",  "railway",  "tramway", "incline", "cart",  "Workers",
        "map",    "survey", "valley",  "river",    "north",   "south",   "old",   "new",
        "guide",  "notes",  "caf\xe9", "M\xfchle", "record",  "archive", "photo", "letters"};
    auto word = [&] { return words[rng() % words.size()]; };
    std::vector<TBaseRecord> links(count);
    for (std::size_t i = 0; i < count; ++i) {
        TBaseRecord& r = links[i];
        r.Category = static_cast<std::int32_t>(rng() % 12);
        for (int w = 0; w < 5; ++w)
            r.Caption.append(w ? " " : "").append(word());
        r.URL = word() + "%2F" + word() + "%2F" + word() + "%20" + std::to_string(i) + ".html";
        for (int w = 0; w < 30; ++w)
            r.Description.append(w ? " " : "").append(word());
        r.Description += ".";
        for (int k = 0; k < 10; ++k)
            r.Keywords.push_back(word());
    }
    return links;
}

}  // namespace qmp::bench
