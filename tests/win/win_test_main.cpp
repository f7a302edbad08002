// Entry point of every Win32 test executable: the process is set up as the product sets
// itself up (COM, common controls, GDI+) before GoogleTest runs the cases.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "app/program_skin_win.h"
#include "base/library_load_win.h"
#include "fw/library_init_win.h"
#include "win_test_support.h"

int wmain(int argc, wchar_t** argv) {
    // Libraries load as in the product: from the system folder only, late imports included.
    base::RestrictLibrarySearch();
    testing::InitGoogleTest(&argc, argv);
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
    InitCommonControlsEx(&icc);
    const fw::GdiplusSession gdiplus = fw::GdiplusSession::Start();
    // No switch left over from an earlier program that ended early; the cases set their own.
    wintest::ClearTestSwitches();
    ui::SetSkinResources(kProgramSkin);
    // The pointer stays where an earlier program (an e2e case clicking for real) left it: parked in
    // the screen's corner, it hovers over no window that a case makes.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    const int rc = RUN_ALL_TESTS();
    wintest::ClearTestSwitches();
    OleUninitialize();
    return rc;
}
