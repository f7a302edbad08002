// Requests a page may not make at all: a namespace handler of this process that fails every
// request for a scheme fw::IsFetchableScheme does not allow, for the top document, a frame or
// any resource (an image, a style sheet, a script). The security manager can't do this alone:
// the control asks it about actions and zones, not before each resource it loads, and an image
// from a share would hand the administrator's network logon to that host.
#pragma once
#include <windows.h>

namespace fw {

// What a refused request fails with.
inline constexpr HRESULT kRequestRefused = E_ACCESSDENIED;

// Registers the refusing handler for the schemes urlmon serves itself (file:, which UNC paths
// are read as, among them) and for every scheme listed under HKEY_CLASSES_ROOT\PROTOCOLS\Handler
// at this moment, except the fetchable ones. Once per process, before its first browser
// control; the registrations last as long as the process. True when every one succeeded.
bool RefuseUnfetchableSchemes();

} // namespace fw
