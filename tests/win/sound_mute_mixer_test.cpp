// Vista and later (Wine's default version): muting sets the mixer's per-application mute, which
// silences this process's output as recorded by its ALSA file device; nothing is intercepted.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include "base/sound_mute_win.h"
#include "sound_recording.h"

namespace {

TEST(SoundMuteMixer, SilencesTheOutputUntilUnmutedAndLeavesTheDataAlone) {
    ASSERT_TRUE(base::IsVistaOrLater());
    const FARPROC exported = ::GetProcAddress(::GetModuleHandleW(L"winmm.dll"), "waveOutWrite");
    const auto write = [](HWAVEOUT d, WAVEHDR* h, UINT s) { return ::waveOutWrite(d, h, s); };
    // Not muted; muted; muted again and unmuted: the state is set, not toggled.
    const struct {
        std::vector<bool> calls;
        bool silent;
    } steps[] = {{{}, false}, {{true}, true}, {{true, false}, false}};
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "calls: " << step.calls.size());
        for (const bool on : step.calls)
            EXPECT_TRUE(base::SetProcessMute(on)) << "Wine's mixer offers both lines with a mute control";
        std::vector<short> samples = soundtest::Tone();
        long recorded = 0;
        ASSERT_EQ(soundtest::Play(L"sound_mute_mixer_test", write, samples, &recorded), MMSYSERR_NOERROR);
        EXPECT_FALSE(soundtest::AllZero(samples)) << "the caller's data is not touched";
        EXPECT_TRUE(step.silent ? recorded == 0 : recorded > 4000) << recorded << " nonzero bytes recorded";
    }
    EXPECT_EQ(::GetProcAddress(::GetModuleHandleW(L"winmm.dll"), "waveOutWrite"), exported);
}

} // namespace
