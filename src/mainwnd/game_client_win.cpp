#include "mainwnd/game_client_win.h"

#include <accctrl.h>

#include "base/access_rules.h"
#include "base/rate_limit.h"
#include "base/trace_win.h"
#include "fw/client_process_win.h"
#include "fw/safe_file_win.h"
#include "net/signature_win.h"

namespace mainwnd {

namespace {

constexpr uint64_t kClientStartIntervalMs = 1000;

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return !a.empty() && ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// A plain file or folder (no link) as `folder` asks, resolving to exactly `path`, that only the
// system and the administrators may change.
bool Trusted(HANDLE object, const std::wstring& path, bool folder) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!object || !::GetFileInformationByHandleEx(object, FileAttributeTagInfo, &tag, sizeof(tag)))
        return false;
    const bool isFolder = (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return isFolder == folder && !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           SamePath(fw::FinalPath(object), path) &&
           fw::OnlyAdministratorsMay(object, SE_FILE_OBJECT, base::kFolderChangeRights);
}

} // namespace

ClientCheck HoldInstalledClient(const std::wstring& path, base::Handle& held) {
    base::Handle file = net::OpenPinned(path, false);
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return ClientCheck::Missing;
        // Held open for writing by someone else, a folder of that name, ...
        base::Trace(L"installed game client not held", path, error);
        return ClientCheck::Refused;
    }
    const size_t slash = path.rfind(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    const base::Handle parent = fw::OpenWithoutFollowing(folder, READ_CONTROL | FILE_READ_ATTRIBUTES);
    if (!Trusted(file.Get(), path, false) || !Trusted(parent.Get(), folder, true)) {
        base::Trace(L"installed game client not trusted", path, 0);
        return ClientCheck::Refused;
    }
    held = std::move(file);
    return ClientCheck::Held;
}

bool StartHeldClient(HANDLE held) {
    static base::RateLimit limit(kClientStartIntervalMs);
    const std::wstring path = fw::FinalPath(held);
    if (path.empty()) {
        base::Trace(L"game client not started: no path", ::GetLastError());
        return false;
    }
    if (!limit.Allow(::GetTickCount64())) {
        base::Trace(L"game client start dropped: one a second", path, 0);
        return false;
    }
    return fw::StartClientProgram(path);
}

} // namespace mainwnd
