#include "web/login_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/page_protocol.h"

using web::LoginCommand;
using web::LoginStep;

TEST(LoginLabel, NormalisesServerAndMiddle) {
    struct Case {
        web::LoginFields raw;
        const wchar_t* label;
        const wchar_t* refusal;
    } cases[] = {
        {{L"S3", L"abc", L"player01"},
         L"3服-abc-player01",
         L"账号 player01 已在 3服 登录，同一账号不能在一服重复登录"},
        {{L"7", L"电信》新区一服", L"acc"},
         L"7服-新区一服-acc",
         L"账号 acc 已在 7服 登录，同一账号不能在一服重复登录"},
        {{L"S12", L"x》ab12cd", L"user-1"}, L"12服-ab12-user-1", nullptr},
        {{L"sS1", L"网通》", L"a"}, L"s1服--a", nullptr},
        {{L"", L"", L""}, L"服--", nullptr},
        {{L"1", L"a》b》c", L"%s%n"},
         L"1服-b》c-%s%n",
         L"账号 %s%n 已在 1服 登录，同一账号不能在一服重复登录"},
    };
    for (const auto& c : cases) {
        const web::LoginFields fields = web::NormaliseLoginFields(c.raw);
        EXPECT_EQ(web::BuildTabLabel(fields), c.label);
        if (c.refusal) {
            EXPECT_EQ(web::DuplicateLoginMessage(fields), c.refusal);
        }
    }
}

TEST(ScreenLoginCommand, MinimizeDependsOnOpenPagesAndUac) {
    struct Case {
        LoginCommand command;
        int parentPages;
        bool uac;
        LoginStep step;
    } cases[] = {
        {LoginCommand::NotCommand, 0, false, LoginStep::Navigate},
        {LoginCommand::LoadGame, 2, true, LoginStep::RegisterLabel},
        {LoginCommand::ExitGame, 0, true, LoginStep::Cancel},
        {LoginCommand::Minimize, 1, true, LoginStep::Cancel},
        {LoginCommand::Minimize, 0, true, LoginStep::MinimizeBackdrop},
        {LoginCommand::Minimize, 0, false, LoginStep::MinimizeParent},
        {LoginCommand::Other, 0, false, LoginStep::Ignore},
    };
    for (const auto& c : cases)
        EXPECT_EQ(web::ScreenLoginCommand(c.command, c.parentPages, c.uac), c.step) << int(c.command);
}

TEST(LoginDrag, SkipsThePageButtonsArea) {
    using web::ElementEvent;
    const struct {
        ElementEvent event;
        int x, y;
        std::optional<std::uint32_t> expected;
    } cases[] = {
        {ElementEvent::MouseDown, 10, 10, web::kNcLButtonDown},
        {ElementEvent::MouseUp, 10, 10, web::kNcLButtonUp},
        {ElementEvent::MouseMove, 10, 10, web::kNcMouseMove},
        {ElementEvent::MouseOver, 10, 10, std::nullopt},
        {ElementEvent::ContextMenu, 10, 10, std::nullopt},
        {ElementEvent::MouseDown, 739, 93, std::nullopt}, // both ends of the area are inside
        {ElementEvent::MouseDown, 786, 114, std::nullopt},
        {ElementEvent::MouseMove, 760, 100, std::nullopt},
        {ElementEvent::MouseDown, 738, 100, web::kNcLButtonDown},
        {ElementEvent::MouseDown, 787, 100, web::kNcLButtonDown},
        {ElementEvent::MouseDown, 760, 92, web::kNcLButtonDown},
        {ElementEvent::MouseDown, 760, 115, web::kNcLButtonDown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(web::LoginDragMessage(c.event, c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(LoginLabel, LengthMatchesWhatTheMainWindowKeeps) {
    const std::wstring longest(base::kMaxTabLabelChars, L'a');
    EXPECT_TRUE(web::LabelFitsMainWindow(longest));
    EXPECT_TRUE(web::LabelFitsMainWindow(L"服--"));
    EXPECT_FALSE(web::LabelFitsMainWindow(longest + L"a"));
    // What fits here is what the main window reads back from the copy-data block.
    for (const std::wstring& label : {longest, longest + L"a"}) {
        std::vector<char16_t> block(label.begin(), label.end());
        block.push_back(0);
        const bool kept = base::ParseLabelCopyData(block.data(), block.size() * 2).has_value();
        EXPECT_EQ(kept, web::LabelFitsMainWindow(label)) << label.size();
    }
}
