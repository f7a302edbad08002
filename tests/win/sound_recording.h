// What reaches the sound output, as the ALSA file device of a sound test's HOME records it
// (tests/win/CMakeLists.txt gives those tests a device that writes to sound/<test>/out.raw).
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "win_test_support.h"

namespace soundtest {

using WaveWrite = std::function<MMRESULT(HWAVEOUT, WAVEHDR*, UINT)>;
constexpr DWORD kRate = 22050;

// 200 ms of a loud 16-bit mono tone: hardly a sample of it is zero.
inline std::vector<short> Tone() {
    std::vector<short> samples(kRate / 5);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<short>(12000 * std::sin(0.3 * static_cast<double>(i)));
    return samples;
}

inline bool AllZero(const std::vector<short>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](short s) { return s == 0; });
}

// Opens the wave output, hands the samples to `write` (the call under test), waits until they
// are played and closes the output, which ends this play's recording. Answers write's result;
// *recorded gets the recording's nonzero bytes, or -1 when it did not grow to the samples' size.
inline MMRESULT Play(const wchar_t* test, const WaveWrite& write, std::vector<short>& samples,
                     long* recorded) {
    const std::filesystem::path path = wintest::ExeFolder() + L"sound\\" + test + L"\\out.raw";
    std::filesystem::remove(path);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, kRate, kRate * 2, 2, 16, 0};
    HWAVEOUT device = nullptr;
    if (::waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
        return MMSYSERR_NODRIVER;
    WAVEHDR header{reinterpret_cast<LPSTR>(samples.data()),
                   static_cast<DWORD>(samples.size() * sizeof(short))};
    ::waveOutPrepareHeader(device, &header, sizeof(header));
    const MMRESULT result = write(device, &header, sizeof(header));
    if (result == MMSYSERR_NOERROR)
        wintest::PumpUntil([&] { return (header.dwFlags & WHDR_DONE) != 0; }, 5000);
    ::waveOutReset(device);
    ::waveOutUnprepareHeader(device, &header, sizeof(header));
    ::waveOutClose(device);
    std::vector<char> data;
    const bool whole = wintest::PumpUntil(
        [&] {
            std::ifstream in(path, std::ios::binary);
            data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            return data.size() >= header.dwBufferLength;
        },
        5000);
    *recorded =
        whole ? static_cast<long>(std::count_if(data.begin(), data.end(), [](char c) { return c != 0; }))
              : -1;
    return result;
}

} // namespace soundtest
