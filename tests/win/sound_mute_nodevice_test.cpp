// Vista and later without any sound device (Wine here has none unless a test gives it one):
// muting fails and changes nothing.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include "base/sound_mute_win.h"

namespace {

TEST(SoundMuteNoDevice, AnswersFalseAndChangesNothing) {
    ASSERT_TRUE(base::IsVistaOrLater());
    ASSERT_EQ(::mixerGetNumDevs(), 0u) << "this case needs Wine without a sound device";
    HMODULE winmm = ::GetModuleHandleW(L"winmm.dll");
    const FARPROC exported = ::GetProcAddress(winmm, "waveOutWrite");
    EXPECT_FALSE(base::SetProcessMute(true));
    EXPECT_FALSE(base::SetProcessMute(false));
    EXPECT_FALSE(base::ProcessMuted.load());
    EXPECT_EQ(::GetProcAddress(winmm, "waveOutWrite"), exported) << "nothing is intercepted";
}

} // namespace
