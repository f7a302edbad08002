// The e2e tests' window tool: lists the program's windows as Win32 sees them and sends or posts
// a message to one of them.
//   post_msg.exe list <file>                        every top-level window and the page windows
//                                                   inside the main windows, one line each (UTF-8)
//   post_msg.exe post <hwnd> <msg> <wParam> <lParam>
//   post_msg.exe send <hwnd> <msg> <wParam> <lParam>   exit code: the low byte of the result
//   post_msg.exe text <hwnd> <control id> <file>    the text of a dialog's control (UTF-8)
//   post_msg.exe settext <hwnd> <control id> <hex>  sets a dialog control's text, given as the hex
//                                                   digits of its UTF-8 bytes (any locale)
// Numbers are decimal or 0x hexadecimal. A list line holds tab-separated fields:
//   depth hwnd pid class visible left top width height exstyle owner role text foreground
// role is "main" (has control 1005), "msgbox" (has the first message-box button), "page" (a page
// frame), "login" (the login page over its backdrop), "tip" (a tooltip) or "-". The text of a
// tooltip is asked for with WM_GETTEXT, which answers the tip on show. foreground is 1 for the
// window that takes keyboard input now.
//   post_msg.exe admin <pid>                        exit code 0: the process's token holds the
//                                                   Administrators group deny-only and is no
//                                                   member; 1: it is a member; 2: unreadable
//   post_msg.exe run <exe> [arguments]              runs a program to its end; exit code: its own
// post, send, text and settext exit with 1 when hwnd (or the control) is no window.
// With "--code <file>" first, the verb's exit code is also written to the file (decimal) before
// this program ends: under Wine the exit status that the Unix parent sees is not to be trusted
// (it once read SIGKILL on a loaded machine), while the code that Windows records is.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/handle_win.h"
#include "fw/sdi_win.h"
#include "resource.h"
#include "ui/msgbox_layout.h"

namespace {

std::wstring ClassOf(HWND hwnd) {
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    return cls;
}

bool IsLoginPage(HWND hwnd) {
    const HWND owner = ::GetWindow(hwnd, GW_OWNER);
    const LONG_PTR ex = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    return owner && ClassOf(hwnd) == L"#32770" && ClassOf(owner) == L"#32770" && (ex & WS_EX_LAYERED) &&
           (ex & WS_EX_TOOLWINDOW);
}

const wchar_t* RoleOf(HWND hwnd) {
    const std::wstring cls = ClassOf(hwnd);
    if (cls == CFrameWnd::kClassName) return L"page";
    if (cls == L"tooltips_class32") return L"tip";
    if (cls != L"#32770") return L"-";
    if (::GetDlgItem(hwnd, IDC_MAIN_OTHER_ACCOUNT)) return L"main";
    if (::GetDlgItem(hwnd, ui::kMsgBoxFirstButtonId)) return L"msgbox";
    if (IsLoginPage(hwnd)) return L"login";
    return L"-";
}

std::wstring TextOf(HWND hwnd, bool ask) {
    wchar_t text[512] = {};
    if (ask) {
        DWORD_PTR copied = 0;
        ::SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                              &copied);
    } else {
        ::GetWindowTextW(hwnd, text, 512);
    }
    for (wchar_t& c : text)
        if (c == L'\t' || c == L'\n' || c == L'\r') c = L' ';
    return text;
}

struct Listing {
    FILE* out;
    int depth;
};

void WriteLine(FILE* out, int depth, HWND hwnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    const wchar_t* role = RoleOf(hwnd);
    const std::wstring line =
        std::to_wstring(depth) + L"\t" + std::to_wstring(reinterpret_cast<std::uintptr_t>(hwnd)) + L"\t" +
        std::to_wstring(pid) + L"\t" + ClassOf(hwnd) + L"\t" + (::IsWindowVisible(hwnd) ? L"1" : L"0") +
        L"\t" + std::to_wstring(rc.left) + L"\t" + std::to_wstring(rc.top) + L"\t" +
        std::to_wstring(rc.right - rc.left) + L"\t" + std::to_wstring(rc.bottom - rc.top) + L"\t" +
        std::to_wstring(static_cast<unsigned long>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE))) + L"\t" +
        std::to_wstring(reinterpret_cast<std::uintptr_t>(::GetWindow(hwnd, GW_OWNER))) + L"\t" + role +
        L"\t" + TextOf(hwnd, std::wstring(role) == L"tip") + L"\t" +
        (hwnd == ::GetForegroundWindow() ? L"1" : L"0") + L"\n";
    char utf8[4096] = {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8,
                                        sizeof(utf8), nullptr, nullptr);
    std::fwrite(utf8, 1, static_cast<size_t>(n), out);
}

BOOL CALLBACK VisitChild(HWND hwnd, LPARAM param) {
    // Only the page windows a main window holds; its own controls say nothing to the tests.
    auto* listing = reinterpret_cast<Listing*>(param);
    if (ClassOf(hwnd) == CFrameWnd::kClassName) WriteLine(listing->out, 1, hwnd);
    return TRUE;
}

BOOL CALLBACK VisitTop(HWND hwnd, LPARAM param) {
    auto* listing = reinterpret_cast<Listing*>(param);
    WriteLine(listing->out, 0, hwnd);
    if (std::wstring(RoleOf(hwnd)) == L"main") ::EnumChildWindows(hwnd, VisitChild, param);
    return TRUE;
}

UINT_PTR Number(const wchar_t* text) {
    return static_cast<UINT_PTR>(std::wcstoull(text, nullptr, 0));
}

// Command-line quoting that the C runtime of the started program reads back as the same arguments.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out.push_back(c);
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

int Run(int argc, wchar_t** argv) {
    std::wstring commandLine;
    for (int i = 0; i < argc; ++i)
        commandLine += (i ? L" " : L"") + Quoted(argv[i]);
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(argv[0], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return 4;
    ::CloseHandle(pi.hThread);
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 4;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

// 0 when the process's token holds the Administrators group deny-only and counts as no member
// of it, 1 otherwise, 2 when the token can't be read.
int AdministratorsOf(DWORD process) {
    base::Handle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process)), token, identity;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(sid);
    alignas(TOKEN_GROUPS) BYTE groups[8192];
    BOOL member = FALSE;
    if (!::OpenProcessToken(handle.Get(), TOKEN_QUERY | TOKEN_DUPLICATE, token.Put()) ||
        !::DuplicateToken(token.Get(), SecurityIdentification, identity.Put()) ||
        !::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size) ||
        !::CheckTokenMembership(identity.Get(), sid, &member) ||
        !::GetTokenInformation(token.Get(), TokenGroups, groups, sizeof(groups), &size))
        return 2;
    bool denyOnly = false;
    const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups);
    for (DWORD i = 0; i < list->GroupCount; ++i)
        if (::EqualSid(list->Groups[i].Sid, sid))
            denyOnly = list->Groups[i].Attributes & SE_GROUP_USE_FOR_DENY_ONLY;
    return !member && denyOnly ? 0 : 1;
}

int Verb(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring verb = argv[1];
    if (verb == L"run" && argc >= 3) return Run(argc - 2, argv + 2);
    if (verb == L"admin" && argc >= 3) return AdministratorsOf(static_cast<DWORD>(Number(argv[2])));
    if (verb == L"list" && argc >= 3) {
        FILE* out = _wfopen(argv[2], L"wb");
        if (!out) return 2;
        Listing listing{out, 0};
        ::EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&listing));
        std::fclose(out);
        return 0;
    }
    if (verb == L"text" && argc >= 5) {
        const HWND item =
            ::GetDlgItem(reinterpret_cast<HWND>(Number(argv[2])), static_cast<int>(Number(argv[3])));
        if (!item) return 1;
        const std::wstring text = TextOf(item, true);
        char utf8[2048] = {};
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8,
                                            sizeof(utf8), nullptr, nullptr);
        FILE* out = _wfopen(argv[4], L"wb");
        if (!out) return 2;
        std::fwrite(utf8, 1, static_cast<size_t>(n), out);
        std::fclose(out);
        return 0;
    }
    if ((verb == L"post" || verb == L"send") && argc >= 6) {
        const HWND hwnd = reinterpret_cast<HWND>(Number(argv[2]));
        if (!::IsWindow(hwnd)) return 1;
        const UINT msg = static_cast<UINT>(Number(argv[3]));
        const WPARAM wParam = Number(argv[4]);
        const LPARAM lParam = static_cast<LPARAM>(Number(argv[5]));
        if (verb == L"post") return ::PostMessageW(hwnd, msg, wParam, lParam) ? 0 : 3;
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, 10000, &result)) return 3;
        return static_cast<int>(result & 0xFF);
    }
    if (verb == L"settext" && argc >= 5) {
        const HWND control =
            ::GetDlgItem(reinterpret_cast<HWND>(Number(argv[2])), static_cast<int>(Number(argv[3])));
        if (!control) return 1;
        std::string utf8;
        for (const wchar_t* p = argv[4]; p[0] && p[1]; p += 2)
            utf8.push_back(static_cast<char>(std::wcstoul(std::wstring(p, 2).c_str(), nullptr, 16)));
        std::wstring text(utf8.size() + 1, L'\0');
        text.resize(
            static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                      text.data(), static_cast<int>(text.size()))));
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                     SMTO_NORMAL, 10000, &result) &&
                       result
                   ? 0
                   : 3;
    }
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wstring(argv[1]) == L"--code") {
        const int code = Verb(argc - 2, argv + 2);
        if (FILE* out = _wfopen(argv[2], L"wb")) {
            std::fprintf(out, "%d", code);
            std::fclose(out);
        }
        return code;
    }
    return Verb(argc, argv);
}
