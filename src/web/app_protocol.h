// The "app:" command grammar that the publisher's pages speak by navigating: recognising a
// command URL, splitting its arguments and decoding the login payload. Pure text functions.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace web {

// What a host dialog that handles no commands of its own does with a pending navigation.
enum class NavigationVerdict {
    Leave,   // the browser's own decision stands
    Cancel,  // an "app:" URL: never navigated to
    Proceed, // a "javascript" URL: the cancel flag is explicitly cleared
};
NavigationVerdict ScreenHostNavigation(std::wstring_view url);

// True when the first four characters are exactly "app:" (case-sensitive).
bool IsAppUrl(std::wstring_view url);

// The login page's commands. NotCommand: not an "app:" URL (navigation proceeds); Other: an
// "app:" URL with a command word that means nothing (cancelled, nothing else happens).
enum class LoginCommand { NotCommand, Other, LoadGame, ExitGame, Minimize };

// Reads the command word at positions 6 to 13 (after "app:" and any two characters).
LoginCommand ParseLoginCommand(std::wstring_view url);

// The two arguments of "loadgame": the payload between position 15 and the first "|" at or
// after it, and the game URL after that "|" (unchanged). Both are empty when the URL has no
// "|" at or after position 15.
struct LoadGameArgs {
    std::wstring payload;
    std::wstring gameUrl;
};
LoadGameArgs SplitLoadGameUrl(std::wstring_view url);

// Percent-decodes text as UTF-8: the characters are taken as UTF-8 bytes, every "%" followed
// by two hex digits becomes that byte (any other "%" stays as it is), and the bytes are read
// back as UTF-8. Reading stops at the first byte sequence that is not valid UTF-8 (or that
// decodes to a NUL): what came before is the result.
std::wstring PercentDecodeUtf8(std::wstring_view text);

// The payload as the login page reads it: decoded only when it contains "%".
std::wstring DecodeLoginPayload(std::wstring_view payload);

// The fields of a login payload: server "服-" middle "-" account.
struct LoginFields {
    std::wstring server;  // text before the first "服-"; empty without one
    std::wstring middle;  // text between that "服-" and the next "-"
    std::wstring account; // text after that "-"; the whole payload when either mark is missing
};
LoginFields SplitLoginPayload(std::wstring_view payload);

// The complete reading of a "loadgame" URL: split, decode and field split.
struct LoadGameCommand {
    LoginFields fields;
    std::wstring gameUrl;
};
LoadGameCommand ParseLoadGame(std::wstring_view url);

// The game and hall pages' "entergame" command: "app://entergame|" then the game name,
// optionally "|" and the hall URL.
inline constexpr std::wstring_view kEnterGameMark = L"app://entergame|";
struct EnterGameArgs {
    std::wstring gameName;
    std::wstring hallUrl; // the given default when the argument names none
};
// Empty when the URL does not start with the mark.
std::optional<EnterGameArgs> ParseEnterGame(std::wstring_view url, std::wstring_view defaultHallUrl);

} // namespace web
