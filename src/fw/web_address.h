// The one test of what the program hands to a web browser: a web address and nothing else.
#pragma once
#include <string_view>

namespace fw {

// "http://" or "https://" (scheme in any letter case) followed by more, with no control
// character or blank anywhere: never a file, a program, a share or another protocol.
bool IsWebAddress(std::wstring_view url);

} // namespace fw
