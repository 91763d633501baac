// qmp extract: the link record a scan would make of one file.

#include <sys/stat.h>

#include "cli/commands.h"
#include "cli/link_output.h"
#include "indexing/extraction.h"
#include "indexing/rating_settings.h"
#include "system/full_path.h"
#include "system/os_path.h"
#include "system/paths.h"

namespace qmp::cli {

int ExtractCommand(Session& session, const ParsedArgs& args) {
    auto file = session.Path(args.positional[0]);
    if (!file) return kExitUsage;
    // The URL is the one a scan gives the file, however the paths were typed.
    file = RealFilePath(*file);
    std::optional<std::string> database = ExtractFilePath(*file) + "searchdb.js";
    if (args.Has("db")) database = session.Path(args.Value("db"));
    if (!database) return kExitUsage;
    database = RealFilePath(*database);

    struct stat info {};
    if (::stat(ToOsPath(*file).c_str(), &info) != 0) {
        session.host.Error("The file " + *file + " does not exist.");
        return kExitFileError;
    }
    if (S_ISDIR(info.st_mode)) {
        session.host.Error(*file + " is a folder, not a file.");
        return kExitFileError;
    }

    // The project's settings decide the encoding the record is shown from.
    LoadProjectSettings(*database);
    TBaseRecord record;
    ExtractFile(*file, *database, record);
    if (args.Has("json")) {
        session.console.out << LinkJson(record, false) << '\n';
    } else {
        WriteLinkText(session.console.out, record);
    }
    return kExitSuccess;
}

}  // namespace qmp::cli
