#include "fw/process_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "mainwnd/game_client_win.h"
#include "net/signature_win.h"
#include "publisher_fixture.h"
#include "win_test_support.h"

namespace {

// Copies echo_args.exe into `folder` (made if needed) and answers the copy's path.
std::wstring PlaceEcho(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring target = folder + L"\\echo_args.exe";
    CopyFileW((wintest::ExeFolder() + L"echo_args.exe").c_str(), target.c_str(), FALSE);
    return target;
}

std::string ArgsSeen(const std::wstring& folder) {
    std::ifstream f(std::filesystem::path(folder + L"\\echo_args.txt"));
    std::string all, line;
    while (std::getline(f, line))
        all += line + "|";
    return all;
}

} // namespace

TEST(ChildProcess, OptionsArriveAsTheChildsFirstArgumentsWhereverItLies) {
    for (const std::wstring name : {L"plain", L"with blank"}) {
        const std::wstring folder = wintest::ExeFolder() + name;
        const std::wstring exe = PlaceEcho(folder);
        DeleteFileW((folder + L"\\echo_args.txt").c_str());
        bool started = false;
        fw::Handle process = fw::StartChildProcess(exe, L" /newgm /1234 /2", true, &started);
        ASSERT_TRUE(started);
        ASSERT_EQ(WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(process.Get(), &code);
        EXPECT_EQ(code, 0u);
        // The child runs in the caller's folder.
        EXPECT_EQ(ArgsSeen(wintest::ExeFolder()), "/newgm|/1234|/2|") << name.size();
    }
}

// A game client started from its held file runs in its own folder with a search path of the
// system's folders and its own, wherever the launcher was started from and whatever its PATH.
TEST(ClientProcess, AClientRunsInItsFolderWithTheSystemSearchPath) {
    const std::wstring folder = wintest::ExeFolder() + L"client home", client = folder + L"\\Stub.exe";
    const std::wstring mark = wintest::ExeFolder() + L"client-mark.txt";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((wintest::ExeFolder() + L"client_stub.exe").c_str(), client.c_str(), FALSE));
    DeleteFileW(mark.c_str());
    SetCurrentDirectoryW(wintest::ExeFolder().c_str());
    SetEnvironmentVariableW(L"PATH", (wintest::ExeFolder() + L";C:\\players\\bin").c_str());
    SetEnvironmentVariableW(L"TNVEXA_CLIENT_MARK", mark.c_str());
    {
        const fw::Handle held = net::OpenPinned(client, false);
        ASSERT_TRUE(mainwnd::StartHeldClient(held.Get()));
    }
    std::string line;
    ASSERT_TRUE(wintest::PumpUntil([&] { return wintest::ReadFileBytes(mark, line) && line.ends_with("\n"); },
                                   20000));
    std::wstring wide(line.size(), L'\0');
    wide.resize(
        MultiByteToWideChar(CP_UTF8, 0, line.data(), int(line.size()), wide.data(), int(wide.size())));
    wchar_t system[MAX_PATH] = {}, windows[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    // The stub's line: its path, command line, current folder and PATH, tab-separated.
    const size_t cwd = wide.find(L'\t', wide.find(L'\t') + 1) + 1, path = wide.find(L'\t', cwd) + 1;
    EXPECT_EQ(CompareStringOrdinal(wide.substr(cwd, path - 1 - cwd).c_str(), -1, folder.c_str(), -1, TRUE),
              CSTR_EQUAL)
        << wide;
    EXPECT_EQ(wide.substr(path, wide.size() - 1 - path),
              std::wstring(system) + L";" + windows + L";" + system + L"\\Wbem;" + folder)
        << wide;
}
