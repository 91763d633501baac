// Arbitrary bytes read as a database file (categories and links), written
// back and read again: no crash, no read outside the buffer, and what was
// written reads back whole as the same tables.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/database_file.h"
#include "core/file_buffer.h"
#include "core/host.h"

namespace {

struct Tables {
    qmp::TCat categories;
    qmp::TBase links;
};

Tables Read(std::string_view bytes, bool& whole) {
    qmp::NullHost host;
    Tables tables;
    qmp::FileBuffer buffer = qmp::FileBufferFromBytes(bytes);
    const bool categoriesWhole = !qmp::ReadCategories(buffer, tables.categories);
    whole = !qmp::ReadLinks(buffer, tables.links, host) && categoriesWhole;
    return tables;
}

// Text the program wrote: it must read whole.
Tables ReadWritten(std::string_view bytes) {
    bool whole = false;
    Tables tables = Read(bytes, whole);
    if (!whole) std::abort();
    return tables;
}

std::string Write(const Tables& tables) {
    qmp::StringSink sink;
    if (!qmp::WriteCategories(tables.categories, sink) || !qmp::WriteLinks(tables.links, sink))
        std::abort();
    return sink.text;
}

// A caret inside a keyword (possible in the older "+" format) separates
// keywords once written in the current format.
bool HoldsCarets(const qmp::TBase& links) {
    for (const qmp::TBaseRecord& r : links.Records()) {
        for (const std::string& k : r.Keywords)
            if (k.find('^') != std::string::npos) return true;
    }
    return false;
}

bool Same(const Tables& a, const Tables& b) {
    return a.categories.Names() == b.categories.Names() && a.links.Records() == b.links.Records();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bool whole = false;
    const Tables first = Read(std::string_view(reinterpret_cast<const char*>(data), size), whole);
    const std::string written = Write(first);
    const Tables second = ReadWritten(written);
    if (!HoldsCarets(first.links) && !Same(first, second)) std::abort();
    // Once in the current format, a further round changes nothing.
    if (!Same(second, ReadWritten(Write(second)))) std::abort();
    return 0;
}
