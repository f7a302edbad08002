// Where a crash dump goes: beside the executable, named after it.
#pragma once
#include <string>
#include <string_view>

// The executable path with everything from its last "." replaced by ".dmp"; empty when the
// path has no "." at all or the result would not fit a 260-character path buffer. A file name
// without a dot inside a dotted folder is cut at the folder's dot, as the dump has always been.
std::wstring DumpPathFor(std::wstring_view exePath);
