// Self-update: the check against the publisher's configuration, and the download of the new
// executable with its swap into the running executable's place. The start-up routine and the
// main window's update command drive it; the download itself is the update progress dialog.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/settings_win.h"
#include "app/start_mode.h"
#include "app/start_mode_win.h"
#include "base/executable_path_win.h"
#include "net/publisher_win.h"
#include "net/signed_download_win.h"
#include "net/update_config.h"

namespace app {

// What the update needs from the rest of the program: each member is the real thing unless a
// test replaces it.
struct UpdateEnvironment {
    // The running executable.
    std::wstring exePath = base::ExecutablePath();
    // The update configuration on the publisher's client host (with the process's publisher override).
    std::wstring configUrl = net::PublisherUrl(net::PublisherSite::Client, net::kUpdateConfigPath);
    // The start mode, read again from this process's command line and location (it must give
    // the start-up's answer).
    std::function<StartMode()> startMode = [] { return CurrentStartRequest().mode; };
    // The settings store's rule: false on the day of the last update and on the update-free days.
    std::function<bool()> isUpdateDay = IsUpdateDay;
};

// Runs the signed download (the update progress dialog, modally): true when the verified file
// is held in `held`.
using UpdateDownloader = std::function<bool(const net::SignedDownload& request, net::HeldDownload& held)>;

// Release key of a file by the program's rule (digest digits, then the version's digits);
// empty when the file can't be read.
std::wstring LocalReleaseKey(const std::wstring& exePath);

// The points of the swap after which the folder is in a lasting state: what a kill or a power
// cut right there leaves behind.
enum class SwapPoint {
    NewFlushed, // the new file's bytes are on the disk; nothing is renamed yet
    OldMoved,   // the executable is at oldPath; its own path is empty until the next move
    NewMoved,   // the new file is at the executable's path
};

// Accepts or refuses the new file from its held handle (no one else can change, delete or
// rename the file while it is held).
using HeldFileCheck = std::function<bool(HANDLE file)>;

// Writes the held new file (opened for writing and deletion, sharing reading at most) through
// to the disk and asks accept; only an accepted file is swapped in: the executable is moved to
// oldPath and the held file, through its handle, into its place, each move on the disk before
// the next begins; if the second move fails the executable is moved back. True when the new
// file is in place (oldPath is then scheduled for deletion at the next restart). `reached`
// (tests) is told each point as it is passed.
bool SwapExecutable(const std::wstring& exePath, base::Handle held, const std::wstring& oldPath,
                    const HeldFileCheck& accept, const std::function<void(SwapPoint)>& reached = {});

// The release the file's own version resource names (PackedVersion order), read through the
// handle; 0 without one.
uint64_t FileVersionOf(HANDLE file);

class SelfUpdate {
public:
    explicit SelfUpdate(UpdateEnvironment env) : m_env(std::move(env)) {}

    // Non-zero when the published release key differs from the local one. Unforced, it answers
    // 0 without any request in the start modes that don't update and outside update days. Fills
    // the update address (kept when the configuration can't be fetched).
    int CheckForUpdate(bool forced);

    // Downloads the update address into "NewTnVexa.exe" beside the executable as a file signed
    // for "TnVexa.exe", checks that its digest is the published release's and that it is no older
    // than the running program, and swaps it in. False when the address is missing or cut off,
    // the download failed or was cancelled, its signature is missing or wrong, the file isn't the
    // published release, it is older, or the swap was undone; the new file is then scheduled for
    // deletion at the next restart.
    bool DownloadAndSwap(const UpdateDownloader& download);

    const std::wstring& UpdateAddress() const { return m_updateAddress; }

private:
    bool FetchConfiguration();

    UpdateEnvironment m_env;
    std::wstring m_updateAddress; // at most 510 characters: a longer one may have been cut
    std::wstring m_publishedKey;  // release key of the last configuration read
};

} // namespace app
