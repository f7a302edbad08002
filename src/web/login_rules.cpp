#include "web/login_rules.h"

#include "base/page_protocol.h"

namespace web {

namespace {
constexpr std::wstring_view kServerMark = L"服-";
constexpr wchar_t kRegionMark = L'》';
constexpr size_t kMiddleNameChars = 4;
// The page's own buttons on the login page: dragging there would steal their clicks.
constexpr int kNoDragLeft = 739, kNoDragTop = 93, kNoDragRight = 786, kNoDragBottom = 114;
} // namespace

LoginFields NormaliseLoginFields(LoginFields raw) {
    LoginFields out;
    for (wchar_t c : raw.server)
        if (c != L'S') out.server.push_back(c);
    const size_t mark = raw.middle.find(kRegionMark);
    out.middle =
        mark == std::wstring::npos ? std::move(raw.middle) : raw.middle.substr(mark + 1, kMiddleNameChars);
    out.account = std::move(raw.account);
    return out;
}

std::wstring BuildTabLabel(const LoginFields& fields) {
    std::wstring label = fields.server;
    label += kServerMark;
    label += fields.middle;
    label += L'-';
    label += fields.account;
    return label;
}

bool LabelFitsMainWindow(std::wstring_view label) {
    return label.size() <= base::kMaxTabLabelChars;
}

std::wstring DuplicateLoginMessage(const LoginFields& fields) {
    // Put together piece by piece: the texts come from a web page and must not act as a format.
    return L"账号 " + fields.account + L" 已在 " + fields.server + L"服 登录，同一账号不能在一服重复登录";
}

LoginStep ScreenLoginCommand(LoginCommand command, int parentPageCount, bool uacEnabled) {
    switch (command) {
    case LoginCommand::NotCommand:
        return LoginStep::Navigate;
    case LoginCommand::LoadGame:
        return LoginStep::RegisterLabel;
    case LoginCommand::ExitGame:
        return LoginStep::Cancel;
    case LoginCommand::Minimize:
        // An extra login beside open game pages is abandoned rather than hidden.
        if (parentPageCount > 0) return LoginStep::Cancel;
        return uacEnabled ? LoginStep::MinimizeBackdrop : LoginStep::MinimizeParent;
    case LoginCommand::Other:
        break;
    }
    return LoginStep::Ignore;
}

std::optional<std::uint32_t> LoginDragMessage(ElementEvent event, int clientX, int clientY) {
    std::uint32_t message = 0;
    switch (event) {
    case ElementEvent::MouseDown:
        message = kNcLButtonDown;
        break;
    case ElementEvent::MouseUp:
        message = kNcLButtonUp;
        break;
    case ElementEvent::MouseMove:
        message = kNcMouseMove;
        break;
    default:
        return std::nullopt;
    }
    if (clientX >= kNoDragLeft && clientX <= kNoDragRight && clientY >= kNoDragTop &&
        clientY <= kNoDragBottom)
        return std::nullopt;
    return message;
}

} // namespace web
