// The line a failure leaves for support: its fixed format, and addresses cut down to what may
// be shown (host and path, never a query that may carry an account or a session).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace base {

// The longest line, terminator included; longer texts are cut and end in "...".
inline constexpr size_t kTraceLineMax = 512;

// Writes "TnVexa[pid]: what: detail (error CODE = 0xCODE)\n", the code in decimal and then in
// hexadecimal (without ": detail" when detail is empty), into out, cutting the texts so the line
// fits in capacity characters with its terminator.
// Allocates nothing, so the crash path can use it. Returns the characters written.
size_t FormatTraceLine(wchar_t* out, size_t capacity, unsigned long pid, std::wstring_view what,
                       std::wstring_view detail, unsigned long code);

// A web address as a trace may show it: scheme, host, port and path; user name, password, query
// and fragment are dropped. Not for "app:" commands, whose path is their payload.
std::wstring AddressForTrace(std::wstring_view url);

} // namespace base
