// Which role a start of the executable plays, decided from its command line and location.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/product.h"

namespace app {

enum class StartMode : int {
    Install = 0,
    Channel = 1,
    Shortcut = 2,
    Installed = 3,
    Uninstall = 4,
    Update = 5,
    NewGamePage = 6,
    GameHall = 7,
};

// The start mode with the operands of the two page-process modes.
struct StartRequest {
    StartMode mode = StartMode::Install;
    intptr_t parentWnd = 0;      // "/newgm" and "/gmhall": the main window's handle
    int32_t parentPageCount = 0; // "/newgm": the main window's tab count when it started us
};

// The options that the program's own shortcuts carry (the launch and the uninstall shortcut).
inline constexpr std::wstring_view kShortcutOption = L"/TnVexaD";
inline constexpr std::wstring_view kUninstallOption = L"/uninst";

// The folder the program installs itself into, below the common application-data folder.
using base::kInstallSubfolder;

// Reads the start request. `args` is the wide argument vector including the program name
// (argv[0]); `exePath` the full path of the running executable; `commonAppData` the
// machine-wide application-data folder (without a trailing backslash).
StartRequest ParseStartRequest(const std::vector<std::wstring>& args, std::wstring_view exePath,
                               std::wstring_view commonAppData);

// True when the executable lies inside the install folder or a subfolder of it: whole path
// components compared, ASCII letters in either case ("…\GameLogin2" is not inside "…\GameLogin").
bool IsInsideInstallFolder(std::wstring_view exePath, std::wstring_view commonAppData);

// Reads one page-process operand: its first character is skipped whatever it is, the rest is
// read as a decimal number; the operand is first cut to `maxChars`. A missing operand reads 0.
int64_t ParseOperand(const std::wstring* operand, size_t maxChars);

} // namespace app
