// Conversions between UTF-16 and the byte encodings the program meets (system ANSI code
// page, UTF-8), and the running executable's path.
#pragma once
#include <string>
#include <string_view>

namespace base {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// Full path of the running executable.
std::wstring ExecutablePath();

}  // namespace base
