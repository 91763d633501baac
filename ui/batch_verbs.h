#pragma once
// The verbs that may follow the database on the window program's command
// line: an update, or an added folder, then a save.

#include <string>
#include <vector>

namespace qmp::ui {

class MainFormOps;

// Runs the verb that `arguments` (without the program's name; the database,
// already opened by the window, first) ask for, then saves. The window stays
// open whatever happens, a failed save included (the save reports it and the
// database stays marked changed). False only when the arguments cannot run
// (a category that is not a number, which is reported): the window then
// skips the rest of its set-up.
bool RunBatchVerbs(MainFormOps& window, const std::vector<std::string>& arguments);

}  // namespace qmp::ui
