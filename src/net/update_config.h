// The layout of the publisher's update configurations: the self-update's address on the client
// host and the INI keys that both the self-update and a game client's download read from them.
#pragma once
#include <string_view>

namespace net {

// Path of the self-update's configuration on the publisher's client host. A game's own
// configuration lives beside it, with the game's name in place of the program's edition tag.
inline constexpr std::wstring_view kUpdateConfigPath = L"/update/ConfigTnVexa.htm";
inline constexpr std::wstring_view kEditionTag = L"TnVexa";

// Section and keys: the published release key and the download address.
inline constexpr std::wstring_view kConfigSection = L"VerKey";
inline constexpr std::wstring_view kConfigKeyName = L"TnVexa";
inline constexpr std::wstring_view kConfigAddrName = L"UpdAddr";

} // namespace net
