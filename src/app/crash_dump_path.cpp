#include "app/crash_dump_path.h"

std::wstring DumpPathFor(std::wstring_view exePath) {
    const size_t dot = exePath.rfind(L'.');
    if (dot == std::wstring_view::npos) return {};
    std::wstring path = std::wstring(exePath.substr(0, dot)) + L".dmp";
    if (path.size() >= 260) return {};
    return path;
}
