#include "app/start_mode.h"

#include "base/text.h"

namespace app {

namespace {

// Options in the order they are tried; the first match decides.
struct Option {
    std::wstring_view text;
    StartMode mode;
};
constexpr Option kOptions[] = {
    {L"/LumoD", StartMode::Channel},          {kShortcutOption, StartMode::Shortcut},
    {kUninstallOption, StartMode::Uninstall}, {L"/update", StartMode::Update},
    {L"/newgm", StartMode::NewGamePage},      {L"/gmhall", StartMode::GameHall},
};

// Fixed sizes of the operand buffers, terminator excluded.
constexpr size_t kParentWndChars = 15;
constexpr size_t kPageCountChars = 7;
// Path buffers hold 259 characters.
constexpr size_t kMaxPathChars = 259;

} // namespace

int64_t ParseOperand(const std::wstring* operand, size_t maxChars) {
    if (!operand || operand->empty()) return 0;
    const std::wstring_view cut = base::Truncate(*operand, maxChars);
    if (cut.size() < 2) return 0;
    // Handles are read as pointer-sized values; a 15-character operand can exceed 32 bits.
    int64_t value = 0;
    size_t i = 1;
    while (i < cut.size() && (cut[i] == L' ' || cut[i] == L'\t'))
        ++i;
    bool negative = false;
    if (i < cut.size() && (cut[i] == L'+' || cut[i] == L'-')) negative = cut[i++] == L'-';
    for (; i < cut.size() && cut[i] >= L'0' && cut[i] <= L'9'; ++i)
        value = value * 10 + (cut[i] - L'0');
    return negative ? -value : value;
}

bool IsInsideInstallFolder(std::wstring_view exePath, std::wstring_view commonAppData) {
    std::wstring folder = std::wstring(commonAppData) + std::wstring(kInstallSubfolder);
    folder = std::wstring(base::Truncate(folder, kMaxPathChars));
    return !folder.empty() && base::IsInsideFolder(exePath, folder);
}

StartRequest ParseStartRequest(const std::vector<std::wstring>& args, std::wstring_view exePath,
                               std::wstring_view commonAppData) {
    StartRequest request;
    if (args.size() > 1) {
        for (const auto& option : kOptions) {
            if (!base::EqualsNoCase(args[1], option.text)) continue;
            request.mode = option.mode;
            const std::wstring* first = args.size() > 2 ? &args[2] : nullptr;
            const std::wstring* second = args.size() > 3 ? &args[3] : nullptr;
            if (option.mode == StartMode::NewGamePage) {
                request.parentWnd = static_cast<intptr_t>(ParseOperand(first, kParentWndChars));
                request.parentPageCount = static_cast<int32_t>(ParseOperand(second, kPageCountChars));
            } else if (option.mode == StartMode::GameHall) {
                request.parentWnd = static_cast<intptr_t>(ParseOperand(first, kParentWndChars));
            }
            return request;
        }
    }
    request.mode = IsInsideInstallFolder(exePath, commonAppData) ? StartMode::Installed : StartMode::Install;
    return request;
}

} // namespace app
