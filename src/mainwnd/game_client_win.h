// Another game's client as the main window starts it: the installed one held so that nobody can
// change or swap it, and judged through that handle like the install folder; every client, the
// installed or the downloaded one, started from the file that is held, at most one a second.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "base/handle_win.h"

namespace mainwnd {

enum class ClientCheck {
    Missing, // no file at the path: the download is offered
    Refused, // a file nobody may start (traced): the download is offered as for a missing one
    Held,    // held and judged: it may be started
};

// Opens the installed client at path (a link itself, never its target) for reading, sharing it
// for reading only: while the handle is open nobody can write, rename or delete it, nor the
// folders above it. Held when it is a plain file resolving to exactly that path in a folder that
// resolves to its own path, and the owner and access list of both leave every change to the
// system and the administrators (the install folder's rule); the handle then goes to `held`.
ClientCheck HoldInstalledClient(const std::wstring& path, base::Handle& held);

// Starts the held client from the path its handle resolves to (fw::StartClientProgram: its own
// folder, the system's search path), so that the file started is the one that was checked; the
// caller keeps the handle open until this returns. At most one client start a second: a later one
// is dropped with a trace. False when nothing was started.
bool StartHeldClient(HANDLE held);
// StartHeldClient, or what a test records in its place.
using ClientStart = std::function<bool(HANDLE held)>;

} // namespace mainwnd
