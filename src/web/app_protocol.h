// The "app:" commands that the publisher's pages send by navigating: the one table of them (word,
// parser, which pages may send it, handler), the grammar of their arguments and the login
// payload's decoding. Pure text functions; the trust check lies with the page's navigation host.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

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

// The login page's reading of the command table (the rows of kAppCommands the login page may send).
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

// ---- the command table ---------------------------------------------------------------------------

// The pages that send commands, as bits of AppCommandRow::pages.
enum class CommandPage : uint8_t { None = 0, Login = 1, Game = 2 };

using AppCommandArgs = std::variant<std::monostate, LoadGameCommand, EnterGameArgs>;

// What the commands do: the page's host overrides the ones its page may send.
class AppCommandHandler {
public:
    virtual void OnLoadGame(const LoadGameCommand& /*command*/) {}
    virtual void OnExitGame() {}
    virtual void OnMinimize() {}
    virtual void OnEnterGame(const EnterGameArgs& /*args*/) {}

protected:
    ~AppCommandHandler() = default;
};

// What the parsers need besides the URL.
struct CommandContext {
    CommandPage page = CommandPage::None;
    std::wstring_view defaultHallUrl; // "entergame" without a hall argument
};

struct AppCommandRow {
    // Follows "app:" and two characters (normally "//"); the URL's text there starts with it.
    std::wstring_view word;
    // The arguments; none: the URL is no such command after all.
    std::optional<AppCommandArgs> (*parse)(std::wstring_view url, const CommandContext& context);
    uint8_t pages; // CommandPage bits
    void (*handle)(AppCommandHandler& handler, const AppCommandArgs& args);
};

// A command a page may send, read from its URL and ready to run.
struct AppCommandCall {
    const AppCommandRow* row = nullptr;
    AppCommandArgs args;
    void Run(AppCommandHandler& handler) const { row->handle(handler, args); }
};
// None when url is no command of the table that context.page may send.
std::optional<AppCommandCall> ReadAppCommand(std::wstring_view url, const CommandContext& context);

} // namespace web
