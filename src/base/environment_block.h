// A process environment block as CreateProcess takes it: "NAME=value" strings, each ended by a
// zero, the block ended by one more. Portable, so the rule is tested on the host.
#pragma once
#include <string>
#include <string_view>

namespace base {

// The block `block` (as GetEnvironmentStrings gives it: up to and including the final empty
// string; an empty view is an empty environment) with `name` set to `value`: an entry of that
// name in any letter case is replaced, otherwise one is added at the end. Entries whose name
// begins with "=" (the shell's per-drive folders) are kept as they are.
std::wstring WithEnvironmentValue(std::wstring_view block, std::wstring_view name, std::wstring_view value);

} // namespace base
