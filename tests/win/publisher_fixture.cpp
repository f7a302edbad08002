#include "publisher_fixture.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <wininet.h>

#include "win_test_support.h"

namespace wintest {

namespace {

// Whether a server still answers on this loopback port (a stopped one refuses the connection).
bool Answers(uint16_t port) {
    HINTERNET net = InternetOpenW(L"fixture", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port) + L"/";
    HINTERNET answer =
        net ? InternetOpenUrlW(net, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0) : nullptr;
    if (answer) InternetCloseHandle(answer);
    if (net) InternetCloseHandle(net);
    return answer != nullptr;
}

// Just enough JSON for the request log: objects, arrays, strings, numbers, literals.
class JsonReader {
public:
    explicit JsonReader(const std::string& text) : m_s(text) {}

    bool ParseRequest(LoggedRequest& out) {
        if (!Expect('{')) return false;
        for (bool first = true;; first = false) {
            Skip();
            if (Peek() == '}') return ++m_i, true;
            if (!first && !Expect(',')) return false;
            std::string key;
            if (!String(key) || !Expect(':')) return false;
            bool ok = true;
            if (key == "method")
                ok = String(out.method);
            else if (key == "request_line")
                ok = String(out.requestLine);
            else if (key == "path")
                ok = String(out.path);
            else if (key == "query")
                ok = String(out.query);
            else if (key == "headers")
                ok = Headers(out.headers);
            else
                ok = SkipValue();
            if (!ok) return false;
        }
    }

private:
    void Skip() {
        while (m_i < m_s.size() && std::strchr(" \t\r\n", m_s[m_i]))
            ++m_i;
    }
    char Peek() {
        Skip();
        return m_i < m_s.size() ? m_s[m_i] : '\0';
    }
    bool Expect(char c) {
        if (Peek() != c) return false;
        ++m_i;
        return true;
    }
    static void AppendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    bool String(std::string& out) {
        if (!Expect('"')) return false;
        out.clear();
        while (m_i < m_s.size()) {
            const char c = m_s[m_i++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_i >= m_s.size()) return false;
            const char e = m_s[m_i++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                if (m_i + 4 > m_s.size()) return false;
                unsigned cp = std::stoul(m_s.substr(m_i, 4), nullptr, 16);
                m_i += 4;
                if (cp >= 0xD800 && cp < 0xDC00 && m_s.compare(m_i, 2, "\\u") == 0) {
                    const unsigned low = std::stoul(m_s.substr(m_i + 2, 4), nullptr, 16);
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    m_i += 6;
                }
                AppendUtf8(out, cp);
                break;
            }
            default:
                out += e;
                break;
            }
        }
        return false;
    }
    bool Headers(std::vector<std::pair<std::string, std::string>>& out) {
        if (!Expect('[')) return false;
        for (bool first = true;; first = false) {
            if (Peek() == ']') return ++m_i, true;
            if (!first && !Expect(',')) return false;
            std::pair<std::string, std::string> h;
            if (!Expect('[') || !String(h.first) || !Expect(',') || !String(h.second) || !Expect(']'))
                return false;
            out.push_back(std::move(h));
        }
    }
    bool SkipValue() {
        const char c = Peek();
        if (c == '"') {
            std::string ignored;
            return String(ignored);
        }
        if (c == '{' || c == '[') {
            int depth = 0;
            for (; m_i < m_s.size(); ++m_i) {
                if (m_s[m_i] == '"') {
                    std::string ignored;
                    if (!String(ignored)) return false;
                    --m_i;
                } else if (m_s[m_i] == '{' || m_s[m_i] == '[') {
                    ++depth;
                } else if ((m_s[m_i] == '}' || m_s[m_i] == ']') && --depth == 0) {
                    ++m_i;
                    return true;
                }
            }
            return false;
        }
        while (m_i < m_s.size() && !std::strchr(",}]", m_s[m_i]))
            ++m_i;
        return true;
    }

    const std::string& m_s;
    size_t m_i = 0;
};

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += static_cast<char>(c < 0x80 ? c : '?');
    return out;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace

std::string LoggedRequest::Header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (_stricmp(key.c_str(), name.c_str()) == 0) return value;
    return {};
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return false;
    bytes.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.append(buffer, n);
    std::fclose(f);
    return true;
}

std::string PublisherFixture::UnixPath(const std::wstring& windowsPath) {
    if (windowsPath.size() < 2 || (windowsPath[0] != L'Z' && windowsPath[0] != L'z') ||
        windowsPath[1] != L':')
        return {};
    std::string out = Narrow(windowsPath.substr(2));
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string PublisherFixture::SourceRoot() {
    // The tree the build was configured from, as an absolute path: the name the compiler is given
    // for this file is relative to the build tree under some generators.
    return TNVEXA_SOURCE_ROOT;
}

std::wstring PublisherFixture::Host() const {
    return L"127.0.0.1:" + std::to_wstring(m_port);
}

std::wstring PublisherFixture::BaseUrl() const {
    return L"http://" + Host();
}

bool PublisherFixture::SetScenario(const std::string& scenarioJson) {
    // Written aside and renamed, so the server never reads half a file.
    const std::wstring tmp = m_workDir + L"scenario.json.tmp";
    return WriteFileBytes(tmp, scenarioJson) &&
           MoveFileExW(tmp.c_str(), (m_workDir + L"scenario.json").c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool PublisherFixture::Start(const std::string& scenarioJson, bool setOverride, DWORD timeoutMs) {
    Stop();
    m_workDir = ExeFolder() + L"publisher-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount()) + L"\\";
    CreateDirectoryW(m_workDir.c_str(), nullptr);
    if (!SetScenario(scenarioJson)) return false;
    const std::string unixDir = UnixPath(m_workDir);
    const std::string root = SourceRoot();
    if (unixDir.empty() || root.empty()) return false;
    // Under Wine a Unix program is started by its Unix path; it gets no process handle, so the
    // server is told to stop through a file and bounded by a lifetime of its own.
    std::wstring cmd = L"Z:\\usr\\bin\\python3 " + Widen(root) +
                       L"/tools/publisher/server.py --port 0 --root " + Widen(root) +
                       L"/tools/publisher/site --log " + Widen(unixDir) + L"requests.jsonl --scenario " +
                       Widen(unixDir) + L"scenario.json --port-file " + Widen(unixDir) +
                       L"port --stop-file " + Widen(unixDir) + L"stop --lifetime 900";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    std::string port;
    PumpUntil([&] { return ReadFileBytes(m_workDir + L"port", port) && !port.empty(); }, timeoutMs);
    m_port = static_cast<uint16_t>(std::atoi(port.c_str()));
    if (m_port == 0) return false;
    m_running = true;
    if (setOverride) {
        if (!SetTestSwitch(L"Publisher", Host().c_str())) return false;
        m_switchSet = true;
    }
    return true;
}

void PublisherFixture::Stop(DWORD timeoutMs) {
    if (!m_running) return;
    m_running = false;
    if (m_switchSet) SetTestSwitch(L"Publisher", nullptr);
    m_switchSet = false;
    WriteFileBytes(m_workDir + L"stop", "stop");
    // Its folder must outlast the server: a server that never saw its stop file would run on.
    PumpUntil([this] { return !Answers(m_port); }, timeoutMs);
    // The work folder goes with the server unless someone wants to look at it.
    if (GetEnvironmentVariableW(L"TNVEXA_KEEP_PUBLISHER", nullptr, 0) == 0) {
        std::error_code ignored;
        std::filesystem::remove_all(m_workDir, ignored);
    }
}

void PublisherFixture::ClearLog() {
    DeleteFileW((m_workDir + L"requests.jsonl").c_str());
}

std::vector<LoggedRequest> PublisherFixture::Requests() const {
    std::vector<LoggedRequest> out;
    std::string text;
    if (!ReadFileBytes(m_workDir + L"requests.jsonl", text)) return out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        LoggedRequest request;
        if (!line.empty() && JsonReader(line).ParseRequest(request)) out.push_back(std::move(request));
    }
    return out;
}

bool PublisherFixture::WaitForRequests(size_t count, DWORD timeoutMs) const {
    return PumpUntil([&] { return Requests().size() >= count; }, timeoutMs);
}

} // namespace wintest
