#include "mainwnd/page_model.h"

#include <algorithm>

#include "net/game_client_rules.h"

namespace mainwnd {

namespace {
constexpr std::wstring_view kCloseAccountPrefix = L"确定要退出账号：";
constexpr std::wstring_view kCloseAccountSuffix = L" ?";
} // namespace

std::wstring_view PageModel::Label(int i) const {
    if (i < 0 || static_cast<size_t>(i) >= m_tabLabels.size()) return {};
    return m_tabLabels[static_cast<size_t>(i)];
}

PageHandle PageModel::SelectedPage() const {
    return m_pages.empty() ? 0 : m_pages[static_cast<size_t>(m_curTab)];
}

int PageModel::IndexOf(PageHandle page) const {
    const auto it = std::find(m_pages.begin(), m_pages.end(), page);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

bool PageModel::LabelKept(const std::wstring& label) const {
    if (std::find(m_tabLabels.begin(), m_tabLabels.end(), label) != m_tabLabels.end()) return true;
    return std::any_of(m_logins.begin(), m_logins.end(), [&](const Login& l) { return l.label == label; });
}

void PageModel::PageProcessStarted(ProcessId process) {
    if (process != 0 && !m_quitting) m_logins.push_back({process, std::nullopt});
}

void PageModel::PageProcessEnded(ProcessId process) {
    std::erase_if(m_logins, [process](const Login& l) { return l.process == process; });
}

PageActions PageModel::Adopt(ProcessId process, PageHandle page, bool isHall, bool sameProgram) {
    PageActions a;
    if (page == 0 || page == m_hallWnd || IndexOf(page) >= 0) return a; // announced twice or nothing
    // The process's login whose page this is: a tab takes the one with a label (a process that
    // plays several logins, as a test does, announces its pages in its own order), the hall page
    // one without.
    auto login = std::find_if(m_logins.begin(), m_logins.end(), [&](const Login& l) {
        return l.process == process && l.label.has_value() != isHall;
    });
    if (login == m_logins.end())
        login = std::find_if(m_logins.begin(), m_logins.end(),
                             [&](const Login& l) { return l.process == process; });
    // Another program's window, or one of a login ended by the quit: never a page of this window.
    const bool ownLogin = login != m_logins.end();
    if (m_quitting || (!ownLogin && !(isHall && sameProgram))) return a;
    std::wstring label;
    if (ownLogin) {
        label = login->label.value_or(std::wstring());
        m_logins.erase(login);
    }
    // The window grows out of its 1 x 1 waiting size once; a later first tab (after a hall page)
    // must not toggle it back.
    if (!m_running) {
        m_running = true;
        a.beginRunning = true;
    }
    std::erase_if(m_announcedBy, [page](const auto& entry) { return entry.first == page; });
    m_announcedBy.emplace_back(page, process);
    if (isHall) {
        m_hallWnd = page;
        return a;
    }
    a.hideAllPages = true;
    a.adopted = page;
    a.hideHall = true;
    m_pages.push_back(page);
    m_tabLabels.push_back(std::move(label));
    m_curTab = TabCount() - 1;
    a.invalidate.push_back(StripRect(TabCount()));
    return a;
}

int PageModel::RegisterLabel(ProcessId process, std::wstring label) {
    // A sender that names no window can only be the login when there is no other.
    if (process == 0 && m_logins.size() == 1) process = m_logins.front().process;
    auto login = std::find_if(m_logins.begin(), m_logins.end(),
                              [&](const Login& l) { return l.process == process && !l.label; });
    if (login == m_logins.end() || LabelKept(label)) return 0;
    login->label = std::move(label);
    return 1;
}

std::optional<std::wstring> PageModel::TakeEnterGame(ProcessId process, PageHandle page,
                                                     std::wstring_view gameName) {
    const bool shown = page != 0 && (page == m_hallWnd || IndexOf(page) >= 0);
    const bool announced = std::find(m_announcedBy.begin(), m_announcedBy.end(), std::pair(page, process)) !=
                           m_announcedBy.end();
    if (!shown || !announced || m_enteringGame || m_quitting) return std::nullopt;
    std::optional<std::wstring> name = net::GameClientName(gameName);
    m_enteringGame = name.has_value();
    return name;
}

PageActions PageModel::AddAccount(std::uintptr_t wParam) {
    PageActions a;
    if (m_quitting) return a;
    if (wParam == 1) {
        // Only adopted tabs count: logins still on their page may all go ahead.
        if (TabCount() >= kMaxTabs) {
            a.prompt = Prompt::TabLimit;
            a.promptText = kTabLimitText;
        } else {
            a.launchPageProcess = true;
        }
    } else if (wParam == 0) {
        a.launchNewInstance = true;
    }
    return a;
}

PageActions PageModel::SysClose(std::intptr_t lParam) {
    if (lParam == base::kSelfMarker) {
        // A login page gave up. Before the first tab that ends the program; later, while a
        // login is open, it is that login's farewell (its process's end lets go of it), and with
        // none open it is an ordinary close.
        if (m_pages.empty()) {
            PageActions a = QuitAll();
            a.consumed = true;
            return a;
        }
        PageActions a;
        a.consumed = !m_logins.empty();
        return a;
    }
    if (lParam == 0 && m_pages.empty()) {
        PageActions a = QuitAll(); // terminates the pending login without asking
        a.consumed = true;
        return a;
    }
    return {};
}

PageActions PageModel::CloseRequest() {
    PageActions a;
    if (m_quitting) return a;
    a.prompt = Prompt::QuitWindow;
    a.promptText = kQuitQuestionText;
    return a;
}

PageActions PageModel::AnswerQuit(bool yes) {
    return yes ? QuitAll() : PageActions{};
}

PageActions PageModel::QuitAll() {
    PageActions a;
    if (m_quitting) return a;
    m_quitting = true;
    for (const Login& login : m_logins)
        a.terminate.push_back(login.process);
    m_logins.clear();
    a.closePages = std::move(m_pages);
    m_pages.clear();
    m_tabLabels.clear();
    m_curTab = 0;
    ResetHover(m_hover);
    a.quit = true;
    return a;
}

PageActions PageModel::CloseTab(int i) {
    PageActions a;
    if (i < 0 || i >= TabCount() || m_quitting) return a;
    if (TabCount() < 2) {
        ResetHover(m_hover);
        a.invalidate.push_back(CloseBoxRect(i));
        PageActions q = CloseRequest();
        a.prompt = q.prompt;
        a.promptText = std::move(q.promptText);
        return a;
    }
    a.prompt = Prompt::CloseAccount;
    a.promptText =
        std::wstring(kCloseAccountPrefix) + std::wstring(Label(i)) + std::wstring(kCloseAccountSuffix);
    a.promptPage = m_pages[static_cast<size_t>(i)];
    return a;
}

PageActions PageModel::AnswerCloseTab(PageHandle page, bool yes) {
    PageActions a;
    int i = IndexOf(page);
    ResetHover(m_hover);
    if (i < 0 || m_quitting) return a; // closed or quit while the question was open
    if (!yes) {
        a.invalidate.push_back(TabRect(i));
        return a;
    }
    if (TabCount() < 2) return CloseTab(i); // the others went meanwhile: now it is the last tab
    m_pages.erase(m_pages.begin() + i);
    std::erase_if(m_announcedBy, [page](const auto& entry) { return entry.first == page; });
    m_tabLabels.erase(m_tabLabels.begin() + i);
    // The tab that moved into the closed one's place is selected; after the last, the new last.
    if (i >= TabCount()) i = TabCount() - 1;
    m_curTab = i;
    a.show = m_pages[static_cast<size_t>(i)];
    a.closePages.push_back(page);
    base::Rect strip = TabRect(TabCount()); // reaches to the end of the strip before the close
    strip.left = kStripLeft;
    a.invalidate.push_back(strip);
    return a;
}

PageActions PageModel::SwitchPage(bool windowShown, bool hallVisible) {
    PageActions a;
    if (m_pages.empty() || !windowShown) return a;
    if (TabCount() >= 2 && !hallVisible) {
        a.invalidate.push_back(TabRect(m_curTab));
        m_curTab = (m_curTab + 1) % TabCount();
        a.invalidate.push_back(TabRect(m_curTab));
    }
    a.show = SelectedPage();
    return a;
}

PageHandle PageModel::KeyTarget(bool selectedVisible, bool hallVisible) const {
    if (m_pages.empty()) return 0;
    if (selectedVisible) return SelectedPage();
    return hallVisible ? m_hallWnd : 0;
}

PageHandle PageModel::PageToPlace(bool hallVisible) const {
    if (hallVisible && m_hallWnd != 0) return m_hallWnd;
    return SelectedPage();
}

HoverUpdate PageModel::HitTest(base::Point p, bool leftDown, bool frameCaption) {
    return TrackHover(m_hover, p, TabCount(), leftDown, frameCaption);
}

PageActions PageModel::LeftButtonDown(base::Point p, bool hallVisible) {
    PageActions a;
    const std::optional<int> hit = HitTab(p, TabCount());
    if (!hit) return a;
    const int i = *hit;
    a.consumed = true; // a press on a tab never starts a window drag
    if (i != m_curTab) {
        a.invalidate.push_back(TabRect(m_curTab));
        a.invalidate.push_back(TabRect(i));
        m_curTab = i;
        a.show = m_pages[static_cast<size_t>(i)];
    } else if (hallVisible) {
        a.show = m_pages[static_cast<size_t>(i)]; // bring the tab back over the hall page
    }
    if (HitCloseBox(p, i)) {
        m_hover.hoverTab = i;
        m_hover.closeBoxState = CloseBoxState::Pressed;
        a.invalidate.push_back(CloseBoxRect(i));
    }
    return a;
}

PageActions PageModel::LeftButtonUp(base::Point p) {
    const std::optional<int> hit = HitTab(p, TabCount());
    if (!hit) return {};
    // The press may have begun anywhere: releasing over a close box is what closes.
    PageActions a = HitCloseBox(p, *hit) ? CloseTab(*hit) : PageActions{};
    a.consumed = true;
    return a;
}

PageActions PageModel::MiddleButtonUp(base::Point p) {
    const std::optional<int> hit = HitTab(p, TabCount());
    if (!hit) return {};
    PageActions a = CloseTab(*hit);
    a.consumed = true;
    return a;
}

std::wstring PageProcessArguments(std::intptr_t mainWindow, int tabCount) {
    return L" /newgm /" + std::to_wstring(mainWindow) + L" /" + std::to_wstring(tabCount);
}

} // namespace mainwnd
