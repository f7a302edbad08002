// CWinApp: the application object and the thread's message loop; destroying its main window
// ends the loop.
#pragma once
#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up; FALSE ends the program (ExitInstance still runs), TRUE enters Run.
    virtual BOOL InitInstance() { return TRUE; }
    // Clean-up; answers the process exit code (default: the code the loop ended with).
    virtual int ExitInstance() { return m_nExitCode; }
    // The thread's message loop until WM_QUIT (exit code = its wParam) or a GetMessage failure
    // (exit code -1).
    virtual int Run();
    // Idle work, called only when the queue is empty; TRUE asks for another call.
    virtual BOOL OnIdle(LONG count);

    // Destroying this window ends the loop (WM_QUIT 0).
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    DWORD m_nThreadId = 0;
    int m_nExitCode = 0;

protected:
    // Takes the next message: >0 a message, 0 WM_QUIT, -1 failure (never a message).
    virtual int FetchMessage(MSG& msg);
};

// The application object of the process (the last one constructed or run), or null.
CWinApp* GetApp();

// What the entry point calls: InitInstance, then Run when it succeeded, then ExitInstance,
// whose answer is the exit code.
int RunApplication(CWinApp& app);
