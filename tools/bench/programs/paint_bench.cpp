// Measures what one hover repaint of a button costs on the maximized main window: the time of
// a synchronous repaint of the button (median of many) and the bytes of the bitmaps made for
// it, counted by catching this program's own calls to the bitmap constructors.
// Usage: paint_bench [repeats=60]. Prints one line: window, button, repaint_ms, bitmap_bytes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "mainwnd/main_window_win.h"
#include "mainwnd/main_messages.h"
#include "resource.h"

namespace {

bool g_counting = false;
unsigned long long g_bitmapBytes = 0;
int g_bitmaps = 0;

void Count(int w, int h, int bits) {
    if (!g_counting) return;
    ++g_bitmaps;
    g_bitmapBytes += static_cast<unsigned long long>(std::abs(w)) * std::abs(h) * bits / 8;
}

decltype(&CreateCompatibleBitmap) g_createCompatible = nullptr;
decltype(&CreateDIBSection) g_createDib = nullptr;

HBITMAP WINAPI CountCompatible(HDC dc, int w, int h) {
    Count(w, h, 32);
    return g_createCompatible(dc, w, h);
}

HBITMAP WINAPI CountDib(HDC dc, const BITMAPINFO* bi, UINT usage, void** bits, HANDLE section, DWORD offset) {
    if (bi) Count(bi->bmiHeader.biWidth, bi->bmiHeader.biHeight, bi->bmiHeader.biBitCount);
    return g_createDib(dc, bi, usage, bits, section, offset);
}

// Points this program's import of `original` at `replacement`.
bool Redirect(void* original, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name;
         ++imp) {
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); thunk->u1.Function;
             ++thunk) {
            if (reinterpret_cast<void*>(thunk->u1.Function) != original) continue;
            DWORD old = 0;
            VirtualProtect(&thunk->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
            thunk->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&thunk->u1.Function, sizeof(void*), old, &old);
            return true;
        }
    }
    return false;
}

// The main window, with this process playing one of its logins: only a login's process may
// bring a page.
class BenchWindow : public mainwnd::MainWindow {
public:
    explicit BenchWindow(mainwnd::MainWindowOptions options) : mainwnd::MainWindow(std::move(options)) {}
    void PlayLogin() {
        WatchPageProcess(base::Handle(
            ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ::GetCurrentProcessId())));
    }
};

// A page window of this process that announces itself like a page process's window does.
class LocalPage : public CWnd {
public:
    explicit LocalPage(HWND main) {
        CreateEx(0, nullptr, L"", WS_CHILD, 0, 0, 10, 10, main, nullptr);
        const wchar_t label[] = L"1服-bench-player";
        COPYDATASTRUCT cds{0, sizeof(label), const_cast<wchar_t*>(label)};
        ::SendMessageW(main, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hWnd), reinterpret_cast<LPARAM>(&cds));
        ::PostMessageW(main, base::WM_PAGECREATED, reinterpret_cast<WPARAM>(m_hWnd), 0);
    }
    ~LocalPage() override { DestroyWindow(); }
};

void PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

double Millis(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(f.QuadPart);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int repeats = argc > 1 ? std::max(1, _wtoi(argv[1])) : 60;
    // Read through the import table before it is changed: the real constructors.
    g_createCompatible = &CreateCompatibleBitmap;
    g_createDib = &CreateDIBSection;
    if (!Redirect(reinterpret_cast<void*>(g_createCompatible), reinterpret_cast<void*>(&CountCompatible)) ||
        !Redirect(reinterpret_cast<void*>(g_createDib), reinterpret_cast<void*>(&CountDib))) {
        std::fprintf(stderr, "paint_bench: bitmap constructors not found among the imports\n");
        return 2;
    }

    // The first page process stays at its login: the tests' stand-in page program, built in
    // tests/win beside this folder's tools/bench.
    SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_MODE", L"login");
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\') + 1);

    BenchWindow dlg({.programPath = folder + L"..\\..\\tests\\win\\fake_page.exe"});
    if (!dlg.Create()) return 2;
    dlg.PlayLogin();
    LocalPage page(dlg.m_hWnd);
    PumpUntil([&] { return dlg.Model().TabCount() == 1 && dlg.IsMaximized(); }, 10000);
    RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpUntil([] { return false; }, 200);

    const HWND button = dlg.GetDlgItem(IDC_MAIN_HIDE);
    RECT br{};
    GetWindowRect(button, &br);
    const RECT wr = dlg.GetWindowRect();
    SendMessageW(button, WM_MOUSEHOVER, 0, 0);
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        LARGE_INTEGER t0, t1;
        InvalidateRect(button, nullptr, FALSE);
        g_counting = i == 0;
        QueryPerformanceCounter(&t0);
        UpdateWindow(button);
        QueryPerformanceCounter(&t1);
        g_counting = false;
        times.push_back(Millis(t0, t1));
    }
    std::sort(times.begin(), times.end());
    std::printf("window=%ldx%ld button=%ldx%ld repaint_ms=%.3f bitmaps=%d bitmap_bytes=%llu\n",
                wr.right - wr.left, wr.bottom - wr.top, br.right - br.left, br.bottom - br.top,
                times[times.size() / 2], g_bitmaps, g_bitmapBytes);
    dlg.DestroyWindow();
    return 0;
}
