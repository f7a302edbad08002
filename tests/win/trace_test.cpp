#include "base/trace_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/handle_win.h"
#include "fw/process_win.h"

namespace {

// Listens as DebugView does: a shared buffer and two events that every OutputDebugString of the
// session looks for. Other test programs may write at the same time: only this process's lines count.
class DebugOutputListener {
public:
    DebugOutputListener()
        : m_bufferReady(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY")),
          m_dataReady(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY")),
          m_mapping(
              CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER")) {
        m_view = m_mapping ? static_cast<const char*>(MapViewOfFile(m_mapping.Get(), FILE_MAP_READ, 0, 0, 0))
                           : nullptr;
        if (m_view) SetEvent(m_bufferReady.Get());
    }
    ~DebugOutputListener() {
        if (m_view) UnmapViewOfFile(m_view);
    }

    // The next line this process wrote, or empty after the bound.
    std::string NextOwnLine(DWORD boundMs) {
        const ULONGLONG end = GetTickCount64() + boundMs;
        while (m_view && GetTickCount64() < end) {
            if (WaitForSingleObject(m_dataReady.Get(), DWORD(end - GetTickCount64())) != WAIT_OBJECT_0) break;
            const DWORD pid = *reinterpret_cast<const DWORD*>(m_view);
            const std::string text(m_view + sizeof(DWORD),
                                   strnlen(m_view + sizeof(DWORD), 4096 - sizeof(DWORD)));
            SetEvent(m_bufferReady.Get());
            if (pid == GetCurrentProcessId()) return text;
        }
        return {};
    }

private:
    base::Handle m_bufferReady, m_dataReady, m_mapping;
    const char* m_view = nullptr;
};

} // namespace

TEST(Trace, AFailedStartReachesADebugListenerWithItsErrorAndKeepsTheLastError) {
    DebugOutputListener listener;
    bool started = true;
    fw::StartChildProcess(L"C:\\no such folder\\missing.exe", L"", L"C:\\", false, &started);
    const DWORD error = GetLastError();
    ASSERT_FALSE(started);
    ASSERT_NE(error, DWORD(ERROR_SUCCESS));
    char expected[160];
    wsprintfA(expected,
              "TnVexa[%lu]: process not started: C:\\no such folder\\missing.exe (error %lu = 0x%08lX)\n",
              GetCurrentProcessId(), error, error);
    EXPECT_EQ(listener.NextOwnLine(20000), expected);
}
