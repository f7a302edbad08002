// The "entergame" command of a page, fed any URL: the game name becomes a client program's path
// only when it is a plain name inside the install folder, and only web addresses go to the shell.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/text.h"
#include "fw/web_address.h"
#include "web/app_protocol.h"
#include "net/game_client_rules.h"
#include "fuzz_input.h"

namespace {

using fuzz::Require;
using fuzz::ToText;

bool IsNameChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
           c == L'-';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const wchar_t* const kPrefixes[] = {L"", L"app://entergame|", L"http://h/x?app://entergame|",
                                               L"app://entergame|a/b"};
    static const std::wstring kCommon = L"C:\\ProgramData";
    if (size == 0) return 0;
    const std::wstring url = kPrefixes[data[0] % 4] + ToText(data + 1, size - 1);

    const auto args = web::ParseEnterGame(url, L"http://hall/");
    Require(args.has_value() == url.starts_with(L"app://entergame|"));
    if (!args) return 0;
    Require(args->gameName.find(L'|') == std::wstring::npos);

    if (const auto name = net::GameClientName(args->gameName)) {
        Require(!name->empty() && !(name->front() >= L'a' && name->front() <= L'z'));
        for (wchar_t c : *name)
            Require(IsNameChar(c));
        if (const auto path = net::GameClientPath(kCommon, *name)) {
            Require(path->size() <= 259);
            Require(*path == kCommon + L"\\Vexa\\GameLogin\\" + *name + L".exe");
        }
    } else {
        // Refused: empty once the slashes are gone, holding something a path must not, or a
        // device's name (three or four characters).
        bool plain = false;
        size_t kept = 0;
        for (wchar_t c : args->gameName) {
            if (c == L'/') continue;
            ++kept;
            if (!IsNameChar(c)) {
                plain = false;
                break;
            }
            plain = true;
        }
        Require(!plain || kept == 3 || kept == 4);
    }

    if (fw::IsWebAddress(args->hallUrl)) {
        const std::wstring_view hall = args->hallUrl;
        Require((hall.size() > 7 && base::EqualsNoCase(hall.substr(0, 7), L"http://")) ||
                (hall.size() > 8 && base::EqualsNoCase(hall.substr(0, 8), L"https://")));
    }
    return 0;
}
