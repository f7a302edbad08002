// Systems before Vista, as this executable sees Wine with the XP version: muting intercepts the
// process's own audio calls and silences their data on every way a caller reaches them; the
// main window keeps its pre-Vista login dialog and repaints the corner it leaves when narrowed.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/sound_mute_win.h"
#include "mainwnd_fixture.h"
#include "sound_recording.h"

namespace {

// Wine takes the Windows version an executable sees from the prefix's registry, by the
// executable's name, as the process starts: this test sets XP for itself and runs again (once).
const int g_runAsXp = [] {
    wchar_t path[MAX_PATH] = {}, again[2] = {};
    if (!base::IsVistaOrLater() || ::GetEnvironmentVariableW(L"TNVEXA_XP_RUN", again, 2)) return 0;
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + std::wstring(std::wcsrchr(path, L'\\') + 1);
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, L"winxp64", sizeof(L"winxp64"));
    ::SetEnvironmentVariableW(L"TNVEXA_XP_RUN", L"1");
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    std::wstring commandLine = ::GetCommandLineW();
    if (!::CreateProcessW(path, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process))
        return 0;
    DWORD code = 1;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &code);
    ::ExitProcess(code);
}();

template <class Fn> Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

TEST(SoundMuteXp, WaveAndMidiDataReachTheRealFunctionsSilencedOnlyWhileMuted) {
    ASSERT_FALSE(base::IsVistaOrLater()) << "the XP version is set for this executable";
    using MidiOut = std::function<MMRESULT(HMIDISTRM, MIDIHDR*, UINT)>;
    std::vector<BYTE> events(48, 0x5A);
    MIDIHDR midi{reinterpret_cast<LPSTR>(events.data()), 48};
    const MMRESULT realMidiAnswer = ::midiStreamOut(nullptr, &midi, sizeof(midi)); // no MIDI device here

    EXPECT_TRUE(base::SetProcessMute(true));
    EXPECT_TRUE(base::SetProcessMute(true));
    // Ways to winmm: this module's import table (filled before the first mute), its export table,
    // and the import table of a module loaded after the first mute.
    HMODULE winmm = ::GetModuleHandleW(L"winmm.dll");
    HMODULE late = ::LoadLibraryW((wintest::ExeFolder() + L"winmm_caller.dll").c_str());
    ASSERT_TRUE(late);
    using WaveFn = MMRESULT (*)(HWAVEOUT, WAVEHDR*, UINT);
    using MidiFn = MMRESULT (*)(HMIDISTRM, MIDIHDR*, UINT);
    const struct {
        const char* name;
        soundtest::WaveWrite write;
        MidiOut streamOut;
    } routes[] = {
        {"import", [](HWAVEOUT d, WAVEHDR* h, UINT s) { return ::waveOutWrite(d, h, s); },
         [](HMIDISTRM m, MIDIHDR* h, UINT s) { return ::midiStreamOut(m, h, s); }},
        {"GetProcAddress", Export<WaveFn>(winmm, "waveOutWrite"), Export<MidiFn>(winmm, "midiStreamOut")},
        {"later module", Export<WaveFn>(late, "CallWaveOutWrite"), Export<MidiFn>(late, "CallMidiStreamOut")},
    };
    for (const bool muted : {true, false}) {
        if (!muted) {
            EXPECT_TRUE(base::SetProcessMute(false)); // after muting twice
        }
        for (const auto& route : routes) {
            SCOPED_TRACE(std::string(route.name) + (muted ? ", muted" : ", not muted"));
            std::vector<short> samples = soundtest::Tone();
            long recorded = 0;
            ASSERT_EQ(soundtest::Play(L"sound_mute_xp_test", route.write, samples, &recorded),
                      MMSYSERR_NOERROR);
            EXPECT_EQ(soundtest::AllZero(samples), muted);
            EXPECT_TRUE(muted ? recorded == 0 : recorded > 4000) << recorded << " nonzero bytes recorded";

            events.assign(48, 0x5A);
            EXPECT_EQ(route.streamOut(nullptr, &midi, sizeof(midi)), realMidiAnswer);
            EXPECT_EQ(events[0] == 0 && events[47] == 0, muted);
        }
    }
}

struct Released {
    void operator()(IUnknown* p) const { p->Release(); }
};
template <class T> using Owned = std::unique_ptr<T, Released>;

Owned<IDirectSoundBuffer> MakeBuffer(IDirectSound* device, DWORD flags) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, soundtest::kRate, soundtest::kRate * 2, 2, 16, 0};
    DSBUFFERDESC description{sizeof(description),       flags, flags ? 0 : soundtest::kRate, 0,
                             flags ? nullptr : &format, {}};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
    return Owned<IDirectSoundBuffer>(buffer);
}

// Writes the tone into the buffer through Lock and Unlock; answers whether a second Lock finds
// silence there.
bool UnlockLeavesSilence(IDirectSoundBuffer* buffer) {
    const std::vector<short> tone = soundtest::Tone();
    void *part1 = nullptr, *part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    EXPECT_EQ(buffer->Lock(0, soundtest::kRate, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
    std::memcpy(part1, tone.data(), bytes1);
    buffer->Unlock(part1, bytes1, part2, bytes2);
    buffer->Lock(0, soundtest::kRate, &part1, &bytes1, &part2, &bytes2, 0);
    std::vector<short> seen(static_cast<const short*>(part1), static_cast<const short*>(part1) + bytes1 / 2);
    buffer->Unlock(part1, bytes1, part2, bytes2);
    return soundtest::AllZero(seen);
}

TEST(SoundMuteXp, BuffersMadeAfterMutingAreSilencedWhateverTheirDeviceOrClass) {
    ASSERT_TRUE(base::SetProcessMute(true));
    using CreateFn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
    const auto create = Export<CreateFn>(::GetModuleHandleW(L"dsound.dll"), MAKEINTRESOURCEA(1));
    IDirectSound *first = nullptr, *second = nullptr;
    ASSERT_EQ(create(nullptr, &first, nullptr), DS_OK) << "Wine offers a device over the ALSA file device";
    ASSERT_EQ(create(nullptr, &second, nullptr), DS_OK);
    Owned<IDirectSound> device(first), otherDevice(second);
    ASSERT_EQ(device->SetCooperativeLevel(::GetDesktopWindow(), DSSCL_PRIORITY), DS_OK);
    // A primary buffer first: its class, and so its table, is another than a secondary buffer's.
    Owned<IDirectSoundBuffer> primary = MakeBuffer(device.get(), DSBCAPS_PRIMARYBUFFER);
    Owned<IDirectSoundBuffer> buffer = MakeBuffer(device.get(), 0);
    Owned<IDirectSoundBuffer> otherBuffer = MakeBuffer(otherDevice.get(), 0);
    ASSERT_TRUE(primary && buffer && otherBuffer);
    EXPECT_TRUE(UnlockLeavesSilence(buffer.get()));
    EXPECT_TRUE(UnlockLeavesSilence(otherBuffer.get()));
    ASSERT_TRUE(base::SetProcessMute(false));
    EXPECT_FALSE(UnlockLeavesSilence(buffer.get()));
}

// ---- the main window before Vista -------------------------------------------------------------

int g_probePaints = 0;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) ++g_probePaints; // and validated by the default handling
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

using MainWindowXp = mwtest::MainWindowTest;

TEST_F(MainWindowXp, KeepsALoginDialogAndRepaintsTheCornerLeftWhenNarrowed) {
    HWND login = nullptr;
    while ((login = ::FindWindowExW(nullptr, login, L"#32770", nullptr)) &&
           ::GetWindow(login, GW_OWNER) != m_dlg.m_hWnd) {
    }
    ASSERT_TRUE(login) << "a dialog owned by the main window";
    RECT rc{};
    ::GetWindowRect(login, &rc);
    EXPECT_EQ(std::vector<LONG>({rc.left, rc.top, rc.right, rc.bottom}), std::vector<LONG>({0, 0, 1, 1}));
    EXPECT_FALSE(::IsWindowVisible(login));

    // A topmost window over the narrowed window's top-right corner: narrowing uncovers nothing
    // of it, so only the corner's repaint reaches it.
    ::SetWindowPos(m_dlg.m_hWnd, nullptr, 100, 100, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    WNDCLASSW cls{0,       ProbeProc, 0,       0,       ::GetModuleHandleW(nullptr),
                  nullptr, nullptr,   nullptr, nullptr, L"Probe"};
    ::RegisterClassW(&cls);
    HWND probe = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Probe", L"", WS_POPUP | WS_VISIBLE,
                                   580, 90, 20, 20, nullptr, nullptr, cls.hInstance, nullptr);
    ASSERT_TRUE(Pump([] { return g_probePaints > 0; }, 3000));
    g_probePaints = 0;
    ::SetWindowPos(m_dlg.m_hWnd, nullptr, 0, 0, 495, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Pump([] { return g_probePaints > 0; }, 3000));
    ::DestroyWindow(probe);
}

} // namespace
