#include "core/settings_file.h"

#include "core/ini_file.h"
#include "core/program_values.h"
#include "system/folders.h"
#include "system/paths.h"

namespace qmp {
namespace {

constexpr std::string_view kSection = "Settings";

int ReadInteger(const IniText& ini, std::string_view key, int fallback) {
    const std::optional<std::string> text = ini.Value(kSection, key);
    if (!text) return fallback;
    return IniInteger(*text).value_or(fallback);
}

}  // namespace

std::string SettingsFilePath() {
    return UserSettingsDir(kSettingsSubDir) + std::string(kSettingsFileName);
}

bool LoadSettings(const std::string& path) {
    std::string content;
    if (!ReadFileContent(path, content)) return false;
    const IniText ini(content);
    WindowLeft = ReadInteger(ini, "X0", 10);
    WindowTop = ReadInteger(ini, "Y0", 10);
    WindowWidth = ReadInteger(ini, "DX", 640);
    WindowHeight = ReadInteger(ini, "DY", 400);
    WindowMaximized = ReadInteger(ini, "Maximize", 0) != 0;
    return true;
}

bool LoadSettings() {
    return LoadSettings(SettingsFilePath());
}

std::optional<int> SettingsInteger(const std::string& path, std::string_view key) {
    std::string content;
    if (!ReadFileContent(path, content)) return std::nullopt;
    const std::optional<std::string> text = IniText(content).Value(kSection, key);
    return text ? IniInteger(*text) : std::nullopt;
}

bool SaveSettings(Host& host, const std::string& path, FileOps& ops) {
    // Whatever else the file holds is kept, so a file that exists but cannot
    // be read is not overwritten.
    std::string content;
    const bool exists = ops.Exists(path);
    bool ok = exists ? ReadFileContent(path, content) : ForceFolders(ExtractFilePath(path));
    if (ok) {
        IniText ini(content);
        ini.SetSection(kSection, {{"X0", std::to_string(WindowLeft)},
                                  {"Y0", std::to_string(WindowTop)},
                                  {"DX", std::to_string(WindowWidth)},
                                  {"DY", std::to_string(WindowHeight)},
                                  {"Maximize", WindowMaximized ? "1" : "0"}});
        ok = ReplaceFileContent(ops, path, ini.Text());
    }
    if (!ok) {
        ShowError(host, FormatMessage(kUnableToWriteMessage, {path}));
    }
    return ok;
}

bool SaveSettings(Host& host) {
    return SaveSettings(host, SettingsFilePath());
}

}  // namespace qmp
