// The command line and its operands as the start of the executable reads them: any argument
// vector, executable path and application-data folder give one of the eight modes with operands
// in their bounds, and the page-process command line the main window writes reads back as it
// was written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/start_mode.h"
#include "base/text.h"
#include "mainwnd/page_model.h"
#include "fuzz_input.h"

namespace {

using fuzz::Require;

// UTF-16 units split at every zero unit: argument vector, then path and folder last.
std::vector<std::wstring> Fields(const uint8_t* data, size_t size) {
    std::vector<std::wstring> fields(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0)
            fields.emplace_back();
        else
            fields.back() += unit;
    }
    return fields;
}

bool IsPageOption(const std::wstring& arg, const wchar_t* option) {
    return base::EqualsNoCase(arg, option);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Options are rare in random text: the first byte may put one in front.
    static const wchar_t* const kOptions[] = {L"", L"/newgm", L"/GMHALL", L"/LumoD", L"/update", L"/uninst"};
    if (size == 0) return 0;
    std::vector<std::wstring> fields = Fields(data + 1, size - 1);
    const std::wstring common = fields.back();
    fields.pop_back();
    const std::wstring exe = fields.empty() ? std::wstring() : fields.back();
    if (!fields.empty()) fields.pop_back();
    std::vector<std::wstring> args{L"TnVexa.exe"};
    if (const wchar_t* option = kOptions[data[0] % 6]; *option) args.emplace_back(option);
    args.insert(args.end(), fields.begin(), fields.end());

    const app::StartRequest request = app::ParseStartRequest(args, exe, common);
    Require(request.mode >= app::StartMode::Install && request.mode <= app::StartMode::GameHall);
    const bool newGame = args.size() > 1 && IsPageOption(args[1], L"/newgm");
    const bool hall = args.size() > 1 && IsPageOption(args[1], L"/gmhall");
    Require((request.mode == app::StartMode::NewGamePage) == newGame &&
            (request.mode == app::StartMode::GameHall) == hall);
    // Operands are cut to 15 and 7 characters, the first of which is skipped.
    Require(request.parentWnd > -100000000000000 && request.parentWnd < 100000000000000);
    Require(request.parentPageCount > -1000000 && request.parentPageCount < 1000000);
    if (!newGame && !hall) Require(request.parentWnd == 0);
    if (!newGame) Require(request.parentPageCount == 0);
    if (args.size() == 1)
        Require(request.mode == (app::IsInsideInstallFolder(exe, common) ? app::StartMode::Installed
                                                                         : app::StartMode::Install));

    // What the main window writes for a page process is read back as written.
    const std::wstring line =
        L"C:\\TnVexa.exe" + mainwnd::PageProcessArguments(request.parentWnd, request.parentPageCount);
    std::vector<std::wstring> written(1);
    for (wchar_t c : line) {
        if (c == L' ')
            written.emplace_back();
        else
            written.back() += c;
    }
    const app::StartRequest back = app::ParseStartRequest(written, L"C:\\TnVexa.exe", L"C:\\ProgramData");
    Require(back.mode == app::StartMode::NewGamePage && back.parentWnd == request.parentWnd &&
            back.parentPageCount == request.parentPageCount);
    return 0;
}
