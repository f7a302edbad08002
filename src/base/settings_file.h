// Where the program's settings file lives and how its section is named: shared by the settings
// store of the launcher and by the hotkeys that every process reads.
#pragma once
#include <string>
#include <string_view>

// The INI section and file shared by every key of the program.
inline constexpr std::wstring_view kSettingsSection = L"TnVexa";
inline constexpr std::wstring_view kSettingsFileName = L"Statistic.ini";

// Full path of a file in the folder of the executable at `exePath`; empty when the path has no
// backslash.
std::wstring ProgramFolderFileFor(std::wstring_view exePath, std::wstring_view name);
