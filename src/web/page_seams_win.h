// The seams through which a page process's windows reach the player and the system
// (replaceable by tests).
#pragma once
#include <windows.h>

#include <string>

namespace web {

// What the page windows hand to the player or to the system.
struct PageSeams {
    int (*messageBox)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
    // A web address opened in the player's default browser with the player's rights
    // (fw::OpenAsPlayer), shown normally; false when it was not opened.
    bool (*shellOpen)(const std::wstring& url);
    // The favourites dialog, modally over owner.
    void (*runFavourites)(HWND owner, const std::wstring& name, const std::wstring& url);
};
PageSeams& Seams();

} // namespace web
