#pragma once
// The verbs that may follow the database on the window program's command
// line: what to run, and the scan's options for the scripted form.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qmp {

enum class BatchVerb {
    kNone,             // the database is only opened
    kUpdate,           // database, "update"
    kAddSite,          // database, "addsite": the add-folder dialog
    kScriptedAddSite,  // database, "addsite", folder, category, recurse, existing
};

struct BatchCommand {
    BatchVerb verb = BatchVerb::kNone;
    // The scripted form's options. `folder` is a full path ending with "/".
    std::string folder;
    std::int32_t category = 0;
    bool recurse = false;
    bool addExisting = false;
    // Why the scripted form cannot run (its category is not a number), as
    // system ANSI text; empty when it can.
    std::string error;
};

// The verb and options that `arguments` (without the program's name, the
// database first; system ANSI text) ask for. The verb is taken in any ASCII
// letter case; recurse and existing mean yes only when exactly "y". The
// folder is the path part of the folder argument, up to and including its
// last "/", so a path without a final "/" names its parent folder; a relative
// one is taken from `currentDir` (a full path), and one without any "/" names
// `currentDir` itself. The folder is then made real (RealFolder).
BatchCommand ParseBatchCommand(const std::vector<std::string>& arguments,
                               std::string_view currentDir);

}  // namespace qmp
