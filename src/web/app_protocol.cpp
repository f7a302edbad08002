#include "web/app_protocol.h"

#include <cstdint>

namespace web {

namespace {

constexpr std::wstring_view kAppScheme = L"app:";
constexpr std::wstring_view kJavascript = L"javascript";
constexpr std::wstring_view kServerMark = L"服-";
constexpr size_t kCommandPos = 6;
constexpr size_t kPayloadPos = 15;
constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(uint32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Text to UTF-8. A surrogate pair is one character; a lone surrogate (or, where wchar_t is
// 32 bits wide, a value beyond Unicode) cannot be encoded and becomes U+FFFD, as the
// platform's own conversion does.
std::string ToUtf8Bytes(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t u = static_cast<uint32_t>(text[i]);
        if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
            const uint32_t low = static_cast<uint32_t>(text[++i]);
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u) || u > 0x10FFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentUnescape(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' && i + 2 < bytes.size() && HexValue(bytes[i + 1]) >= 0 &&
            HexValue(bytes[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(bytes[i + 1]) * 16 + HexValue(bytes[i + 2]));
            i += 2;
        } else {
            out += bytes[i];
        }
    }
    return out;
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(cp);
}

// Strict UTF-8 (no overlong forms, no surrogates, nothing beyond U+10FFFF). Stops at the first
// sequence that breaks these rules, or at a NUL, which no label or URL can carry.
std::wstring FromUtf8Prefix(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b0 = static_cast<uint8_t>(bytes[i]);
        size_t len = 0;
        char32_t cp = 0;
        uint8_t lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (b0 < 0x80) {
            len = 1;
            cp = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            len = 2;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            len = 3;
            cp = b0 & 0x0F;
            if (b0 == 0xE0) lo = 0xA0;
            if (b0 == 0xED) hi = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            len = 4;
            cp = b0 & 0x07;
            if (b0 == 0xF0) lo = 0x90;
            if (b0 == 0xF4) hi = 0x8F;
        } else {
            break;
        }
        if (i + len > bytes.size()) break;
        bool valid = true;
        for (size_t k = 1; k < len; ++k) {
            const auto b = static_cast<uint8_t>(bytes[i + k]);
            const uint8_t min = k == 1 ? lo : 0x80, max = k == 1 ? hi : 0xBF;
            if (b < min || b > max) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!valid || cp == 0) break;
        AppendCodePoint(out, cp);
        i += len;
    }
    return out;
}

} // namespace

bool IsAppUrl(std::wstring_view url) {
    return url.substr(0, kAppScheme.size()) == kAppScheme;
}

NavigationVerdict ScreenHostNavigation(std::wstring_view url) {
    if (IsAppUrl(url)) return NavigationVerdict::Cancel;
    if (url.substr(0, kJavascript.size()) == kJavascript) return NavigationVerdict::Proceed;
    return NavigationVerdict::Leave;
}

LoginCommand ParseLoginCommand(std::wstring_view url) {
    if (!IsAppUrl(url)) return LoginCommand::NotCommand;
    const std::optional<AppCommandCall> call = ReadAppCommand(url, {CommandPage::Login, {}});
    if (!call) return LoginCommand::Other;
    if (call->row->word == L"loadgame") return LoginCommand::LoadGame;
    return call->row->word == L"exitgame" ? LoginCommand::ExitGame : LoginCommand::Minimize;
}

LoadGameArgs SplitLoadGameUrl(std::wstring_view url) {
    if (url.size() <= kPayloadPos) return {};
    const size_t bar = url.find(L'|', kPayloadPos);
    if (bar == std::wstring_view::npos) return {};
    return {std::wstring(url.substr(kPayloadPos, bar - kPayloadPos)), std::wstring(url.substr(bar + 1))};
}

std::wstring PercentDecodeUtf8(std::wstring_view text) {
    return FromUtf8Prefix(PercentUnescape(ToUtf8Bytes(text)));
}

std::wstring DecodeLoginPayload(std::wstring_view payload) {
    if (payload.find(L'%') == std::wstring_view::npos) return std::wstring(payload);
    return PercentDecodeUtf8(payload);
}

LoginFields SplitLoginPayload(std::wstring_view payload) {
    LoginFields fields;
    const size_t mark = payload.find(kServerMark);
    if (mark == std::wstring_view::npos) {
        fields.account = payload;
        return fields;
    }
    fields.server = payload.substr(0, mark);
    const size_t middleStart = mark + kServerMark.size();
    const size_t dash = payload.find(L'-', middleStart);
    if (dash == std::wstring_view::npos) {
        fields.account = payload;
        return fields;
    }
    fields.middle = payload.substr(middleStart, dash - middleStart);
    fields.account = payload.substr(dash + 1);
    return fields;
}

LoadGameCommand ParseLoadGame(std::wstring_view url) {
    LoadGameArgs args = SplitLoadGameUrl(url);
    return {SplitLoginPayload(DecodeLoginPayload(args.payload)), std::move(args.gameUrl)};
}

std::optional<EnterGameArgs> ParseEnterGame(std::wstring_view url, std::wstring_view defaultHallUrl) {
    // Only an address that is the command: one that merely carries it (a page's address with the
    // command in its query, say) commands nothing.
    if (!url.starts_with(kEnterGameMark)) return std::nullopt;
    const std::wstring_view argument = url.substr(kEnterGameMark.size());
    const size_t bar = argument.find(L'|');
    if (bar == std::wstring_view::npos)
        return EnterGameArgs{std::wstring(argument), std::wstring(defaultHallUrl)};
    return EnterGameArgs{std::wstring(argument.substr(0, bar)), std::wstring(argument.substr(bar + 1))};
}

namespace {

constexpr uint8_t Pages(CommandPage page) {
    return static_cast<uint8_t>(page);
}

std::optional<AppCommandArgs> NoArguments(std::wstring_view, const CommandContext&) {
    return AppCommandArgs{};
}

// One row per command; adding one takes a row here and an AppCommandHandler method.
constexpr AppCommandRow kAppCommands[] = {
    {L"loadgame",
     [](std::wstring_view url, const CommandContext&) -> std::optional<AppCommandArgs> {
         return ParseLoadGame(url);
     },
     Pages(CommandPage::Login),
     [](AppCommandHandler& h, const AppCommandArgs& args) { h.OnLoadGame(std::get<LoadGameCommand>(args)); }},
    {L"exitgame", NoArguments, Pages(CommandPage::Login),
     [](AppCommandHandler& h, const AppCommandArgs&) { h.OnExitGame(); }},
    {L"minimize", NoArguments, Pages(CommandPage::Login),
     [](AppCommandHandler& h, const AppCommandArgs&) { h.OnMinimize(); }},
    {L"entergame",
     [](std::wstring_view url, const CommandContext& context) -> std::optional<AppCommandArgs> {
         if (auto args = ParseEnterGame(url, context.defaultHallUrl)) return std::move(*args);
         return std::nullopt;
     },
     Pages(CommandPage::Game),
     [](AppCommandHandler& h, const AppCommandArgs& args) { h.OnEnterGame(std::get<EnterGameArgs>(args)); }},
};

} // namespace

std::optional<AppCommandCall> ReadAppCommand(std::wstring_view url, const CommandContext& context) {
    if (!IsAppUrl(url) || url.size() < kCommandPos) return std::nullopt;
    const std::wstring_view rest = url.substr(kCommandPos);
    for (const AppCommandRow& row : kAppCommands) {
        if (!rest.starts_with(row.word) || !(row.pages & Pages(context.page))) continue;
        if (auto args = row.parse(url, context)) return AppCommandCall{&row, std::move(*args)};
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace web
