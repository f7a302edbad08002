#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/install_win.h"
#include "app/shortcuts_win.h"
#include "fw/handles_win.h"
#include "win_test_support.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder tree under the test's own folder, removed again at the end of the case.
class InstallFiles : public testing::Test {
protected:
    void SetUp() override {
        m_root = wintest::ExeFolder() + L"install-test";
        fs::remove_all(m_root);
        fs::create_directories(m_root);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    std::wstring Make(const std::wstring& relative) {
        fs::create_directories(m_root + L"\\" + relative);
        return m_root + L"\\" + relative;
    }
    std::wstring Touch(const std::wstring& relative) {
        std::ofstream(fs::path(m_root + L"\\" + relative)) << "x";
        return m_root + L"\\" + relative;
    }
    std::wstring m_root;
};

struct LinkSeen {
    std::wstring path, arguments, icon, description;
    int iconIndex = -1;
};

LinkSeen ReadLink(const std::wstring& file) {
    LinkSeen seen;
    fw::ComPtr<IShellLinkW> link;
    fw::ComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.PutVoid())) ||
        FAILED(link.As(persist)) || FAILED(persist->Load(file.c_str(), STGM_READ)))
        return seen;
    wchar_t text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    seen.path = text;
    link->GetArguments(text, MAX_PATH);
    seen.arguments = text;
    link->GetIconLocation(text, MAX_PATH, &seen.iconIndex);
    seen.icon = text;
    text[0] = 0;
    link->GetDescription(text, MAX_PATH);
    seen.description = text;
    return seen;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FileBytes(const std::wstring& path) {
    std::ifstream f(fs::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::string Ascii(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// What a token may do to a file with the script's access list (owned by Administrators).
DWORD Granted(HANDLE token, DWORD desired) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    const std::wstring sddl = std::wstring(L"O:BAG:BA") + kSelfDeleteScriptSddl;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr))
        return ~0u;
    fw::Handle impersonation;
    DuplicateToken(token, SecurityImpersonation, impersonation.Put());
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    PRIVILEGE_SET privileges{};
    DWORD size = sizeof(privileges), granted = 0;
    BOOL allowed = FALSE;
    MapGenericMask(&desired, &mapping);
    const BOOL checked =
        AccessCheck(sd, impersonation.Get(), desired, &mapping, &privileges, &size, &granted, &allowed);
    LocalFree(sd);
    return checked && allowed ? granted : 0;
}

} // namespace

TEST_F(InstallFiles, ShortcutsAreWrittenReadBackAndRemoved) {
    const std::wstring target = Touch(L"TnVexa.exe");
    const ShortcutFolders folders{Make(L"public\\Desktop"), Make(L"user\\Documents"), Make(L"programs")};
    // A same-named shortcut on the user's own desktop goes; only the machine-wide one remains.
    Make(L"user\\Desktop");
    const std::wstring own = Touch(L"user\\Desktop\\VexaTarn微端.lnk");
    ASSERT_TRUE(CreateDesktopShortcut(target, folders));
    EXPECT_FALSE(Exists(own));
    ASSERT_TRUE(CreateStartMenuShortcut(L"VexaTarn微端", target, L"/TnVexaD", folders));
    ASSERT_TRUE(CreateStartMenuShortcut(L"卸载 VexaTarn微端", target, L"/uninst", folders));

    const std::wstring menu = m_root + L"\\programs\\Vexa登录器";
    struct Case {
        std::wstring link, arguments, description;
    } cases[] = {
        {m_root + L"\\public\\Desktop\\VexaTarn微端.lnk", L"/TnVexaD", L"VexaTarn微端"},
        {menu + L"\\VexaTarn微端.lnk", L"/TnVexaD", L""},
        {menu + L"\\卸载 VexaTarn微端.lnk", L"/uninst", L""},
    };
    for (const auto& c : cases) {
        const LinkSeen seen = ReadLink(c.link);
        EXPECT_EQ(seen.path, target) << c.link;
        EXPECT_EQ(seen.arguments, c.arguments) << c.link;
        EXPECT_EQ(seen.icon, target) << c.link;
        EXPECT_EQ(seen.iconIndex, 0) << c.link;
        EXPECT_EQ(seen.description, c.description) << c.link;
    }

    EXPECT_TRUE(DeleteDesktopShortcut(L"VexaTarn微端", folders));
    EXPECT_FALSE(DeleteDesktopShortcut(L"VexaTarn微端", folders));
    EXPECT_TRUE(DeleteStartMenuShortcut(L"VexaTarn微端", folders));
    EXPECT_FALSE(RemoveFolderWithoutFiles(menu)) << "the uninstall shortcut is still there";
    EXPECT_TRUE(DeleteStartMenuShortcut(L"卸载 VexaTarn微端", folders));
    Make(L"programs\\Vexa登录器\\empty\\emptier");
    EXPECT_TRUE(RemoveFolderWithoutFiles(menu));
    EXPECT_FALSE(Exists(menu));
}

TEST_F(InstallFiles, NoStartMenuFolderForAMissingTarget) {
    const ShortcutFolders folders{Make(L"desk"), Make(L"user\\Documents"), Make(L"programs")};
    EXPECT_FALSE(CreateStartMenuShortcut(L"VexaTarn微端", m_root + L"\\missing.exe", L"/TnVexaD", folders));
    EXPECT_FALSE(CreateDesktopShortcut(m_root + L"\\missing.exe", folders));
    EXPECT_TRUE(fs::is_empty(m_root + L"\\programs"));
    EXPECT_TRUE(fs::is_empty(m_root + L"\\desk"));
}

TEST_F(InstallFiles, FilesAreCountedAtEveryDepthAndAMissingFolderIsNotEmpty) {
    Make(L"only-empty\\inner");
    Make(L"deep\\a\\b");
    Touch(L"deep\\a\\b\\one");
    const std::wstring hidden = Touch(L"deep\\two");
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(CountFilesRecursive(m_root + L"\\only-empty"), 0u);
    EXPECT_EQ(CountFilesRecursive(m_root + L"\\only-empty\\"), 0u);
    EXPECT_EQ(CountFilesRecursive(m_root + L"\\missing"), 1u);
    EXPECT_EQ(CountFilesRecursive(m_root + L"\\deep"), 2u);
    EXPECT_EQ(CountFilesRecursive(L""), 0u);
    EXPECT_FALSE(RemoveFolderWithoutFiles(m_root + L"\\missing"));
}

TEST_F(InstallFiles, TheScriptsTextsAreExactAndOnlyTheOwnEmptyFolderIsRemoved) {
    const std::wstring scripts = Make(L"scripts");
    const std::wstring install = Make(L"GameLogin");
    const std::wstring other = Make(L"Downloads");
    struct Case {
        std::wstring exe, besides;
        bool longScript;
    } cases[] = {
        {install + L"\\TnVexa.exe", L"", true},
        {install + L"\\TnVexa.exe", L"GameLogin\\Statistic.ini", false},
        {other + L"\\TnVexa.exe", L"", false},
    };
    for (const auto& c : cases) {
        Touch(c.exe.substr(m_root.size() + 1));
        if (!c.besides.empty()) Touch(c.besides);
        const std::wstring script = WriteSelfDeleteScript(c.exe, install, scripts);
        ASSERT_FALSE(script.empty()) << c.exe;
        const std::wstring name = fs::path(script).filename().wstring();
        EXPECT_EQ(name.substr(0, 3), L"Del") << name;
        EXPECT_EQ(name.substr(name.size() - 8), L".tmp.bat") << name;

        const std::string exe = Ascii(c.exe), folder = Ascii(c.exe.substr(0, c.exe.rfind(L'\\')));
        std::string expected = "cd\\\r\n:delexe\r\nping -n 1 127.0.0.1\r\ndel \"" + exe +
                               "\"\r\nif exist \"" + exe + "\" goto :delexe\r\n";
        if (c.longScript) expected += "del \"" + folder + "\" /Q /F /A\r\nrd \"" + folder + "\"\r\n";
        expected += "del \"" + Ascii(script) + "\"\r\n";
        EXPECT_EQ(FileBytes(script), expected);
        DeleteFileW(script.c_str());
    }
}

TEST_F(InstallFiles, OnlySystemAndAdministratorsMayChangeTheScript) {
    fw::Handle elevated, limited;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, elevated.Put()));
    // The same user without the Administrators group: any program of theirs not elevated.
    BYTE admins[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(admins);
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &size));
    SID_AND_ATTRIBUTES disabled{admins, 0};
    ASSERT_TRUE(
        CreateRestrictedToken(elevated.Get(), 0, 1, &disabled, 0, nullptr, 0, nullptr, limited.Put()));
    for (DWORD change : {DWORD(FILE_WRITE_DATA), DWORD(FILE_APPEND_DATA), DWORD(DELETE), DWORD(WRITE_DAC),
                         DWORD(WRITE_OWNER), DWORD(GENERIC_WRITE)})
        EXPECT_EQ(Granted(limited.Get(), change), 0u) << std::hex << change;
    // The elevated command interpreter reads it and deletes it at its end.
    EXPECT_NE(Granted(elevated.Get(), GENERIC_READ | DELETE), 0u);

    // The list is the file's from its creation: nothing of the folder's default for everyone.
    const std::wstring exe = Touch(L"TnVexa.exe");
    const std::wstring script = WriteSelfDeleteScript(exe, L"", Make(L"scripts"));
    ASSERT_FALSE(script.empty());
    PSECURITY_DESCRIPTOR sd = nullptr;
    PACL dacl = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(script.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, &dacl, nullptr, &sd),
              DWORD(ERROR_SUCCESS));
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    size = sizeof(everyone);
    CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size);
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_FALSE(EqualSid(&ace->SidStart, everyone)) << "entry " << i;
    }
    LocalFree(sd);
}

TEST(ScriptPaths, APathTheCodePagesCantHoldBecomesItsShortFormOrNothing) {
    // The test prefix's ANSI code page is 1252 and its OEM code page 437: "é" is in both but
    // not at the same byte, "微" in neither.
    const std::wstring root = wintest::ExeFolder() + L"script-paths";
    fs::remove_all(root);
    for (const wchar_t* name : {L"plain", L"caf\u00e9", L"\u5fae"})
        fs::create_directories(root + L"\\" + name);
    EXPECT_EQ(ScriptPathText(root + L"\\plain"), Ascii(root + L"\\plain"));
    for (const wchar_t* name : {L"caf\u00e9", L"\u5fae"}) {
        const auto text = ScriptPathText(root + L"\\" + name);
        ASSERT_TRUE(text.has_value());
        wchar_t shortPath[MAX_PATH] = {};
        GetShortPathNameW((root + L"\\" + name).c_str(), shortPath, MAX_PATH);
        EXPECT_NE(std::wstring(shortPath), root + L"\\" + name);
        EXPECT_EQ(*text, Ascii(shortPath));
        EXPECT_TRUE(std::all_of(text->begin(), text->end(), [](char c) { return (c & 0x80) == 0; })) << *text;
    }
    // A path with no short form (it does not exist) has no text at all.
    EXPECT_FALSE(ScriptPathText(root + L"\\\u5fae\u7aef.exe").has_value());
    fs::remove_all(root);
}
