// The one road of code from the publisher into this elevated program, for the self-update and
// the game clients alike: a trusted address, the signature published beside it and the file,
// all fetched by one job (so its progress and cancel cover them); the file created here and
// written through a handle that the caller keeps until it uses the file; its digests taken of
// the bytes as they arrive, so that the check reads nothing a second time.
#pragma once
#include <windows.h>

#include <string>

#include "base/handle_win.h"
#include "net/http_win.h"

namespace net {

// What the caller does with the verified file, which decides the hold it gets.
enum class HeldFor {
    Rename, // the writing handle itself (read, write, delete): flushed and renamed through it
    Start,  // a read-only handle that shares reading only, so the system can start the file
};

struct SignedDownload {
    std::wstring source;      // the address; more than kMaxDownloadAddressChars is refused
    std::wstring destination; // the file to create (one already there is deleted first)
    std::wstring signedName;  // the name the publisher signed it for ("TnVexa.exe", "<game>.exe")
    DWORD chunk = 512;        // the progress display's step
    bool md5 = false;         // also take the MD5 digest (the self-update's release key)
    HeldFor use = HeldFor::Rename;
};

struct HeldDownload {
    // The verified file: nobody else may change, delete or rename it while this is held.
    base::Handle file;
    std::wstring md5Hex; // with SignedDownload::md5, lowercase
};

// The longest download address a configuration may give: a longer one may have been cut short
// and is never requested.
inline constexpr size_t kMaxDownloadAddressChars = 511;

// On a download job's thread, through its handle holder and progress display: true when the
// publisher's signature for request.signedName verifies over the bytes written; out then holds
// the file. Otherwise what was written stays at the destination for the caller to remove.
bool FetchSigned(const SignedDownload& request, HttpRequestHandles& handles, const FetchProgress& progress,
                 HeldDownload& out);

// The download address ("UpdAddr" of "VerKey") of a fetched configuration file: empty when it is
// missing or fills its buffer (it may have been cut off).
std::wstring ReadDownloadAddress(const std::wstring& configFile);

} // namespace net
