#include "base/environment_block.h"

#include "base/text.h"

namespace base {

std::wstring WithEnvironmentValue(std::wstring_view block, std::wstring_view name, std::wstring_view value) {
    std::wstring out;
    size_t at = 0;
    while (at < block.size() && block[at] != L'\0') {
        const size_t end = block.find(L'\0', at);
        const std::wstring_view entry = block.substr(at, end == std::wstring_view::npos ? end : end - at);
        at = end == std::wstring_view::npos ? block.size() : end + 1;
        const size_t equals = entry.find(L'=', 1);
        if (equals != std::wstring_view::npos && EqualsNoCase(entry.substr(0, equals), name)) continue;
        out.append(entry);
        out.push_back(L'\0');
    }
    out.append(name).append(L"=").append(value);
    out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

} // namespace base
