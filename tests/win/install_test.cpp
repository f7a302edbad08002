#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/install_folder_win.h"
#include "app/install_win.h"
#include "app/shortcuts_win.h"
#include "base/access_rules.h"
#include "base/handle_win.h"
#include "fw/safe_file_win.h"
#include "win_test_support.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder tree under the test's own folder for each case.
class InstallFiles : public testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(m_root);
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }
    std::wstring Make(const std::wstring& relative) {
        fs::create_directories(m_root + L"\\" + relative);
        return m_root + L"\\" + relative;
    }
    std::wstring Touch(const std::wstring& relative) {
        std::ofstream(fs::path(m_root + L"\\" + relative)) << "x";
        return m_root + L"\\" + relative;
    }
    const std::wstring m_root = wintest::ExeFolder() + L"install-test";
};

// Target, arguments, icon file and index, description of a link as the shell reads it back.
std::wstring ReadLink(const std::wstring& file) {
    base::ComPtr<IShellLinkW> link;
    base::ComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.PutVoid())) ||
        FAILED(link.As(persist)) || FAILED(persist->Load(file.c_str(), STGM_READ)))
        return L"no link";
    wchar_t path[MAX_PATH] = {}, args[MAX_PATH] = {}, icon[MAX_PATH] = {}, description[MAX_PATH] = {};
    int index = -1;
    link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(args, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &index);
    link->GetDescription(description, MAX_PATH);
    return std::wstring(path) + L"|" + args + L"|" + icon + L"," + std::to_wstring(index) + L"|" +
           description;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Ascii(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// What a token is granted on a file with an access list (owned by Administrators).
DWORD Granted(HANDLE token, DWORD desired, const std::wstring& list) {
    const fw::SecurityDescriptor sd((L"O:BAG:BA" + list).c_str());
    base::Handle impersonation;
    if (!sd || !DuplicateToken(token, SecurityImpersonation, impersonation.Put())) return ~0u;
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    MapGenericMask(&desired, &mapping);
    PRIVILEGE_SET privileges{};
    DWORD size = sizeof(privileges), granted = 0;
    BOOL allowed = FALSE;
    AccessCheck(sd.Get(), impersonation.Get(), desired, &mapping, &privileges, &size, &granted, &allowed);
    return allowed ? granted : 0;
}

} // namespace

TEST_F(InstallFiles, ShortcutsAreWrittenReadBackAndRemoved) {
    const ShortcutFolders folders{Make(L"public\\Desktop"), Make(L"user\\Desktop"), Make(L"programs")};
    // A missing target: neither link nor start-menu folder.
    EXPECT_FALSE(CreateStartMenuShortcut(L"VexaTarn微端", m_root + L"\\missing.exe", L"/TnVexaD", folders));
    EXPECT_FALSE(CreateDesktopShortcut(m_root + L"\\missing.exe", folders));
    EXPECT_TRUE(fs::is_empty(folders.commonPrograms) && fs::is_empty(folders.commonDesktop));

    const std::wstring target = Touch(L"TnVexa.exe");
    // A same-named shortcut on the user's own desktop goes; only the machine-wide one remains.
    const std::wstring own = Touch(L"user\\Desktop\\VexaTarn微端.lnk");
    ASSERT_TRUE(CreateDesktopShortcut(target, folders));
    EXPECT_FALSE(Exists(own));
    ASSERT_TRUE(CreateStartMenuShortcut(L"VexaTarn微端", target, L"/TnVexaD", folders));
    ASSERT_TRUE(CreateStartMenuShortcut(L"卸载 VexaTarn微端", target, L"/uninst", folders));
    const std::wstring menu = m_root + L"\\programs\\Vexa登录器";
    const std::wstring icon = L"|" + target + L",0|";
    EXPECT_EQ(ReadLink(folders.commonDesktop + L"\\VexaTarn微端.lnk"),
              target + L"|/TnVexaD" + icon + L"VexaTarn微端");
    EXPECT_EQ(ReadLink(menu + L"\\VexaTarn微端.lnk"), target + L"|/TnVexaD" + icon);
    EXPECT_EQ(ReadLink(menu + L"\\卸载 VexaTarn微端.lnk"), target + L"|/uninst" + icon);

    EXPECT_TRUE(DeleteDesktopShortcut(L"VexaTarn微端", folders));
    EXPECT_FALSE(DeleteDesktopShortcut(L"VexaTarn微端", folders));
    EXPECT_TRUE(DeleteStartMenuShortcut(L"VexaTarn微端", folders));
    EXPECT_FALSE(RemoveFolderWithoutFiles(menu)) << "the uninstall shortcut is still there";
    EXPECT_TRUE(DeleteStartMenuShortcut(L"卸载 VexaTarn微端", folders));
    Make(L"programs\\Vexa登录器\\empty\\emptier");
    EXPECT_TRUE(RemoveFolderWithoutFiles(menu));
    EXPECT_FALSE(Exists(menu));
}

TEST_F(InstallFiles, FilesAreCountedAtEveryDepthAndAMissingFolderIsNotEmpty) {
    Make(L"only-empty\\inner");
    Make(L"deep\\a\\b");
    Touch(L"deep\\a\\b\\one");
    SetFileAttributesW(Touch(L"deep\\two").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(CountFilesRecursive(m_root + L"\\only-empty"), 0u);
    EXPECT_EQ(CountFilesRecursive(m_root + L"\\only-empty\\"), 0u);
    EXPECT_EQ(CountFilesRecursive(m_root + L"\\missing"), 1u);
    EXPECT_EQ(CountFilesRecursive(m_root + L"\\deep"), 2u);
    EXPECT_EQ(CountFilesRecursive(L""), 0u);
}

TEST_F(InstallFiles, TheScriptsTextsAreExactAndOnlyTheOwnEmptyFolderIsRemoved) {
    const std::wstring scripts = Make(L"scripts"), install = Make(L"GameLogin"), other = Make(L"Downloads");
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
        const std::wstring name = fs::path(script).filename().wstring();
        ASSERT_TRUE(name.starts_with(L"Del") && name.ends_with(L".tmp.bat")) << script;

        const std::string exe = Ascii(c.exe), folder = Ascii(c.exe.substr(0, c.exe.rfind(L'\\')));
        std::string expected =
            "cd\\\r\nset /a tries=0\r\n:delexe\r\nset /a tries+=1\r\nping -n 2 127.0.0.1\r\ndel \"" + exe +
            "\"\r\nif exist \"" + exe + "\" if %tries% lss 3600 goto :delexe\r\n";
        if (c.longScript) expected += "del \"" + folder + "\" /Q /F /A\r\nrd \"" + folder + "\"\r\n";
        expected += "del \"" + Ascii(script) + "\"\r\n";
        std::ifstream f(fs::path(script), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), expected);
    }
}

TEST_F(InstallFiles, OnlySystemAndAdministratorsMayChangeTheScriptOrTheInstallFolders) {
    base::Handle elevated, limited;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, elevated.Put()));
    // The same user without the Administrators group: any program of theirs that is not elevated.
    BYTE admins[SECURITY_MAX_SID_SIZE], everyone[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(admins);
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &size));
    SID_AND_ATTRIBUTES disabled{admins, 0};
    ASSERT_TRUE(
        CreateRestrictedToken(elevated.Get(), 0, 1, &disabled, 0, nullptr, 0, nullptr, limited.Put()));
    // The folders' list without its owner part ("O:BA"), which Granted gives.
    const std::wstring folderList = kInstallFolderSddl + 4;
    for (const std::wstring& list : {std::wstring(kSelfDeleteScriptSddl), folderList}) {
        for (DWORD change : {DWORD(FILE_WRITE_DATA), DWORD(FILE_APPEND_DATA), DWORD(FILE_DELETE_CHILD),
                             DWORD(DELETE), DWORD(WRITE_DAC), DWORD(WRITE_OWNER), DWORD(GENERIC_WRITE)})
            EXPECT_EQ(Granted(limited.Get(), change, list), 0u) << std::hex << change;
        // The elevated command interpreter reads the script and deletes it at its end.
        EXPECT_NE(Granted(elevated.Get(), GENERIC_READ | DELETE, list), 0u);
    }
    // Users read and run what is installed.
    EXPECT_NE(Granted(limited.Get(), GENERIC_READ | GENERIC_EXECUTE, folderList), 0u);

    // The file has the list from its creation: no entry for everyone, as a default file has.
    const std::wstring script = WriteSelfDeleteScript(Touch(L"TnVexa.exe"), L"", Make(L"scripts"));
    base::LocalMemory<PSECURITY_DESCRIPTOR> sd;
    PACL dacl = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(script.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, &dacl, nullptr, sd.Put()),
              DWORD(ERROR_SUCCESS));
    size = sizeof(everyone);
    CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size);
    ACCESS_ALLOWED_ACE* ace = nullptr;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i)
        EXPECT_FALSE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)) && EqualSid(&ace->SidStart, everyone))
            << i;
}

TEST(InstallFolderTrust, TheOwnerAndTheListOfADescriptorDecide) {
    const struct {
        const wchar_t* sddl;
        bool trusted;
    } cases[] = {
        {kInstallFolderSddl, true},
        {L"O:SYD:P(A;;FA;;;SY)", true},
        {L"O:BAD:(D;;FA;;;WD)(A;;FA;;;BA)", true},
        {L"O:BUD:P(A;;FA;;;BA)", false},             // owned by the users
        {L"O:BA", false},                            // no list: everyone may do anything
        {L"O:BAD:(A;OICI;FA;;;CO)", false},          // whoever creates a file inside would own it
        {L"O:BAD:(A;;FA;;;BA)(A;;0x2;;;AU)", false}, // signed-in users add files
    };
    for (const auto& c : cases) {
        fw::SecurityDescriptor descriptor(c.sddl);
        ASSERT_TRUE(descriptor) << c.sddl;
        EXPECT_EQ(fw::OnlyAdministratorsMay(descriptor.Get(), base::kFolderChangeRights), c.trusted)
            << c.sddl;
    }
}

TEST_F(InstallFiles, AFolderSomeoneElseMayChangeIsMovedAsideAndMadeAnew) {
    // Wine keeps no access lists: a folder reads as owned by the user, as one someone else made.
    const std::wstring folder = Make(L"Vexa");
    Touch(L"Vexa\\winmm.dll");
    Touch(L"file");
    ASSERT_TRUE(fw::MakeAdministratorsFolder(folder, kInstallFolderSddl));
    ASSERT_TRUE(fw::MakeAdministratorsFolder(m_root + L"\\file", kInstallFolderSddl));
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_TRUE(fs::is_directory(m_root + L"\\file"));
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(m_root))
        names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 4u);
    EXPECT_TRUE(names[0] == L"Vexa" && names[1].starts_with(L"Vexa.aside-") &&
                names[3].starts_with(L"file.aside-"));
    EXPECT_TRUE(Exists(m_root + L"\\" + names[1] + L"\\winmm.dll"));
    Touch(L"Vexa\\kept");
    // A count leaves it alone (the running copy may live in it) and writes nothing there.
    EXPECT_FALSE(fw::MakeAdministratorsFolder(folder, kInstallFolderSddl, fw::Untrusted::Refuse));
    EXPECT_TRUE(Exists(folder + L"\\kept"));
    // Where the user stands in for the administrators (a test machine's switch) it is used.
    wintest::SetTestSwitch(L"TrustOwnUser", L"1");
    EXPECT_TRUE(fw::MakeAdministratorsFolder(folder, kInstallFolderSddl));
    wintest::ClearTestSwitches();
    EXPECT_TRUE(Exists(folder + L"\\kept"));
}

TEST_F(InstallFiles, TheAdministratorsFolderOthersMayChangeIsReprotectedWhereItIs) {
    // As a folder made in the machine's shared data folder inherits: users may add files. Wine keeps
    // only what a Unix mode holds (everyone for users) and no owner (the user stands in).
    const std::wstring folder = m_root + L"\\Vexa";
    Make(L"Vexa\\Other");
    fw::SecurityDescriptor loose(L"D:(A;;FA;;;BA)(A;CI;0x116;;;BU)(A;CI;0x116;;;WD)");
    ASSERT_TRUE(SetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, loose.Get()));
    wintest::SetTestSwitch(L"TrustOwnUser", L"1");
    const base::Handle handle = fw::OpenWithoutFollowing(folder, READ_CONTROL);
    ASSERT_FALSE(fw::OnlyAdministratorsMay(handle.Get(), SE_FILE_OBJECT, base::kFolderChangeRights));
    // A count, which never moves a folder, re-protects it too.
    EXPECT_TRUE(fw::MakeAdministratorsFolder(folder, kInstallFolderSddl, fw::Untrusted::Refuse));
    EXPECT_TRUE(fw::OnlyAdministratorsMay(handle.Get(), SE_FILE_OBJECT, base::kFolderChangeRights));
    wintest::ClearTestSwitches();
    EXPECT_TRUE(fs::is_directory(folder + L"\\Other"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_root), fs::directory_iterator()), 1) << "nothing aside";
}

TEST_F(InstallFiles, TheInstalledCopyIsHandedOutOnlyHoldingTheSourcesBytes) {
    const std::wstring folder = Make(L"GameLogin"), target = folder + L"\\TnVexa.exe";
    std::ofstream(fs::path(m_root + L"\\source"), std::ios::binary) << std::string(200000, 'v');
    Touch(L"GameLogin\\TnVexa.exe");
    base::Handle source(CreateFileW((m_root + L"\\source").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    {
        const base::Handle installed = CopyVerified(source.Get(), target);
        ASSERT_TRUE(installed);
        EXPECT_FALSE(
            base::Handle(CreateFileW(target.c_str(), GENERIC_WRITE, 7, nullptr, OPEN_EXISTING, 0, nullptr)))
            << "nobody changes it while it is compared and started";
    }
    EXPECT_EQ(fs::file_size(target), 200000u);
    // An installed copy that runs on holds its file (no delete sharing, as Windows holds a running
    // image): it is kept when it holds the same bytes, and is no installed copy otherwise.
    const base::Handle running(
        CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(CopyVerified(source.Get(), target));
    const std::wstring other = Touch(L"other");
    EXPECT_FALSE(CopyVerified(
        base::Handle(CreateFileW(other.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)).Get(),
        target));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(InstallFiles, ANewFileIsNeverOneThatWasThereNorKeptWhereItWasNotMeantToBe) {
    const std::wstring folder = Make(L"dumps"), path = folder + L"\\a.dmp";
    const std::wstring expected = fw::FinalPathForNewFile(folder, L"a.dmp");
    ASSERT_FALSE(expected.empty());
    base::Handle made(fw::CreateNewFileAt(path.c_str(), expected.c_str(), GENERIC_WRITE, nullptr));
    EXPECT_TRUE(made);
    made.Reset();
    // What is there is not opened; a file that resolves elsewhere than asked is deleted again.
    EXPECT_FALSE(base::Handle(fw::CreateNewFileAt(path.c_str(), expected.c_str(), GENERIC_WRITE, nullptr)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    const std::wstring other = folder + L"\\b.dmp";
    EXPECT_FALSE(base::Handle(fw::CreateNewFileAt(other.c_str(), expected.c_str(), GENERIC_WRITE, nullptr)));
    EXPECT_FALSE(Exists(other));
}

TEST_F(InstallFiles, APathTheCodePagesCantHoldBecomesItsShortFormOrNothing) {
    // The test prefix's ANSI code page is 1252 and its OEM code page 437: "é" is in both but
    // not at the same byte, "微" in neither.
    EXPECT_EQ(ScriptPathText(Make(L"plain")), Ascii(m_root + L"\\plain"));
    for (const wchar_t* name : {L"caf\u00e9", L"\u5fae"}) {
        const std::wstring path = Make(name);
        wchar_t shortPath[MAX_PATH] = {};
        GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
        EXPECT_NE(shortPath, path);
        EXPECT_EQ(ScriptPathText(path), Ascii(shortPath));
        EXPECT_TRUE(
            std::all_of(shortPath, shortPath + wcslen(shortPath), [](wchar_t c) { return c < 0x80; }));
    }
    // A path with no short form (it does not exist) has no text at all.
    EXPECT_FALSE(ScriptPathText(m_root + L"\\\u5fae\u7aef.exe").has_value());
}
