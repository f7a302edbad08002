#include "base/settings_file.h"

#include "base/text.h"

std::wstring ProgramFolderFileFor(std::wstring_view exePath, std::wstring_view name) {
    return base::FileBeside(exePath, name);
}
