// What the login page does with the commands its web page sends, and how a login's server,
// middle and account become the tab label that identifies a logged-in game page.
#pragma once
#include <string>
#include <string_view>

#include "web/app_protocol.h"

namespace web {

// LoginCommand and LoginFields come from the command grammar (web/app_protocol.h).

// The publisher writes servers as "S12" and the middle as "<region>》<name>": the label keeps
// the number ("12") and at most four characters after the first "》".
LoginFields NormaliseLoginFields(LoginFields raw);

// server + "服-" + middle + "-" + account, from normalised fields.
std::wstring BuildTabLabel(const LoginFields& fields);

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

} // namespace web
