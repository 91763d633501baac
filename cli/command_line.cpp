#include "cli/command_line.h"

#include <algorithm>

namespace qmp::cli {

std::string ParsedArgs::Value(std::string_view name, std::string_view fallback) const {
    const auto it = options.find(name);
    return it != options.end() ? it->second : std::string(fallback);
}

std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args,
                                    const std::vector<OptionRule>& rules, std::string& error) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
        const auto option = std::find_if(rules.begin(), rules.end(),
                                         [&](const OptionRule& s) { return s.name == name; });
        if (option == rules.end()) {
            error = "unknown option '--" + name + "'";
            return std::nullopt;
        }
        if (!option->takesValue) {
            if (equals != std::string::npos) {
                error = "option '--" + name + "' takes no value";
                return std::nullopt;
            }
            parsed.options[name] = "";
        } else if (equals != std::string::npos) {
            parsed.options[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            parsed.options[name] = args[++i];
        } else {
            error = "option '--" + name + "' needs a value";
            return std::nullopt;
        }
    }
    return parsed;
}

}  // namespace qmp::cli
