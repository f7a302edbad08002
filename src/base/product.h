// The product's own name as windows and message boxes show it, and where it lives on a machine.
#pragma once
#include <string_view>

namespace base {

// Caption of the program's windows and message boxes.
inline constexpr wchar_t kAppTitle[] = L"Vexa - Tarn";

// The publisher's folder for its game programs, both below the machine's application-data folder
// (the program's install folder, beside the game clients) and below HKLM\Software (its keys).
// A macro, so that the keys below it are joined as literals.
#define TNVEXA_PUBLISHER_SUBPATH L"Vexa\\GameLogin"
inline constexpr std::wstring_view kInstallSubfolder = L"\\" TNVEXA_PUBLISHER_SUBPATH;
#define TNVEXA_PUBLISHER_REGISTRY_KEY L"Software\\" TNVEXA_PUBLISHER_SUBPATH

} // namespace base
