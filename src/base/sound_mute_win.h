// Muting the sound output of this process and of nothing else. Vista and later keep a volume per
// application, and the mixer's mute controls act on the calling one; earlier systems have no
// such thing, so there the process's own audio calls are intercepted and their data silenced.
#pragma once
#include <atomic>

#include "base/os_version_win.h"

namespace base {

// Mutes (true) or unmutes this process's sound output; the state is set, not toggled.
// Vista and later: the mute controls of mixer device 0, the wave-output source line and then
// the speakers destination line; the answer is the second's (false when there is no mixer, line
// or control, and then the sound is as it was). Earlier: the first call installs the
// interceptions of waveOutWrite, midiStreamOut and DirectSound's sound buffers for the life of
// the process (removed at exit), and every call sets ProcessMuted; the answer is true.
bool SetProcessMute(bool on);

// Earlier systems: while set, the intercepted calls hand silence on instead of the caller's
// data. Written by SetProcessMute, read on whatever threads play sound.
extern std::atomic<bool> ProcessMuted;

} // namespace base
