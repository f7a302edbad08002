#include "web/automation_tone_win.h"

#include <mmsystem.h>

#include <cmath>
#include <vector>

#include "web/automation_channel.h"

namespace web {
namespace {

// 200 ms of a loud tone, 16-bit mono at 22,050 Hz.
bool PlayTone() {
    constexpr DWORD kRate = 22050;
    std::vector<short> samples(kRate / 5);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<short>(12000 * std::sin(0.3 * static_cast<double>(i)));
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, kRate, kRate * 2, 2, 16, 0};
    HANDLE played = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT device = nullptr;
    if (!played || ::waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(played), 0,
                                 CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        if (played) ::CloseHandle(played);
        return false;
    }
    WAVEHDR header{reinterpret_cast<LPSTR>(samples.data()),
                   static_cast<DWORD>(samples.size() * sizeof(short))};
    ::waveOutPrepareHeader(device, &header, sizeof(header));
    if (::waveOutWrite(device, &header, sizeof(header)) == MMSYSERR_NOERROR) {
        const DWORD start = ::GetTickCount();
        while (!(header.dwFlags & WHDR_DONE) && ::GetTickCount() - start < 1000)
            ::WaitForSingleObject(played, 50);
    }
    const bool done = (header.dwFlags & WHDR_DONE) != 0;
    ::waveOutReset(device);
    ::waveOutUnprepareHeader(device, &header, sizeof(header));
    ::waveOutClose(device);
    ::CloseHandle(played);
    return done;
}

} // namespace

bool OnAutomationTone(bool enabled, LPARAM lParam, LRESULT* result) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != kAutomationTone || !enabled) return false;
    *result = PlayTone() ? TRUE : FALSE;
    return true;
}

} // namespace web
