// The stand-in publisher for Win32 tests: started from the test under Wine on 127.0.0.1 with a
// scenario file, stopped through its stop file, and its JSON request log read back.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace wintest {

struct LoggedRequest {
    std::string method;
    std::string requestLine;
    std::string path;
    std::string query;
    std::vector<std::pair<std::string, std::string>> headers; // in the order received

    // Value of the first header of this name (case ignored); empty when absent.
    std::string Header(const std::string& name) const;
};

class PublisherFixture {
public:
    PublisherFixture() = default;
    ~PublisherFixture() { Stop(); }
    PublisherFixture(const PublisherFixture&) = delete;
    PublisherFixture& operator=(const PublisherFixture&) = delete;

    // Starts the server with this scenario (JSON text) in a fresh work folder beside the test
    // executable and waits up to timeoutMs for its port. With setOverride, the "Publisher" test
    // switch names the server until Stop (read once per process: start the server before the code
    // under test first reads it).
    bool Start(const std::string& scenarioJson, bool setOverride = true, DWORD timeoutMs = 20000);
    // Asks the server to stop and waits up to timeoutMs until its port refuses connections; then
    // removes the work folder unless TNVEXA_KEEP_PUBLISHER is set.
    void Stop(DWORD timeoutMs = 5000);

    // Replaces the scenario; the server reads it again at its next request.
    bool SetScenario(const std::string& scenarioJson);
    // Forgets the requests logged so far.
    void ClearLog();
    std::vector<LoggedRequest> Requests() const;
    // Pumps messages until at least count requests are logged or the time is out.
    bool WaitForRequests(size_t count, DWORD timeoutMs) const;

    uint16_t Port() const { return m_port; }
    std::wstring Host() const;                                // "127.0.0.1:<port>"
    std::wstring BaseUrl() const;                             // "http://127.0.0.1:<port>"
    const std::wstring& WorkDir() const { return m_workDir; } // Windows path with a trailing backslash

    // The Unix path of a Windows path on drive Z: (the test tree); empty otherwise.
    static std::string UnixPath(const std::wstring& windowsPath);
    // Root of the source tree as a Unix path.
    static std::string SourceRoot();

private:
    std::wstring m_workDir;
    uint16_t m_port = 0;
    bool m_running = false;
    bool m_switchSet = false;
};

// Writes bytes to a file (created or truncated); false on failure.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Reads a whole file; false when it can't be opened.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);

} // namespace wintest
