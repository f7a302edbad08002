#include "fw/process_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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
        base::Handle process = fw::StartChildProcess(exe, L" /newgm /1234 /2", folder, true, &started);
        ASSERT_TRUE(started);
        ASSERT_EQ(WaitForSingleObject(process.Get(), 30000), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(process.Get(), &code);
        EXPECT_EQ(code, 0u);
        // The child runs in the folder it was given, not in the caller's.
        EXPECT_EQ(ArgsSeen(folder), "/newgm|/1234|/2|") << name.size();
    }
}
