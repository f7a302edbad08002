// Folder base/: portable rules (text, keys, geometry, page protocol), OS helpers; includes no other folder.
// Text helpers shared by portable code: bounded copies and the C runtime's number reading.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// The blanks the C runtime's number readers skip: space, tab, newline, return, vertical tab, form feed.
bool IsBlank(wchar_t c);

// Reads a decimal number as the C runtime's wcstol(…, 10) does: leading blanks, an optional
// sign, digits up to the first non-digit; 0 without digits; clamped to the 32-bit range.
int32_t ParseLong(std::wstring_view text);

// Reads leading decimal digits as _wtoi does (blanks and a sign allowed, 0 without digits).
// Out-of-range values are clamped to the 32-bit range.
int32_t ParseInt(std::wstring_view text);

// The first maxChars characters of text (a fixed buffer's worth, without its terminator).
std::wstring_view Truncate(std::wstring_view text, size_t maxChars);

// Upper-cases ASCII letters only; everything else is kept.
std::wstring AsciiUpper(std::wstring_view text);

// Case-insensitive comparison of ASCII letters; other characters must match exactly.
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
// True when text begins with prefix, compared as EqualsNoCase does.
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);

// The path of a file called name in the folder of the file at path (up to its last
// backslash); empty when path has no backslash.
std::wstring FileBeside(std::wstring_view path, std::wstring_view name);

// True when path names something strictly below folder (both absolute, "\\" separated, as the
// file system resolved them): letter case of ASCII letters aside, folder must be a leading run of
// whole components of path, and no component of path may be "." or "..".
bool IsInsideFolder(std::wstring_view path, std::wstring_view folder);

} // namespace base
