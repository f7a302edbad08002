// A module that calls winmm through its own import table. Tests load it after redirecting
// winmm's exports, so its imports are resolved through winmm's export table.
#include <windows.h>
#include <mmsystem.h>

extern "C" __declspec(dllexport) MMRESULT CallWaveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT size) {
    return ::waveOutWrite(device, header, size);
}

extern "C" __declspec(dllexport) MMRESULT CallMidiStreamOut(HMIDISTRM stream, LPMIDIHDR header, UINT size) {
    return ::midiStreamOut(stream, header, size);
}

extern "C" __declspec(dllexport) UINT CallWaveOutGetNumDevs() {
    return ::waveOutGetNumDevs();
}
