#include "mainwnd/page_model.h"

#include <gtest/gtest.h>

using namespace mainwnd;

namespace {
constexpr PageHandle kA = 0x100, kB = 0x200, kC = 0x300, kHall = 0x900;

// A model with `labels` registered and one page adopted per label.
PageModel WithTabs(std::initializer_list<const wchar_t*> labels) {
    PageModel m;
    PageHandle h = kA;
    for (const wchar_t* label : labels) {
        m.PageProcessStarted();
        EXPECT_EQ(m.RegisterLabel(label), 1);
        m.Adopt(h, false);
        h += 0x100;
    }
    return m;
}
} // namespace

TEST(PageModel, FirstAdoptionStartsRunningOnceAndForgetsThePendingProcess) {
    PageModel m;
    m.PageProcessStarted();
    PageActions first = m.Adopt(kA, false);
    EXPECT_TRUE(first.beginRunning);
    EXPECT_TRUE(first.hideAllPages);
    EXPECT_EQ(first.pending, PendingOp::Close);
    EXPECT_FALSE(m.HasPendingProcess());
    ASSERT_EQ(first.invalidate.size(), 1u);
    EXPECT_EQ(first.invalidate[0], (Rect{120, 3, 309, 25}));

    PageActions second = m.Adopt(kB, false);
    EXPECT_FALSE(second.beginRunning);
    EXPECT_EQ(second.pending, PendingOp::Keep);
    EXPECT_EQ(m.CurTab(), 1);
    EXPECT_EQ(second.invalidate[0], (Rect{120, 3, 498, 25}));
    EXPECT_TRUE(m.Adopt(kB, false).invalidate.empty()) << "a page announced twice is one tab";
    EXPECT_EQ(m.TabCount(), 2);
}

TEST(PageModel, HallPageIsNoTabAndDoesNotToggleTheWindowTwice) {
    PageModel m;
    EXPECT_TRUE(m.Adopt(kHall, true).beginRunning);
    EXPECT_EQ(m.Hall(), kHall);
    EXPECT_EQ(m.TabCount(), 0);
    EXPECT_FALSE(m.Adopt(kA, false).beginRunning);
}

TEST(PageModel, LabelsAreRefusedOnlyWhenExactlyEqual) {
    PageModel m;
    EXPECT_EQ(m.RegisterLabel(L"3服-abc-player01"), 1);
    EXPECT_EQ(m.RegisterLabel(L"3服-abc-player01"), 0);
    EXPECT_EQ(m.RegisterLabel(L"3服-abc-Player01"), 1);
}

TEST(PageModel, AddAccountCountsAdoptedTabsOnly) {
    PageModel two = WithTabs({L"a", L"b"});
    two.PageProcessStarted(); // a third login still on its page
    EXPECT_TRUE(two.AddAccount(1).launchPageProcess);

    PageModel three = WithTabs({L"a", L"b", L"c"});
    PageActions refused = three.AddAccount(1);
    EXPECT_FALSE(refused.launchPageProcess);
    EXPECT_EQ(refused.prompt, Prompt::TabLimit);
    EXPECT_EQ(refused.promptText, L"当前窗体只支持3个游戏页");
    EXPECT_TRUE(three.AddAccount(0).launchNewInstance);
    PageActions other = three.AddAccount(2);
    EXPECT_FALSE(other.launchPageProcess || other.launchNewInstance || other.prompt != Prompt::None);
}

TEST(PageModel, SysCloseDependsOnTabsPendingAndMarker) {
    struct Case {
        const char* name;
        int tabs;
        bool pending;
        std::intptr_t lParam;
        bool consumed, quit;
        PendingOp op;
    } cases[] = {
        {"close button before the first tab", 0, true, 0, true, true, PendingOp::Terminate},
        {"cancelled first login", 0, true, kSelfMarker, true, true, PendingOp::Terminate},
        {"cancelled extra login", 1, true, kSelfMarker, true, false, PendingOp::Close},
        {"marker with nothing pending asks", 1, false, kSelfMarker, false, false, PendingOp::Keep},
        {"close button with tabs asks", 2, true, 0, false, false, PendingOp::Keep},
        {"other lParam without tabs asks", 0, true, 5, false, false, PendingOp::Keep},
    };
    for (const Case& c : cases) {
        PageModel m;
        for (int i = 0; i < c.tabs; ++i)
            m.Adopt(kA + PageHandle(i) * 0x100, false);
        if (c.pending) m.PageProcessStarted();
        PageActions a = m.SysClose(c.lParam);
        EXPECT_EQ(a.consumed, c.consumed) << c.name;
        EXPECT_EQ(a.quit, c.quit) << c.name;
        EXPECT_EQ(a.pending, c.op) << c.name;
        EXPECT_EQ(a.prompt, Prompt::None) << c.name;
    }
}

TEST(PageModel, QuitAllClosesEveryPageOnce) {
    PageModel m = WithTabs({L"a", L"b"});
    m.PageProcessStarted();
    EXPECT_EQ(m.CloseRequest().promptText, L"窗口即将关闭，确定要退出游戏？");
    EXPECT_FALSE(m.AnswerQuit(false).quit);
    PageActions a = m.AnswerQuit(true);
    EXPECT_TRUE(a.quit);
    EXPECT_EQ(a.pending, PendingOp::Terminate);
    EXPECT_EQ(a.closePages, (std::vector<PageHandle>{kA, kB}));
    EXPECT_FALSE(m.QuitAll().quit);
    EXPECT_EQ(m.Adopt(kC, false).closePages, (std::vector<PageHandle>{kC})) << "late page is sent away";
}

TEST(PageModel, ClosingATabSelectsTheTabInItsPlace) {
    struct Case {
        int closed;
        PageHandle shown;
        int curTab;
        std::vector<PageHandle> left;
        const wchar_t* label1;
    } cases[] = {
        {0, kB, 0, {kB, kC}, L"c"},
        {1, kC, 1, {kA, kC}, L"c"},
        {2, kB, 1, {kA, kB}, L"b"},
    };
    for (const Case& c : cases) {
        PageModel m = WithTabs({L"a", L"b", L"c"});
        PageActions ask = m.CloseTab(c.closed);
        EXPECT_EQ(ask.prompt, Prompt::CloseAccount);
        EXPECT_EQ(ask.promptText, L"确定要退出账号：" + std::wstring(m.Label(c.closed)) + L" ?");
        PageActions done = m.AnswerCloseTab(ask.promptPage, true);
        EXPECT_EQ(done.show, c.shown) << c.closed;
        EXPECT_EQ(done.closePages, std::vector<PageHandle>{ask.promptPage});
        EXPECT_EQ(m.CurTab(), c.curTab);
        EXPECT_EQ(m.Pages(), c.left);
        EXPECT_EQ(m.Label(1), c.label1);
        EXPECT_EQ(done.invalidate[0], (Rect{120, 3, 309 + 189 * 2, 25}));
    }
}

TEST(PageModel, ClosingTheLastTabAsksTheWindowQuestion) {
    PageModel m = WithTabs({L"a"});
    PageActions a = m.CloseTab(0);
    EXPECT_EQ(a.prompt, Prompt::QuitWindow);
    EXPECT_EQ(a.invalidate[0], (Rect{296, 3, 309, 16}));
    EXPECT_TRUE(m.AnswerQuit(true).quit);
}

TEST(PageModel, AnAnswerAfterTheTabsChangedActsOnTheRightPage) {
    PageModel m = WithTabs({L"a", L"b", L"c"});
    PageActions askC = m.CloseTab(2);
    PageActions askA = m.CloseTab(0);
    m.AnswerCloseTab(askA.promptPage, true); // tab c moves to index 1
    PageActions done = m.AnswerCloseTab(askC.promptPage, true);
    EXPECT_EQ(done.closePages, std::vector<PageHandle>{kC});
    EXPECT_EQ(m.Pages(), std::vector<PageHandle>{kB});
    EXPECT_TRUE(m.AnswerCloseTab(kC, true).closePages.empty()) << "already gone";
    EXPECT_EQ(m.AnswerCloseTab(kB, true).prompt, Prompt::QuitWindow) << "now the last tab";
    EXPECT_EQ(m.CloseTab(5).prompt, Prompt::None);
}

TEST(PageModel, SwitchPageCyclesUnlessTheHallIsShown) {
    PageModel m = WithTabs({L"a", L"b", L"c"});
    EXPECT_EQ(m.SwitchPage(true, false).show, kA);
    EXPECT_EQ(m.SwitchPage(true, false).show, kB);
    PageActions hall = m.SwitchPage(true, true);
    EXPECT_EQ(hall.show, kB);
    EXPECT_TRUE(hall.invalidate.empty());
    EXPECT_EQ(m.SwitchPage(false, false).show, 0u);
    EXPECT_EQ(PageModel().SwitchPage(true, false).show, 0u);
}

TEST(PageModel, KeysGoToTheVisiblePage) {
    PageModel m = WithTabs({L"a", L"b"});
    m.Adopt(kHall, true);
    EXPECT_EQ(m.KeyTarget(true, true), kB);
    EXPECT_EQ(m.KeyTarget(false, true), kHall);
    EXPECT_EQ(m.KeyTarget(false, false), 0u);
    EXPECT_EQ(m.PageToPlace(true), kHall);
    EXPECT_EQ(m.PageToPlace(false), kB);
}

TEST(PageModel, StripClicksSelectAndClose) {
    PageModel m = WithTabs({L"a", L"b", L"c"}); // tab c selected
    PageActions press = m.LeftButtonDown({130, 10}, false);
    EXPECT_TRUE(press.consumed);
    EXPECT_EQ(press.show, kA);
    EXPECT_EQ(m.CurTab(), 0);
    EXPECT_EQ(m.LeftButtonDown({130, 10}, true).show, kA) << "selected tab over the hall page";
    EXPECT_EQ(m.LeftButtonDown({130, 10}, false).show, 0u);
    EXPECT_FALSE(m.LeftButtonDown({100, 10}, false).consumed);

    m.LeftButtonDown({300 + 189, 5}, false);
    EXPECT_EQ(m.Hover().closeBoxState, kCloseBoxPressed);
    EXPECT_EQ(m.LeftButtonUp({300 + 189, 5}).promptPage, kB);
    EXPECT_EQ(m.LeftButtonUp({200 + 189, 5}).prompt, Prompt::None) << "release off the box";
    EXPECT_EQ(m.MiddleButtonUp({200 + 189 * 2, 20}).promptPage, kC);
    EXPECT_FALSE(m.MiddleButtonUp({120 + 189 * 3, 20}).consumed);
}

TEST(PageProcessArguments, WritesSignedHandleAndCount) {
    EXPECT_EQ(PageProcessArguments(0x30A5E, 2), L" /newgm /199262 /2");
    EXPECT_EQ(PageProcessArguments(-5, 0), L" /newgm /-5 /0");
}
