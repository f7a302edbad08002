// Feeds arbitrary UTF-16 text (lone surrogates included) to the "app:" grammar, the payload
// decoder and the navigation rules, and checks the invariants the page windows rely on.
#include "web/app_protocol.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "fw/web_address.h"
#include "net/http_url.h"
#include "web/navigation_rules.h"
#include "fuzz_input.h"

using fuzz::Require;
using fuzz::ToText;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte chooses a prefix so that the command paths are reached often.
    static const wchar_t* const kPrefixes[] = {L"",       L"app://loadgame?", L"app://entergame|",
                                               L"app://", L"javascript:",     L"https://vexatarn.com"};
    if (size == 0) return 0;
    const std::wstring url = kPrefixes[data[0] % 6] + ToText(data + 1, size - 1);

    // Commands count, from the top or a frame, and the top-level document stays, only on an
    // http(s) page whose host passes the download rule; another web page goes outside.
    constexpr std::wstring_view kStandIn = L"127.0.0.1:8080", kPage = L"http://127.0.0.1:8080/";
    const bool publisher = web::IsPublisherPage(url, kStandIn);
    Require(web::CommandCounts(url, kPage, kStandIn) == publisher &&
            web::CommandCounts(kPage, url, kStandIn) == publisher);
    if (publisher) Require(net::IsTrustedUrl(L"http://" + url.substr(url.find(L"://") + 3), kStandIn));
    Require((web::ScreenPageNavigation(url, true, kStandIn) == web::PageNavigation::OpenOutside) ==
            (fw::IsWebAddress(url) && !publisher));

    const auto verdict = web::ScreenHostNavigation(url);
    Require((verdict == web::NavigationVerdict::Cancel) == web::IsAppUrl(url));
    const auto command = web::ParseLoginCommand(url);
    Require((command == web::LoginCommand::NotCommand) != web::IsAppUrl(url));

    const auto args = web::SplitLoadGameUrl(url);
    Require(args.payload.size() + args.gameUrl.size() <= url.size());
    Require(args.payload.find(L'|') == std::wstring::npos);

    const std::wstring decoded = web::DecodeLoginPayload(args.payload);
    if (args.payload.find(L'%') == std::wstring::npos) Require(decoded == args.payload);
    // Decoding only shortens: every output character comes from at least one input character.
    Require(decoded.size() <= args.payload.size());
    Require(decoded.find(L'\0') == std::wstring::npos || args.payload.find(L'%') == std::wstring::npos);

    const auto fields = web::SplitLoginPayload(decoded);
    if (!fields.server.empty() || !fields.middle.empty())
        Require(fields.server + L"服-" + fields.middle + L"-" + fields.account == decoded ||
                fields.account == decoded);
    else
        Require(fields.account == decoded || decoded.find(L"服-") != std::wstring::npos);

    // The decoder on raw text: never longer than its input, never carrying a NUL.
    const std::wstring raw = ToText(data, size);
    const std::wstring rawDecoded = web::PercentDecodeUtf8(raw);
    Require(rawDecoded.size() <= raw.size());
    Require(rawDecoded.find(L'\0') == std::wstring::npos);

    if (const auto enter = web::ParseEnterGame(url, L"hall")) {
        Require(enter->gameName.find(L'|') == std::wstring::npos);
        Require(enter->gameName.size() + enter->hallUrl.size() <= url.size() || enter->hallUrl == L"hall");
    }
    return 0;
}
