// What the login page does with the commands its web page sends, how a login's server,
// middle and account become the tab label that identifies a logged-in game page, and where
// the page may be dragged.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "web/app_protocol.h"
#include "web/html_elements.h"

namespace web {

// LoginCommand and LoginFields come from the command grammar (web/app_protocol.h).

// The publisher writes servers as "S12" and the middle as "<region>》<name>": the label keeps
// the number ("12") and at most four characters after the first "》".
LoginFields NormaliseLoginFields(LoginFields raw);

// server + "服-" + middle + "-" + account, from normalised fields.
std::wstring BuildTabLabel(const LoginFields& fields);

// Whether the main window keeps a label of this length (it refuses longer ones for any reason,
// so the login must not mistake that refusal for a duplicate).
bool LabelFitsMainWindow(std::wstring_view label);

// The message shown when the main window refuses the label (normalised fields).
std::wstring DuplicateLoginMessage(const LoginFields& fields);

// What the login screen does after a command URL (the navigation itself is always cancelled).
enum class LoginStep {
    Navigate,         // not a command: the navigation proceeds
    Ignore,           // unknown command word: cancelled, nothing else
    RegisterLabel,    // loadgame: send the label; accepted ends with IDOK, refused with the message
    Cancel,           // end the login screen with IDCANCEL
    MinimizeBackdrop, // minimise the login backdrop
    MinimizeParent,   // minimise the main window
};

// `parentPageCount`: the tabs the main window had when it started this process;
// `uacEnabled`: IsUacEnabled().
LoginStep ScreenLoginCommand(LoginCommand command, int parentPageCount, bool uacEnabled);

// What a mouse event on the login page's background sends to the backdrop (WM_NCLBUTTONDOWN,
// WM_NCLBUTTONUP or WM_NCMOUSEMOVE), or nothing: other events, and the 48 x 22 area at
// (739, 93) of the page's client area, where the page keeps its own buttons.
std::optional<std::uint32_t> LoginDragMessage(ElementEvent event, int clientX, int clientY);

} // namespace web
