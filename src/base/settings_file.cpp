#include "base/settings_file.h"

std::wstring ProgramFolderFileFor(std::wstring_view exePath, std::wstring_view name) {
    const size_t slash = exePath.rfind(L'\\');
    if (slash == std::wstring_view::npos) return {};
    return std::wstring(exePath.substr(0, slash + 1)) + std::wstring(name);
}
