#include "mainwnd/page_model.h"

#include <gtest/gtest.h>

using namespace mainwnd;

namespace {
constexpr PageHandle kA = 0x100, kB = 0x200, kC = 0x300, kHall = 0x900;
// Page processes: each page kX above belongs to process kX / 0x100 (1, 2, 3); the hall's is 9.
constexpr ProcessId kHallProcess = 9;

ProcessId ProcessOf(PageHandle page) {
    return static_cast<ProcessId>(page / 0x100);
}

// A model with `labels` registered and one page adopted per label, each by its own process.
PageModel WithTabs(std::initializer_list<const wchar_t*> labels) {
    PageModel m;
    PageHandle h = kA;
    for (const wchar_t* label : labels) {
        m.PageProcessStarted(ProcessOf(h));
        EXPECT_EQ(m.RegisterLabel(ProcessOf(h), label), 1);
        m.Adopt(ProcessOf(h), h, false);
        h += 0x100;
    }
    return m;
}
} // namespace

TEST(PageModel, FirstAdoptionStartsRunningOnceAndForgetsItsLogin) {
    PageModel m;
    m.PageProcessStarted(1);
    m.PageProcessStarted(2);
    PageActions first = m.Adopt(1, kA, false);
    EXPECT_TRUE(first.beginRunning);
    EXPECT_TRUE(first.hideAllPages);
    EXPECT_EQ(first.adopted, kA) << "the new page shows itself once loaded";
    ASSERT_EQ(m.Logins().size(), 1u);
    EXPECT_EQ(m.Logins()[0].process, 2u);
    ASSERT_EQ(first.invalidate.size(), 1u);
    EXPECT_EQ(first.invalidate[0], (base::Rect{120, 3, 309, 25}));

    PageActions second = m.Adopt(2, kB, false);
    EXPECT_FALSE(second.beginRunning);
    EXPECT_FALSE(m.HasPendingProcess());
    EXPECT_EQ(m.CurTab(), 1);
    EXPECT_EQ(second.invalidate[0], (base::Rect{120, 3, 498, 25}));
    EXPECT_TRUE(m.Adopt(2, kB, false).invalidate.empty()) << "a page announced twice is one tab";
    EXPECT_EQ(m.TabCount(), 2);
}

TEST(PageModel, HallPageIsNoTabAndDoesNotToggleTheWindowTwice) {
    PageModel m;
    m.PageProcessStarted(kHallProcess);
    m.PageProcessStarted(1);
    EXPECT_TRUE(m.Adopt(kHallProcess, kHall, true).beginRunning);
    EXPECT_EQ(m.Hall(), kHall);
    EXPECT_EQ(m.TabCount(), 0);
    EXPECT_FALSE(m.Adopt(1, kA, false).beginRunning);
}

TEST(PageModel, OnlyAHallOfThisProgramIsTakenFromAProcessItNeverStarted) {
    const struct {
        bool isHall, sameProgram, adopted;
    } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const auto& c : cases) {
        PageModel m;
        EXPECT_EQ(m.Adopt(kHallProcess, kHall, c.isHall, c.sameProgram).beginRunning, c.adopted);
        EXPECT_EQ(m.Hall() == kHall || m.TabCount() > 0, c.adopted) << c.isHall << c.sameProgram;
    }
}

TEST(PageModel, LabelsAreRefusedOnlyWhenExactlyEqual) {
    PageModel m;
    for (ProcessId p : {1u, 2u, 3u, 4u})
        m.PageProcessStarted(p);
    EXPECT_EQ(m.RegisterLabel(1, L"3服-abc-player01"), 1);
    EXPECT_EQ(m.RegisterLabel(2, L"3服-abc-player01"), 0) << "kept for a login";
    m.Adopt(1, kA, false);
    EXPECT_EQ(m.RegisterLabel(3, L"3服-abc-player01"), 0) << "kept for a tab";
    EXPECT_EQ(m.RegisterLabel(4, L"3服-abc-Player01"), 1);
}

TEST(PageModel, LabelsGoToThePageOfTheirOwnProcess) {
    // s: process started; l: label sent (answer expected); p: page announced (tab count after
    // it expected); e: process ended.
    struct Step {
        char op;
        ProcessId process;
        const wchar_t* label = nullptr;
        PageHandle page = 0;
        int expected = 0;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::wstring> labels; // of the tabs at the end, in tab order
    } cases[] = {
        {"logins finishing in reverse order",
         {{'s', 1},
          {'s', 2},
          {'l', 1, L"1服-a-one", 0, 1},
          {'l', 2, L"2服-b-two", 0, 1},
          {'p', 2, nullptr, kB, 1},
          {'p', 1, nullptr, kA, 2}},
         {L"2服-b-two", L"1服-a-one"}},
        {"a login that ends before its page gives its label up",
         {{'s', 1},
          {'s', 2},
          {'l', 1, L"1服-a-one", 0, 1},
          {'e', 1},
          {'l', 2, L"1服-a-one", 0, 1},
          {'p', 1, nullptr, kA, 0},
          {'p', 2, nullptr, kB, 1}},
         {L"1服-a-one"}},
        {"windows and labels of processes never started are refused",
         {{'s', 1},
          {'l', 7, L"7服-x-foreign", 0, 0},
          {'p', 7, nullptr, kC, 0},
          {'l', 1, L"1服-a-one", 0, 1},
          {'p', 1, nullptr, kA, 1}},
         {L"1服-a-one"}},
        {"one label per login, and none after its page",
         {{'s', 1},
          {'l', 1, L"1服-a-one", 0, 1},
          {'l', 1, L"1服-a-again", 0, 0},
          {'p', 1, nullptr, kA, 1},
          {'l', 1, L"1服-a-late", 0, 0}},
         {L"1服-a-one"}},
        {"a process started twice pairs its labels and pages in order",
         {{'s', 5},
          {'s', 5},
          {'l', 5, L"5服-x-first", 0, 1},
          {'l', 5, L"5服-x-second", 0, 1},
          {'p', 5, nullptr, kA, 1},
          {'p', 5, nullptr, kB, 2}},
         {L"5服-x-first", L"5服-x-second"}},
        {"a page without a label is a tab without one", {{'s', 1}, {'p', 1, nullptr, kA, 1}}, {L""}},
        {"a label without its sender goes to the only login",
         {{'l', 0, L"1服-a-none", 0, 0}, {'s', 1}, {'l', 0, L"1服-a-one", 0, 1}, {'p', 1, nullptr, kA, 1}},
         {L"1服-a-one"}},
        {"a label without its sender is refused while two logins are open",
         {{'s', 1}, {'s', 2}, {'l', 0, L"1服-a-one", 0, 0}, {'p', 1, nullptr, kA, 1}},
         {L""}},
    };
    for (const auto& c : cases) {
        PageModel m;
        for (const Step& s : c.steps) {
            if (s.op == 's') m.PageProcessStarted(s.process);
            if (s.op == 'e') m.PageProcessEnded(s.process);
            if (s.op == 'l') {
                EXPECT_EQ(m.RegisterLabel(s.process, s.label), s.expected) << c.name;
            }
            if (s.op == 'p') {
                m.Adopt(s.process, s.page, false);
                EXPECT_EQ(m.TabCount(), s.expected) << c.name << ": page of " << s.process;
            }
        }
        ASSERT_EQ(m.TabCount(), static_cast<int>(c.labels.size())) << c.name;
        for (int i = 0; i < m.TabCount(); ++i)
            EXPECT_EQ(m.Label(i), c.labels[static_cast<size_t>(i)]) << c.name << ": tab " << i;
    }
}

TEST(PageModel, AddAccountCountsAdoptedTabsOnly) {
    PageModel two = WithTabs({L"a", L"b"});
    two.PageProcessStarted(3); // a third login still on its page
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
        bool consumed, quit, terminates;
    } cases[] = {
        {"close button before the first tab", 0, true, 0, true, true, true},
        {"cancelled first login", 0, true, base::kSelfMarker, true, true, true},
        {"cancelled extra login", 1, true, base::kSelfMarker, true, false, false},
        {"marker with nothing pending asks", 1, false, base::kSelfMarker, false, false, false},
        {"close button with tabs asks", 2, true, 0, false, false, false},
        {"other lParam without tabs asks", 0, true, 5, false, false, false},
    };
    for (const Case& c : cases) {
        PageModel m = c.tabs == 0 ? PageModel() : c.tabs == 1 ? WithTabs({L"a"}) : WithTabs({L"a", L"b"});
        if (c.pending) m.PageProcessStarted(7);
        PageActions a = m.SysClose(c.lParam);
        EXPECT_EQ(a.consumed, c.consumed) << c.name;
        EXPECT_EQ(a.quit, c.quit) << c.name;
        EXPECT_EQ(a.terminate, c.terminates ? std::vector<ProcessId>{7} : std::vector<ProcessId>{}) << c.name;
        EXPECT_EQ(a.prompt, Prompt::None) << c.name;
    }
}

TEST(PageModel, QuitAllClosesEveryPageOnce) {
    PageModel m = WithTabs({L"a", L"b"});
    m.PageProcessStarted(3);
    m.PageProcessStarted(4);
    EXPECT_EQ(m.CloseRequest().promptText, L"窗口即将关闭，确定要退出游戏？");
    EXPECT_FALSE(m.AnswerQuit(false).quit);
    PageActions a = m.AnswerQuit(true);
    EXPECT_TRUE(a.quit);
    EXPECT_EQ(a.terminate, (std::vector<ProcessId>{3, 4})) << "every login still open ends";
    EXPECT_EQ(a.closePages, (std::vector<PageHandle>{kA, kB}));
    EXPECT_FALSE(m.QuitAll().quit);
    m.PageProcessStarted(5);
    EXPECT_FALSE(m.HasPendingProcess()) << "nothing new starts while the program ends";
    m.Adopt(3, kC, false);
    EXPECT_EQ(m.TabCount(), 0) << "a page that comes late is no tab";
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
        EXPECT_EQ(done.invalidate[0], (base::Rect{120, 3, 309 + 189 * 2, 25}));
    }
}

TEST(PageModel, ClosingTheLastTabAsksTheWindowQuestion) {
    PageModel m = WithTabs({L"a"});
    PageActions a = m.CloseTab(0);
    EXPECT_EQ(a.prompt, Prompt::QuitWindow);
    EXPECT_EQ(a.invalidate[0], (base::Rect{296, 3, 309, 16}));
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
    m.PageProcessStarted(kHallProcess);
    m.Adopt(kHallProcess, kHall, true);
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
    EXPECT_EQ(m.Hover().closeBoxState, CloseBoxState::Pressed);
    EXPECT_EQ(m.LeftButtonUp({300 + 189, 5}).promptPage, kB);
    EXPECT_EQ(m.LeftButtonUp({200 + 189, 5}).prompt, Prompt::None) << "release off the box";
    EXPECT_EQ(m.MiddleButtonUp({200 + 189 * 2, 20}).promptPage, kC);
    EXPECT_FALSE(m.MiddleButtonUp({120 + 189 * 3, 20}).consumed);
}

TEST(PageModel, EnterGameIsTakenFromItsOwnShownPagesOneAtATime) {
    PageModel m = WithTabs({L"a", L"b"});
    EXPECT_EQ(m.TakeEnterGame(ProcessOf(kB), kB, L"drag/onx"), L"Dragonx");
    EXPECT_FALSE(m.TakeEnterGame(ProcessOf(kA), kA, L"mygame")) << "while another is settled";
    m.EnterGameSettled();
    EXPECT_FALSE(m.TakeEnterGame(ProcessOf(kA), kB, L"mygame")) << "a tab another process announced";
    EXPECT_FALSE(m.TakeEnterGame(ProcessOf(kC), kC, L"mygame")) << "no page of this window";
    EXPECT_FALSE(m.TakeEnterGame(ProcessOf(kA), kA, L"..\\x")) << "no client name";
    m.AnswerCloseTab(kB, true);
    EXPECT_FALSE(m.TakeEnterGame(ProcessOf(kB), kB, L"mygame")) << "a closed tab";
    EXPECT_EQ(m.TakeEnterGame(ProcessOf(kA), kA, L"mygame"), L"Mygame");
}

TEST(PageProcessArguments, WritesSignedHandleAndCount) {
    EXPECT_EQ(PageProcessArguments(0x30A5E, 2), L" /newgm /199262 /2");
    EXPECT_EQ(PageProcessArguments(-5, 0), L" /newgm /-5 /0");
}
