#include "base/trace_win.h"

#include <windows.h>

#include "base/trace.h"

namespace base {

void Trace(std::wstring_view what, unsigned long code) {
    Trace(what, {}, code);
}

// The narrow call, with the text converted here on the stack: the wide call converts into a heap
// string of its own, which a crash may have damaged (and Wine shows it only on its exception
// channel). The line is ASCII but for file and route names, which the code page carries.
void Trace(std::wstring_view what, std::wstring_view detail, unsigned long code) {
    const DWORD lastError = GetLastError();
    wchar_t line[kTraceLineMax];
    FormatTraceLine(line, kTraceLineMax, GetCurrentProcessId(), what, detail, code);
    char narrow[kTraceLineMax * 3]; // room for a UTF-8 code page
    if (WideCharToMultiByte(CP_ACP, 0, line, -1, narrow, int(sizeof narrow), nullptr, nullptr) > 0)
        OutputDebugStringA(narrow);
    SetLastError(lastError);
}

} // namespace base
