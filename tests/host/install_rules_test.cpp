#include "app/install_rules.h"

#include <gtest/gtest.h>

using namespace app;

namespace {
const std::wstring kInstall = L"C:\\ProgramData\\Vexa\\GameLogin";
} // namespace

TEST(DeleteScript, OnlyTheOwnInstallFolderWithAtMostTheExecutableGetsTheLongScript) {
    struct Case {
        std::wstring folder;
        uint64_t files;
        DeleteScript expected;
    } cases[] = {
        {kInstall, 1, DeleteScript::Long},
        {kInstall, 0, DeleteScript::Long},
        {L"c:\\programdata\\vexa\\gamelogin", 1, DeleteScript::Long},
        {kInstall, 2, DeleteScript::Short}, // Statistic.ini beside the executable
        {L"C:\\Users\\p\\Downloads", 1, DeleteScript::Short},
        {kInstall + L"\\sub", 1, DeleteScript::Short},
        {L"C:\\ProgramData\\Vexa", 1, DeleteScript::Short},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDeleteScript(c.folder, kInstall, c.files), c.expected) << c.folder;
    EXPECT_EQ(ChooseDeleteScript(L"", L"", 0), DeleteScript::Short);
}

TEST(DeleteScript, TriesABoundedNumberOfTimesPercentSignsStayLiteralAndAnOverlongScriptIsNone) {
    const std::string text =
        DeleteScriptText(DeleteScript::Short, "C:\\50%off\\%PATH%.exe", "C:\\50%off", "C:\\T\\a.bat");
    EXPECT_EQ(text, "cd\\\r\nset /a tries=0\r\n:delexe\r\nset /a tries+=1\r\nping -n 2 127.0.0.1\r\n"
                    "del \"C:\\50%%off\\%%PATH%%.exe\"\r\n"
                    "if exist \"C:\\50%%off\\%%PATH%%.exe\" if %tries% lss 3600 goto :delexe\r\n"
                    "del \"C:\\T\\a.bat\"\r\n");
    // About an hour for the player to dismiss the last notice: ping sends a request a second.
    const int seconds = (std::stoi(text.substr(text.find("ping -n ") + 8)) - 1) *
                        std::stoi(text.substr(text.find("lss ") + 4));
    EXPECT_TRUE(seconds >= 1800 && seconds <= 7200) << seconds;
    // Five paths of a full buffer each fit; the 2048-byte buffer is never cut into a script.
    const std::string path(259, 'a');
    EXPECT_FALSE(DeleteScriptText(DeleteScript::Long, path, path, path).empty());
    const std::string percents(259, '%');
    EXPECT_TRUE(DeleteScriptText(DeleteScript::Long, percents, percents, path).empty());
}
