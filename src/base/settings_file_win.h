// Reading and writing keys of the settings section in an INI file, and the file beside the
// running executable. Failures are silent: readers get the default, writers answer false.
#pragma once
#include <string>
#include <string_view>

#include "base/settings_file.h"

// Full path of a file in the folder of the running executable (empty without a backslash).
std::wstring ProgramFolderFile(std::wstring_view name);

// Reads a key of section "TnVexa" from an INI file; `maxChars` is the reader's buffer size
// without its terminator.
std::wstring ReadSetting(const std::wstring& file, const wchar_t* key, const wchar_t* defaultValue,
                         size_t maxChars);
bool WriteSetting(const std::wstring& file, const wchar_t* key, const std::wstring& value);
