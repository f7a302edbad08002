#include "app/update_win.h"

#include <windows.h>

#include <vector>

#include "app/pe_version.h"
#include "app/settings_rules.h"
#include "app/update.h"
#include "base/handle_win.h"
#include "base/md5.h"
#include "base/text.h"
#include "base/trace_win.h"
#include "fw/safe_file_win.h"
#include "net/http_win.h"

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

// A rename that is on the disk when it returns.
bool MoveDurably(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

} // namespace

std::wstring LocalReleaseKey(const std::wstring& exePath) {
    return ReleaseKey(base::Md5FileHex(exePath), kVersionText);
}

bool SwapExecutable(const std::wstring& exePath, base::Handle held, const std::wstring& oldPath,
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
    if (!held || !FlushFileBuffers(held.Get())) return failed(L"update: new file not flushed", exePath);
    if (!accept || !accept(held.Get())) {
        base::Trace(L"update: new file refused", exePath, 0); // the check's line before says why
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
    FlushFileBuffers(held.Get()); // the rename through the handle, written through like the others
    held.Reset();
    passed(SwapPoint::NewMoved);
    DeleteAtRestart(oldPath);
    return true;
}

uint64_t FileVersionOf(HANDLE file) {
    return PeFileVersion([file](uint64_t offset, void* out, size_t size) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        return size <= MAXDWORD && ReadFile(file, out, static_cast<DWORD>(size), &read, &at) && read == size;
    });
}

bool SelfUpdate::FetchConfiguration() {
    m_publishedKey.clear();
    const std::wstring file = ProgramFolderFileFor(m_env.exePath, kUpdateConfigFile);
    if (!net::HttpFetchToFile(m_env.configUrl, file, 512, nullptr, nullptr, net::kMaxConfigBytes))
        return false;
    wchar_t key[64] = {};
    GetPrivateProfileStringW(kConfigSection.data(), kConfigKeyName.data(), L"", key, 64, file.c_str());
    m_updateAddress = net::ReadDownloadAddress(file);
    DeleteFileW(file.c_str());
    m_publishedKey = ThroughAnsi(key);
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
    net::SignedDownload request;
    request.source = m_updateAddress;
    request.destination = base::Truncate(ProgramFolderFileFor(m_env.exePath, kNewExeFile), 259);
    request.signedName = kSignedExeName;
    request.chunk = 512;
    request.md5 = true;
    request.use = net::HeldFor::Rename;
    net::HeldDownload held;
    bool ok = download && download(request, held) && held.file;
    // A signed file is only the release when its digest is the one the key publishes.
    if (ok && !DigestMatchesReleaseKey(held.md5Hex, m_publishedKey)) {
        base::Trace(L"update: digest differs from the published key", 0);
        ok = false;
    }
    // ...and it only runs when it is no older than this program (an older signed release,
    // served again, would bring back what it got wrong).
    const HeldFileCheck notOlder = [](HANDLE file) {
        const bool older = FileVersionOf(file) < PackedVersion(kVersionText);
        if (older) base::Trace(L"update: release older than this program", 0);
        return !older;
    };
    if (ok)
        ok = SwapExecutable(m_env.exePath, std::move(held.file),
                            ProgramFolderFileFor(m_env.exePath, kOldExeFile), notOlder);
    held.file.Reset();
    if (!ok) DeleteAtRestart(request.destination);
    return ok;
}

} // namespace app
