#include "core/program_values.h"

namespace qmp {

std::string DefaultDatabaseName = "searchdb.js";
std::string DatabasePath;
std::string AppTitle = "Corvan Quarrymap Lite";
bool IsSaved = true;
std::string ExtensionList =
    "html, htm, shtml, phtml, php, php3, php4, php5, asp, jsp, txt, mp3, ogg, m3u";

TCat Categories;
TBase Links;

std::int32_t IndexDepthLimit = 100000;
bool ProgrammingLanguageMode = false;
bool FileNameCaptionMode = false;

int WindowLeft = 10;
int WindowTop = 10;
int WindowWidth = 640;
int WindowHeight = 400;
bool WindowMaximized = false;

}  // namespace qmp
