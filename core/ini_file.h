#pragma once
// A plain INI text: "[Section]" headers and "key=value" lines. Section and
// key names match without regard to ASCII letter case; the first section and
// the first key of a name count. Lines it does not change are kept as they are.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qmp {

class IniText final {
public:
    explicit IniText(std::string_view text = {});

    // The value of `key` in `section`, without surrounding blanks; nothing
    // when the section or key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // Makes `section` begin with `values` in their order; any other lines of
    // the section follow them. A missing section is added at the end.
    void SetSection(std::string_view section,
                    const std::vector<std::pair<std::string, std::string>>& values);

    // The whole text, each line ending with a line feed.
    std::string Text() const;

private:
    std::vector<std::string> lines_;
};

// `text` as a whole integer (an optional sign and decimal digits, or
// hexadecimal digits after "$" or "0x"), within the 32-bit range; nothing
// otherwise.
std::optional<int> IniInteger(std::string_view text);

}  // namespace qmp
