#include "app/update_win.h"

#include <windows.h>

#include <vector>

#include "app/settings_rules.h"
#include "app/settings_win.h"
#include "app/start_mode_win.h"
#include "app/update.h"
#include "base/executable_path_win.h"
#include "base/md5.h"
#include "base/text.h"
#include "base/trace_win.h"
#include "fw/handles_win.h"
#include "fw/safe_file_win.h"
#include "net/http_win.h"
#include "net/publisher_win.h"
#include "net/signature_win.h"

namespace app {

namespace {

// Text read from an INI-derived key travels through the ANSI code page, as the
// comparison with the local key always saw it (at most 63 bytes).
std::wstring ThroughAnsi(const std::wstring& text) {
    char narrow[64] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow, sizeof(narrow) - 1, nullptr, nullptr);
    wchar_t wide[64] = {};
    MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide, 64);
    return wide;
}

void DeleteAtRestart(const std::wstring& path) {
    MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

bool FlushToDisk(const std::wstring& path) {
    fw::Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && FlushFileBuffers(file.Get());
}

// A rename that is on the disk when it returns.
bool MoveDurably(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

} // namespace

UpdateEnvironment DefaultUpdateEnvironment() {
    UpdateEnvironment env;
    env.exePath = base::ExecutablePath();
    env.configUrl = net::PublisherUrl(net::PublisherSite::Client, kUpdateConfigPath);
    env.startMode = [] { return CurrentStartRequest().mode; };
    env.isUpdateDay = [] { return IsUpdateDay(); };
    return env;
}

std::wstring LocalReleaseKey(const std::wstring& exePath) {
    return ReleaseKey(base::Md5FileHex(exePath), kVersionText);
}

bool SwapExecutable(const std::wstring& exePath, const std::wstring& newPath, const std::wstring& oldPath,
                    const HeldFileCheck& accept, const std::function<void(SwapPoint)>& reached) {
    auto passed = [&](SwapPoint point) {
        if (reached) reached(point);
    };
    const auto failed = [](const wchar_t* step, const std::wstring& path) {
        base::Trace(step, path, GetLastError());
        return false;
    };
    // A power cut must not leave a name pointing at bytes that never reached the disk: the new
    // file is written through before any rename, and each rename before the next one.
    if (!FlushToDisk(newPath)) return failed(L"update: new file not flushed", newPath);
    fw::Handle held = net::OpenPinned(newPath, true);
    if (!held) return failed(L"update: new file not opened", newPath);
    if (!accept || !accept(held.Get())) {
        base::Trace(L"update: new file refused", newPath, 0); // the check's line before says why
        return false;
    }
    passed(SwapPoint::NewFlushed);
    if (!MoveDurably(exePath, oldPath)) return failed(L"update: running file not moved aside", exePath);
    passed(SwapPoint::OldMoved);
    if (!fw::RenameByHandle(held.Get(), exePath, false)) {
        failed(L"update: new file not renamed", exePath);
        // Half-way: put the running executable back so that the program can still start.
        MoveDurably(oldPath, exePath);
        return false;
    }
    held.Reset();
    FlushToDisk(exePath); // the rename through the handle, written through like the others
    passed(SwapPoint::NewMoved);
    DeleteAtRestart(oldPath);
    return true;
}

uint64_t FileVersionOf(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return 0;
    std::vector<uint8_t> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return 0;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != 0xFEEF04BD)
        return 0;
    return static_cast<uint64_t>(fixed->dwFileVersionMS) << 32 | fixed->dwFileVersionLS;
}

bool SelfUpdate::FetchConfiguration() {
    m_publishedKey.clear();
    const std::wstring file = ProgramFolderFileFor(m_env.exePath, kUpdateConfigFile);
    if (!net::HttpFetchToFile(m_env.configUrl, file, 512, nullptr, nullptr, net::kMaxConfigBytes))
        return false;
    wchar_t key[64] = {};
    GetPrivateProfileStringW(kConfigSection.data(), kConfigKeyName.data(), L"", key, 64, file.c_str());
    wchar_t address[512] = {};
    GetPrivateProfileStringW(kConfigSection.data(), kConfigAddrName.data(), L"", address, 512, file.c_str());
    DeleteFileW(file.c_str());
    m_publishedKey = ThroughAnsi(key);
    m_updateAddress = address;
    return true;
}

int SelfUpdate::CheckForUpdate(bool forced) {
    if (!forced) {
        if (!m_env.startMode || !StartModeMayCheckForUpdate(m_env.startMode())) return 0;
        if (!m_env.isUpdateDay || !m_env.isUpdateDay()) return 0;
    }
    FetchConfiguration();
    if (m_publishedKey.empty()) return 0;
    const std::wstring localKey = LocalReleaseKey(m_env.exePath);
    // Without a readable executable there is nothing to compare: no update rather than an
    // update on every start.
    if (localKey.empty()) return 0;
    return ReleaseKeysDiffer(m_publishedKey, localKey) ? 1 : 0;
}

bool SelfUpdate::DownloadAndSwap(const UpdateDownloader& download) {
    const std::wstring newPath(base::Truncate(ProgramFolderFileFor(m_env.exePath, kNewExeFile), 259));
    const std::wstring source(base::Truncate(m_updateAddress, 511));
    bool ok = download && download(source, newPath);
    // A complete file is only the release when its digest is the one the key publishes.
    if (ok && !DigestMatchesReleaseKey(base::Md5FileHex(newPath), m_publishedKey)) {
        base::Trace(L"update: digest differs from the published key", 0);
        ok = false;
    }
    // ...and it only runs when the publisher signed these very bytes, and it is no older than this
    // program (an older signed release, served again, would bring back what it got wrong).
    const HeldFileCheck signedAndNotOlder = [&](HANDLE held) {
        if (!net::VerifyPublishedSignature(held, source)) return false;
        const bool notOlder = FileVersionOf(newPath) >= PackedVersion(kVersionText);
        if (!notOlder) base::Trace(L"update: release older than this program", 0);
        return notOlder;
    };
    if (ok)
        ok = SwapExecutable(m_env.exePath, newPath, ProgramFolderFileFor(m_env.exePath, kOldExeFile),
                            signedAndNotOlder);
    if (!ok) DeleteAtRestart(newPath);
    return ok;
}

} // namespace app
