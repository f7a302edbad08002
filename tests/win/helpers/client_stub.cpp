// A stand-in game client, served by the stand-in publisher as a download or started by a test:
// it appends its own path, command line, current folder and PATH (UTF-8, tab-separated, one line)
// to the file named by TNVEXA_CLIENT_MARK and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
    wchar_t mark[MAX_PATH] = {}, self[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"TNVEXA_CLIENT_MARK", mark, MAX_PATH)) return 1;
    wchar_t folder[MAX_PATH] = {}, path[4096] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    ::GetEnvironmentVariableW(L"PATH", path, 4096);
    const std::wstring line =
        std::wstring(self) + L"\t" + ::GetCommandLineW() + L"\t" + folder + L"\t" + path + L"\n";
    char utf8[8192] = {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8,
                                        sizeof(utf8), nullptr, nullptr);
    FILE* f = _wfopen(mark, L"ab");
    if (!f) return 1;
    std::fwrite(utf8, 1, static_cast<size_t>(n > 0 ? n : 0), f);
    std::fclose(f);
    return 0;
}
