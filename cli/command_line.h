#pragma once
// Splitting one command's arguments into options and positional arguments.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qmp::cli {

// One option a command accepts: "--name" alone, or "--name VALUE" / "--name=VALUE".
struct OptionRule {
    std::string_view name;  // without the leading "--"
    bool takesValue = false;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> options;  // a flag maps to ""
    bool help = false;                                        // --help or -h was given

    bool Has(std::string_view name) const { return options.find(name) != options.end(); }
    // The option's value, or `fallback` when it was not given.
    std::string Value(std::string_view name, std::string_view fallback = {}) const;
};

// Parses `args` (the words after the command's name). "--" ends the options.
// On a wrong command line gives nothing and sets `error` to a sentence saying what is wrong.
std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args,
                                    const std::vector<OptionRule>& rules, std::string& error);

}  // namespace qmp::cli
