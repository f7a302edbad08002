#include "fw/client_environment.h"

#include <vector>

#include "base/text.h"

namespace fw {

namespace {

std::wstring_view NameOf(std::wstring_view entry) {
    // A leading "=" belongs to the name ("=C:"), so the separator is searched after it.
    const size_t equals = entry.find(L'=', 1);
    return entry.substr(0, equals == std::wstring_view::npos ? entry.size() : equals);
}

// Case-blind order of names as the system sorts an environment block.
bool NameBefore(std::wstring_view a, std::wstring_view b) {
    const std::wstring upperA = base::AsciiUpper(a), upperB = base::AsciiUpper(b);
    return upperA < upperB;
}

} // namespace

std::wstring ClientEnvironmentBlock(const wchar_t* ownBlock, std::wstring_view path) {
    const std::wstring pathEntry = L"PATH=" + std::wstring(path);
    std::vector<std::wstring_view> kept;
    bool pathPlaced = false;
    for (const wchar_t* at = ownBlock; at && *at;) {
        const std::wstring_view entry(at);
        at += entry.size() + 1;
        if (entry.front() == L'=') continue;
        if (base::EqualsNoCase(NameOf(entry), L"PATH")) {
            if (!pathPlaced) kept.push_back(pathEntry);
            pathPlaced = true;
            continue;
        }
        if (!pathPlaced && NameBefore(L"PATH", NameOf(entry))) {
            kept.push_back(pathEntry);
            pathPlaced = true;
        }
        kept.push_back(entry);
    }
    if (!pathPlaced) kept.push_back(pathEntry);
    std::wstring block;
    for (std::wstring_view entry : kept)
        block.append(entry).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

std::wstring ClientSearchPath(std::wstring_view systemFolder, std::wstring_view windowsFolder,
                              std::wstring_view clientFolder) {
    std::wstring path(systemFolder);
    path.append(L";").append(windowsFolder).append(L";").append(systemFolder).append(L"\\Wbem;");
    return path.append(clientFolder);
}

} // namespace fw
