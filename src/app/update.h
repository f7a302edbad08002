// Rules of the self-update that need no Windows: the release key of an executable, the
// comparison with the published key, the check of a downloaded file against that key, and
// which start modes may check at start-up.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/start_mode.h"
#include "base/version.h"
#include "net/update_config.h"

namespace app {

// The program's version text; its digits form the suffix of the release key.
inline constexpr std::wstring_view kVersionText = TNVEXA_VERSION_WTEXT;

// Names of the update's files in the program folder; the configuration's INI layout is shared
// with the game clients' downloads.
using net::kConfigAddrName;
using net::kConfigKeyName;
using net::kConfigSection;
using net::kUpdateConfigPath;
inline constexpr std::wstring_view kUpdateConfigFile = L"ConfigTnVexa.htm";
// The name the publisher signs the program's releases for, whatever they are saved as.
inline constexpr std::wstring_view kSignedExeName = L"TnVexa.exe";
inline constexpr std::wstring_view kNewExeFile = L"NewTnVexa.exe";
inline constexpr std::wstring_view kOldExeFile = L"OldTnVexa.exe";

// The version text without its dots ("3.0.0.1" -> "3001").
std::wstring VersionDigits(std::wstring_view version);

// Release key: the digest text cut so that digest plus suffix keep the digest's length, then
// the version digits ("<28 hex digits>3001"). Empty when there is no digest.
std::wstring ReleaseKey(std::wstring_view digestHex, std::wstring_view version);

// True when the published key and the local key differ (case is ignored).
bool ReleaseKeysDiffer(std::wstring_view publishedKey, std::wstring_view localKey);

// True when a downloaded file with this digest is the release the key names: the leading 24
// hex digits of the key (which hold digest digits for any version suffix of up to 8 digits)
// equal the digest's, case ignored. A key without 24 leading hex digits matches nothing.
bool DigestMatchesReleaseKey(std::wstring_view digestHex, std::wstring_view releaseKey);

// A dotted version ("3.0.0.1") as the four 16-bit fields of a version resource, most
// significant first, so that versions compare as numbers; 0 for anything else.
uint64_t PackedVersion(std::wstring_view version);

// The start-up check runs only in the modes that may go on to open the main window.
bool StartModeMayCheckForUpdate(StartMode mode);

} // namespace app
