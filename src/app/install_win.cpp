#include "app/install_win.h"

#include <windows.h>
#include <sddl.h>

#include <cstring>
#include <vector>

#include "app/install_folder_win.h"
#include "app/install_rules.h"
#include "app/settings_win.h"
#include "app/shortcuts_win.h"
#include "app/start_mode.h"
#include "app/update.h"
#include "base/executable_path_win.h"
#include "base/handle_win.h"
#include "base/product.h"
#include "base/trace_win.h"
#include "base/user_folder_win.h"
#include "fw/library_init_win.h"
#include "fw/process_win.h"
#include "fw/safe_file_win.h"
#include "net/signature_win.h"
#include "ui/skinned_message_box_win.h"

namespace {

constexpr const wchar_t* kTitle = base::kAppTitle;
constexpr wchar_t kUninstalledText[] =
    L"Vexa - Tarn已成功移除，部分文件将在程序退出\r\n或计算机重启后自行删除";
constexpr wchar_t kInstallFailedText[] =
    L"Vexa - Tarn安装失败，安装文件夹中的程序未能更新\r\n请关闭所有Vexa - Tarn窗口后重新运行安装程序";
// A fresh name is tried this often when a file of the chosen name is already there.
constexpr int kScriptNameAttempts = 8;
constexpr DWORD kCopyChunk = 65536;

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) == CSTR_EQUAL;
}

bool SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetDword(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

// The path's bytes in a code page, only when they convert back to the very same path.
std::optional<std::string> ExactBytes(UINT codePage, const std::wstring& path) {
    if (path.empty()) return std::string();
    // UTF-8 takes neither the flag nor the default-character report.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* reportDefault = utf8 ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(codePage, flags, path.data(), int(path.size()), nullptr, 0, nullptr,
                                      reportDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string bytes(size_t(n), '\0');
    WideCharToMultiByte(codePage, flags, path.data(), int(path.size()), bytes.data(), n, nullptr,
                        reportDefault);
    if (usedDefault) return std::nullopt;
    const int back = MultiByteToWideChar(codePage, 0, bytes.data(), n, nullptr, 0);
    std::wstring again(size_t(back > 0 ? back : 0), L'\0');
    if (back > 0) MultiByteToWideChar(codePage, 0, bytes.data(), n, again.data(), back);
    if (again != path) return std::nullopt;
    return bytes;
}

std::optional<std::string> SameInBothCodePages(const std::wstring& path) {
    // By number: a system whose code page is UTF-8 must be recognised as such.
    const auto ansi = ExactBytes(GetACP(), path);
    const auto oem = ExactBytes(GetOEMCP(), path);
    if (!ansi || !oem || *ansi != *oem) return std::nullopt;
    return ansi;
}

std::wstring SystemFolder(UINT(WINAPI* get)(LPWSTR, UINT)) {
    wchar_t path[MAX_PATH] = {};
    const UINT n = get(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) : std::wstring();
}

// Reserves a fresh name in the folder ("Del" + hexadecimal digits + ".tmp", the platform's
// own temporary file) and creates that name with ".bat" appended as a new file with the
// script's access list. A file of that name planted beforehand is never opened: another name
// is tried instead.
base::Handle CreateScriptFile(const std::wstring& folder, std::wstring& path) {
    fw::SecurityDescriptor descriptor(kSelfDeleteScriptSddl);
    if (!descriptor) return {};
    base::Handle file;
    for (int attempt = 0; attempt < kScriptNameAttempts && !file; ++attempt) {
        wchar_t name[MAX_PATH] = {};
        if (!GetTempFileNameW(folder.c_str(), L"DelSelf", 0, name)) break;
        path = std::wstring(name) + L".bat";
        if (path.size() > app::kMaxPathChars) break;
        file = base::Handle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, descriptor.Attributes(),
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!file) path.clear();
    return file;
}

bool Rewind(HANDLE file) {
    const LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != FALSE;
}

// Reads up to a buffer's worth; false on a read error. `got` is 0 at the end of the file.
bool ReadChunk(HANDLE file, std::vector<char>& buffer, DWORD& got) {
    got = 0;
    return ReadFile(file, buffer.data(), DWORD(buffer.size()), &got, nullptr) != FALSE;
}

// Writes `source` from its start into a new file beside `target` (the folder's access list
// inherited), flushed to the disk; the new file's handle, or an empty one.
base::Handle WriteBeside(HANDLE source, const std::wstring& target) {
    const std::wstring folder(app::FolderOfPath(target));
    base::Handle file;
    for (int attempt = 0; attempt < kScriptNameAttempts && !file; ++attempt) {
        wchar_t suffix[24] = {};
        wsprintfW(suffix, L".new-%08x", DWORD(GetTickCount64()) ^ GetCurrentProcessId() ^ attempt);
        const std::wstring path = target + suffix;
        const std::wstring name = path.substr(folder.size() + 1);
        file = base::Handle(fw::CreateNewFileAt(path.c_str(), fw::FinalPathForNewFile(folder, name).c_str(),
                                                GENERIC_READ | GENERIC_WRITE, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS) {
            base::Trace(L"install: copy not made beside", target, GetLastError());
            return {};
        }
    }
    std::vector<char> buffer(kCopyChunk);
    DWORD got = 0, written = 0;
    bool ok = file && Rewind(source);
    while (ok && (ok = ReadChunk(source, buffer, got)) && got > 0)
        ok = WriteFile(file.Get(), buffer.data(), got, &written, nullptr) && written == got;
    if (ok && FlushFileBuffers(file.Get())) return file;
    base::Trace(L"install: copy not written", target, GetLastError());
    if (file) fw::DeleteByHandle(file.Get());
    return {};
}

bool SameBytes(HANDLE a, HANDLE b) {
    if (!Rewind(a) || !Rewind(b)) return false;
    std::vector<char> one(kCopyChunk), other(kCopyChunk);
    for (;;) {
        DWORD gotOne = 0, gotOther = 0;
        if (!ReadChunk(a, one, gotOne) || !ReadChunk(b, other, gotOther) || gotOne != gotOther) return false;
        if (gotOne == 0) return true;
        if (memcmp(one.data(), other.data(), gotOne) != 0) return false;
    }
}

} // namespace

base::Handle CopyVerified(HANDLE source, const std::wstring& target) {
    const std::wstring folder(app::FolderOfPath(target));
    if (folder.empty()) return {};
    if (!SamePath(base::ExecutablePath(), target)) {
        base::Handle copy = WriteBeside(source, target);
        if (!copy) return {};
        // An installed copy that is just ending (the player closed it to reinstall) still holds
        // its file for a moment: the rename is tried again for up to two seconds.
        bool renamed = false;
        for (int attempt = 0; attempt < 20 && !(renamed = fw::RenameByHandle(copy.Get(), target, true));
             ++attempt) {
            const DWORD error = GetLastError();
            if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) break;
            Sleep(100);
        }
        if (!renamed) {
            // A copy that runs on (the player reinstalls while playing) holds its file for good:
            // what counts is whether that file already holds this very program, as compared below.
            base::Trace(L"install: copy not moved into place, the installed file is compared", target,
                        GetLastError());
            fw::DeleteByHandle(copy.Get());
        }
    }
    // Nobody may change the installed file while it is compared and started.
    base::Handle installed = net::OpenPinned(target, false);
    const std::wstring expected = fw::FinalPathForNewFile(folder, target.substr(folder.size() + 1));
    if (!installed || expected.empty() || !SamePath(fw::FinalPath(installed.Get()), expected) ||
        !SameBytes(source, installed.Get())) {
        base::Trace(L"install: installed file not the one written", target, GetLastError());
        return {};
    }
    return installed;
}

bool WriteUninstallEntry(const std::wstring& exePath) {
    base::RegKey key;
    const LSTATUS status =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, std::wstring(app::kUninstallEntryKey).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Put(), nullptr);
    if (status != ERROR_SUCCESS) {
        base::Trace(L"install: uninstall entry not made", DWORD(status));
        return false;
    }
    bool ok = SetString(key.Get(), L"DisplayName", std::wstring(app::kUninstallEntryName));
    ok = SetString(key.Get(), L"DisplayVersion", std::wstring(app::kVersionText)) && ok;
    ok = SetString(key.Get(), L"DisplayIcon", exePath) && ok;
    ok = SetString(key.Get(), L"UninstallString", app::UninstallCommandFor(exePath)) && ok;
    ok = SetDword(key.Get(), L"NoModify", 1) && ok;
    return SetDword(key.Get(), L"NoRepair", 1) && ok;
}

bool DeleteUninstallEntry() {
    return RegDeleteTreeW(HKEY_LOCAL_MACHINE, std::wstring(app::kUninstallEntryKey).c_str()) == ERROR_SUCCESS;
}

bool InstallSelf() {
    const fw::ComSession com = fw::ComSession::StartCom();
    const std::wstring target = app::InstallTargetFor(InstallFolder(), base::ExecutablePath());
    base::Handle installed;
    if (!target.empty() && CreateInstallFolder()) installed = CopyVerified(base::OwnImage(), target);
    if (!installed) {
        // Nothing is linked to or started that is not this very program.
        ui::ShowMessageBox(nullptr, kInstallFailedText, kTitle, MB_OK);
        return true;
    }
    CreateDesktopShortcut(target);
    CreateStartMenuShortcut(std::wstring(app::kProgramLinkName), target, std::wstring(app::kShortcutOption));
    CreateStartMenuShortcut(std::wstring(app::kUninstallLinkName), target,
                            std::wstring(app::kUninstallOption));
    WriteUninstallEntry(target);
    fw::StartChildProcess(target, L"", base::SystemFolder(), false);
    return true;
}

void UninstallSelf(const std::function<void()>& sendPing) {
    const fw::ComSession com = fw::ComSession::StartCom();
    DeleteSettingsKey();
    const ShortcutFolders folders = SystemShortcutFolders();
    DeleteDesktopShortcut(std::wstring(app::kProgramLinkName), folders);
    DeleteStartMenuShortcut(std::wstring(app::kProgramLinkName), folders);
    DeleteStartMenuShortcut(std::wstring(app::kUninstallLinkName), folders);
    RemoveFolderWithoutFiles(StartMenuFolder(folders));
    DeleteUninstallEntry();
    const std::wstring script =
        WriteSelfDeleteScript(base::ExecutablePath(), InstallFolder(), SelfDeleteScriptFolder());
    if (!script.empty() && !StartSelfDeleteScript(script)) DeleteFileW(script.c_str());
    sendPing();
    ui::ShowMessageBox(nullptr, kUninstalledText, kTitle, MB_OK);
}

std::wstring SelfDeleteScriptFolder() {
    const std::wstring windows = SystemFolder(&GetSystemWindowsDirectoryW);
    return windows.empty() ? std::wstring() : windows + L"\\Temp";
}

std::optional<std::string> ScriptPathText(const std::wstring& path) {
    if (auto text = SameInBothCodePages(path)) return text;
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::nullopt;
    return SameInBothCodePages(std::wstring(shortPath, n));
}

std::wstring WriteSelfDeleteScript(const std::wstring& exePath, const std::wstring& installFolder,
                                   const std::wstring& scriptFolder) {
    const std::wstring folder(app::FolderOfPath(exePath));
    if (folder.empty() || scriptFolder.empty()) return {};
    std::wstring path;
    base::Handle file = CreateScriptFile(scriptFolder, path);
    if (!file) {
        base::Trace(L"uninstall: removal script not made", scriptFolder, GetLastError());
        return {};
    }
    const app::DeleteScript kind =
        app::ChooseDeleteScript(folder, installFolder, CountFilesRecursive(folder));
    const auto exeText = ScriptPathText(exePath);
    const auto folderText =
        kind == app::DeleteScript::Long ? ScriptPathText(folder) : std::optional<std::string>(std::string());
    const auto scriptText = ScriptPathText(path);
    std::string text;
    if (exeText && folderText && scriptText)
        text = app::DeleteScriptText(kind, *exeText, *folderText, *scriptText);
    DWORD written = 0;
    const bool ok = !text.empty() &&
                    WriteFile(file.Get(), text.data(), DWORD(text.size()), &written, nullptr) &&
                    written == text.size();
    file.Reset();
    if (ok) return path;
    DeleteFileW(path.c_str());
    return {};
}

bool StartSelfDeleteScript(const std::wstring& scriptPath) {
    const std::wstring windows = SystemFolder(&GetSystemWindowsDirectoryW);
    const std::wstring system = SystemFolder(&GetSystemDirectoryW);
    if (windows.empty() || system.empty()) return false;
    const std::wstring interpreter = system + L"\\cmd.exe";
    // /D: no AutoRun command from the registry; /V:OFF: no delayed expansion of "!" in a path,
    // whatever the registry's default; the environment is the system's folders only,
    // so "ping" is the system's and no variable of the player's reaches the elevated script.
    std::wstring commandLine = L"cmd.exe /d /v:off /c \"" + scriptPath + L"\"";
    std::wstring environment;
    for (const std::wstring& variable :
         {L"ComSpec=" + interpreter, L"PATH=" + system + L";" + windows,
          std::wstring(L"PATHEXT=.COM;.EXE;.BAT;.CMD"), L"SystemRoot=" + windows, L"windir=" + windows})
        environment += variable + L'\0';
    environment += L'\0';
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), system.c_str(), &si, &pi)) {
        base::Trace(L"uninstall: removal script not started", GetLastError());
        return false;
    }
    SetThreadPriority(pi.hThread, THREAD_PRIORITY_IDLE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}
