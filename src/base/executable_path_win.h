// The running executable's path.
#pragma once
#include <string>

namespace base {

// Full path of the running executable.
std::wstring ExecutablePath();

} // namespace base
