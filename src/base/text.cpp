#include "base/text.h"

#include <climits>

namespace base {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

namespace {
wchar_t UpperAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}
} // namespace

int32_t ParseLong(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > int64_t(INT32_MAX) + 1) value = int64_t(INT32_MAX) + 1; // keep it bounded
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t ParseInt(std::wstring_view text) {
    return ParseLong(text);
}

std::wstring_view Truncate(std::wstring_view text, size_t maxChars) {
    return text.substr(0, maxChars);
}

std::wstring AsciiUpper(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out)
        c = UpperAscii(c);
    return out;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::wstring FileBeside(std::wstring_view path, std::wstring_view name) {
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring_view::npos) return {};
    return std::wstring(path.substr(0, slash + 1)) + std::wstring(name);
}

bool IsInsideFolder(std::wstring_view path, std::wstring_view folder) {
    while (!folder.empty() && folder.back() == L'\\')
        folder.remove_suffix(1);
    if (folder.empty() || path.size() <= folder.size() + 1 || path[folder.size()] != L'\\') return false;
    if (base::AsciiUpper(path.substr(0, folder.size())) != base::AsciiUpper(folder)) return false;
    // Below the folder, every component must lead further down.
    std::wstring_view rest = path.substr(folder.size() + 1);
    while (!rest.empty()) {
        const size_t end = rest.find(L'\\');
        const std::wstring_view part = rest.substr(0, end);
        if (part == L"." || part == L"..") return false;
        if (end == std::wstring_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return true;
}

} // namespace base
