#include "core/batch_command.h"

#include "core/host.h"
#include "core/integer_text.h"
#include "system/full_path.h"
#include "system/paths.h"

namespace qmp {
namespace {

std::string AsciiLowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string FolderOfArgument(std::string_view argument, std::string_view currentDir) {
    std::string folder = ExtractFilePath(argument);
    if (folder.empty() || folder.front() != '/')
        folder = IncludeTrailingSeparator(currentDir) + folder;
    // Made real as every scanned folder is, so that the links' URLs do not
    // depend on how the folder was typed.
    return RealFolder(folder);
}

}  // namespace

BatchCommand ParseBatchCommand(const std::vector<std::string>& arguments,
                               std::string_view currentDir) {
    BatchCommand command;
    if (arguments.size() != 2 && arguments.size() != 6) return command;
    const std::string verb = AsciiLowerCase(arguments[1]);
    if (arguments.size() == 2) {
        if (verb == "update") command.verb = BatchVerb::kUpdate;
        if (verb == "addsite") command.verb = BatchVerb::kAddSite;
        return command;
    }
    if (verb != "addsite") return command;

    command.verb = BatchVerb::kScriptedAddSite;
    command.folder = FolderOfArgument(arguments[2], currentDir);
    if (const auto category = DecimalInteger(arguments[3])) {
        command.category = *category;
    } else {
        command.error = FormatMessage("'%s' is not a valid integer value", {arguments[3]});
    }
    command.recurse = arguments[4] == "y";
    command.addExisting = arguments[5] == "y";
    return command;
}

}  // namespace qmp
