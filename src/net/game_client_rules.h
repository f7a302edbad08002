// Rules of a game client that need no window: its name from an "entergame" game name and the
// path of the installed client program.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace net {

// The client program's name from an "entergame" game name: every "/" removed, then only a game
// name (net::IsGameName: the name becomes part of a path that is executed), and a lower-case
// first letter made upper case ("dragonx" -> "Dragonx"). Nothing when the rest is no game name:
// the command is then abandoned.
std::optional<std::wstring> GameClientName(std::wstring_view gameName);

// commonAppData + "\Vexa\GameLogin\" + name + ".exe"; nothing when longer than 259 characters.
std::optional<std::wstring> GameClientPath(std::wstring_view commonAppData, std::wstring_view clientName);

} // namespace net
