// The add-account prompt as the main window uses it: created once as a modeless child of a
// parent that records what is posted to it, shown, answered or dismissed.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "resource.h"
#include "ui/add_account_prompt_win.h"
#include "win_test_support.h"

namespace {

struct Answer {
    WPARAM wParam;
    LPARAM lParam;
    bool promptVisible; // whether the prompt was still showing when the answer arrived
};

// Stands in for the main window: records every 0x406 it receives.
class Recorder : public CWnd {
public:
    Recorder() {
        CreateEx(0, nullptr, L"Vexa - Tarn", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, nullptr, nullptr);
    }
    ~Recorder() override { DestroyWindow(); }
    std::vector<Answer> answers;
    HWND prompt = nullptr;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == 0x406) {
            answers.push_back({wParam, lParam, ::IsWindowVisible(prompt) != FALSE});
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

void ShowPrompt(ui::AddAccountPrompt& dlg) {
    ::SetWindowPos(dlg.m_hWnd, HWND_TOP, 300, 150, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(dlg.m_hWnd);
    ::SetActiveWindow(dlg.m_hWnd);
    // The display's focus events may come back later and move the activation again.
    wintest::PumpUntil(
        [&] { return ::GetActiveWindow() == dlg.m_hWnd && ::GetForegroundWindow() == dlg.m_hWnd; }, 2000);
}

} // namespace

class AddAccPrompt : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dlg.Create(m_parent.m_hWnd));
        m_parent.prompt = m_dlg.m_hWnd;
    }
    void TearDown() override { m_dlg.DestroyWindow(); }
    Recorder m_parent;
    ui::AddAccountPrompt m_dlg{{IDD_ADDACC, IDC_ADDACC_TEXT, IDB_ADDACC_BACK}, m_parent.m_hWnd};
};

TEST_F(AddAccPrompt, TakesTheSizeOfItsSkinWithItsControls) {
    RECT rc{};
    ::GetWindowRect(m_dlg.m_hWnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 284);
    EXPECT_EQ(rc.bottom - rc.top, 150);
    EXPECT_FALSE(::IsWindowVisible(m_dlg.m_hWnd)); // hidden until the main window shows it
    for (int id : {IDOK, IDCANCEL}) {
        ::GetWindowRect(::GetDlgItem(m_dlg.m_hWnd, id), &rc);
        EXPECT_EQ(rc.right - rc.left, 57) << id;
        EXPECT_EQ(rc.bottom - rc.top, 23) << id;
    }
    EXPECT_EQ(m_dlg.YesButton().Text(), L"是");
    EXPECT_EQ(m_dlg.NoButton().Text(), L"否");
    EXPECT_EQ(m_dlg.Question().Text(), L"在当前窗口新增标签页？\r\n点击\"是\"，在当前窗口登录("
                                       L"支持3个标签页)；\r\n点击\"否\"，在新窗口中登录。");
    EXPECT_EQ(m_dlg.Question().Style().lineSpacing, 5);
    wchar_t title[32] = {};
    ::GetWindowTextW(m_dlg.m_hWnd, title, 32);
    EXPECT_STREQ(title, L"登录其他账号");
}

TEST_F(AddAccPrompt, EachAnswerPostsExactlyOnceAndHides) {
    struct Case {
        int id;
        WPARAM wParam;
    } cases[] = {{IDOK, 1}, {IDCANCEL, 0}, {IDOK, 1}}; // the same window serves every showing
    for (const auto& c : cases) {
        m_parent.answers.clear();
        ShowPrompt(m_dlg);
        ASSERT_TRUE(::IsWindowVisible(m_dlg.m_hWnd));
        ::PostMessageW(m_dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_dlg.m_hWnd, c.id)));
        wintest::PumpUntil([&] { return !m_parent.answers.empty(); }, 2000);
        wintest::PumpPending(); // what handling the answer posted
        ASSERT_EQ(m_parent.answers.size(), 1u) << c.id;
        EXPECT_EQ(m_parent.answers[0].wParam, c.wParam) << c.id;
        EXPECT_EQ(m_parent.answers[0].lParam, 0) << c.id;
        EXPECT_FALSE(m_parent.answers[0].promptVisible) << "the prompt hides before the answer is handled";
        EXPECT_FALSE(::IsWindowVisible(m_dlg.m_hWnd));
    }
}

TEST_F(AddAccPrompt, LosingActivationHidesWithoutAnswer) {
    ShowPrompt(m_dlg);
    ASSERT_EQ(::GetActiveWindow(), m_dlg.m_hWnd);
    ::SetActiveWindow(m_parent.m_hWnd); // the player clicks elsewhere
    wintest::PumpUntil([&] { return !::IsWindowVisible(m_dlg.m_hWnd); }, 2000);
    wintest::PumpPending();
    EXPECT_FALSE(::IsWindowVisible(m_dlg.m_hWnd));
    EXPECT_TRUE(m_parent.answers.empty());
}

TEST_F(AddAccPrompt, CaptionBandDoesNotDrag) {
    ShowPrompt(m_dlg);
    RECT rc{};
    ::GetWindowRect(m_dlg.m_hWnd, &rc);
    for (POINT p : {POINT{rc.left + 40, rc.top + 10}, POINT{rc.left + 140, rc.top + 100}}) {
        EXPECT_EQ(::SendMessageW(m_dlg.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCLIENT);
    }
}

TEST_F(AddAccPrompt, QuestionLabelHoldsItsThreeLines) {
    ShowPrompt(m_dlg);
    // The label grew if the template was too low for them.
    RECT label{};
    ::GetWindowRect(::GetDlgItem(m_dlg.m_hWnd, 1023), &label);
    EXPECT_GE(label.bottom - label.top, 46);
}
