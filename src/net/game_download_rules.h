// Rules of a game client's download that need no window: the addresses and files made from the
// game's name, and the text of the percentage label.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

// A game's name as addresses and files are made from it: ASCII letters, digits, "_" and "-",
// at least one, and no device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, any case).
bool IsGameName(std::wstring_view name);

struct GameDownloadPlaces {
    std::wstring configUrl;  // the game's update configuration on the publisher's client host
    std::wstring clientFile; // the downloaded client: name + ".exe" in the download folder (if any)
};

// The places for a game: the self-update's configuration address with every "TnVexa" replaced
// by the name (so "/update/Config" + name + ".htm") and the client file in clientFolder. Nothing
// when the name is not a game name (it becomes part of a path), or when the path exceeds 259
// characters or the address 511.
std::optional<GameDownloadPlaces> GameDownloadPlacesFor(std::wstring_view selfConfigUrl,
                                                        std::wstring_view clientFolder,
                                                        std::wstring_view gameName);

// "已加载  " (two blanks) + percent + "%".
std::wstring DownloadLabelText(uint32_t percent);

} // namespace net
