#include "fw/browser_features_win.h"

#include "base/library_load_win.h"
#include "base/trace_win.h"

namespace fw {

namespace {

// Each keeps the game playable: the game page and its plug-in come over http from the
// publisher's hosts (the Internet zone), and the plug-in is already installed.
constexpr INTERNETFEATURELIST kFeatures[] = {
    // Content from the local machine (a file: page) runs locked down; http pages are not local.
    FEATURE_LOCALMACHINE_LOCKDOWN,
    // A page may not navigate into a zone of more rights (Internet to intranet or local files).
    FEATURE_ZONE_ELEVATION,
    // Content whose declared type disagrees with what it is is not handed to another handler,
    // and sniffing never promotes a download to something that runs. The plug-in is chosen by
    // its object tag and fetches its movie itself.
    FEATURE_MIME_HANDLING,
    FEATURE_MIME_SNIFFING,
    // Script-made windows stay visible and titled; pop-ups are blocked as in the browser itself.
    // (New windows are refused by the host anyway; these are the control's own second line.)
    FEATURE_WINDOW_RESTRICTIONS,
    FEATURE_WEBOC_POPUPMANAGEMENT,
    // Downloads a page starts without the player's click are blocked: the program fetches game
    // clients itself, never through the control.
    FEATURE_RESTRICT_FILEDOWNLOAD,
    // Controls a page wants installed are blocked: an elevated install is the worst kind. The
    // plug-in the game needs only loads, it is not installed from the page.
    FEATURE_RESTRICT_ACTIVEXINSTALL,
    // What is blocked goes to the host's information bar instead of a modal prompt: this host
    // shows none, so it is simply blocked, never offered to the player for a click.
    FEATURE_SECURITYBAND,
    // Protocols locked down per zone by the machine's policy stay locked inside the control.
    FEATURE_PROTOCOL_LOCKDOWN,
    // No "mk:" protocol (old help-file addresses, a known way to run local content).
    FEATURE_DISABLE_MK_PROTOCOL,
    // Cached objects of a page are not reachable from the next page of another site.
    FEATURE_OBJECT_CACHING,
    // Controls are checked for safety also when a page binds to them through a moniker.
    FEATURE_SAFE_BINDTOOBJECT,
    // Malformed addresses are refused rather than guessed at, and no "user:password@" form.
    FEATURE_VALIDATE_NAVIGATE_URL,
    FEATURE_HTTP_USERNAME_PASSWORD_DISABLE,
    // Files saved from a share keep the mark of the zone they came from.
    FEATURE_UNC_SAVEDFILECHECK,
};

using SetFeatureFn = HRESULT(WINAPI*)(INTERNETFEATURELIST, DWORD, BOOL);

} // namespace

std::span<const INTERNETFEATURELIST> BrowserSecurityFeatures() {
    return kFeatures;
}

bool EnableBrowserSecurityFeatures() {
    // The library the control itself loads, by its full name in the system folder: never one
    // found beside the executable.
    const HMODULE urlmon = base::LoadSystemLibrary(L"urlmon.dll");
    if (!urlmon) return false;
    const auto set = reinterpret_cast<SetFeatureFn>(
        reinterpret_cast<void*>(::GetProcAddress(urlmon, "CoInternetSetFeatureEnabled")));
    bool all = set != nullptr;
    for (INTERNETFEATURELIST feature : kFeatures)
        all = set && SUCCEEDED(set(feature, SET_FEATURE_ON_PROCESS, TRUE)) && all;
    if (!all) base::Trace(L"browser security features not all set", 0);
    // The library stays loaded: the settings live in it for the life of the process.
    return all;
}

} // namespace fw
