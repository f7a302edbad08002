#include "base/sound_mute_win.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "base/api_redirect_win.h"
#include "base/library_load_win.h"
#include "base/trace_win.h"

namespace base {

std::atomic<bool> ProcessMuted{false};

namespace {

// ---- Vista and later: the mixer's per-application mute -----------------------------------------

class OpenMixer {
public:
    explicit OpenMixer(UINT device) : m_result(::mixerOpen(&m_mixer, device, 0, 0, MIXER_OBJECTF_MIXER)) {
        if (m_result != MMSYSERR_NOERROR) m_mixer = nullptr;
    }
    ~OpenMixer() {
        if (m_mixer) ::mixerClose(m_mixer);
    }
    OpenMixer(const OpenMixer&) = delete;
    OpenMixer& operator=(const OpenMixer&) = delete;

    explicit operator bool() const { return m_mixer != nullptr; }
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(m_mixer); }
    MMRESULT Result() const { return m_result; }

private:
    HMIXER m_mixer = nullptr;
    MMRESULT m_result;
};

// Sets the mute control of mixer device 0's line of this component type; the mixer's answer.
MMRESULT SetLineMute(DWORD componentType, bool on) {
    if (::mixerGetNumDevs() == 0) return MMSYSERR_NODRIVER;
    OpenMixer mixer(0);
    if (!mixer) return mixer.Result();
    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = componentType;
    if (MMRESULT r = ::mixerGetLineInfoW(mixer.Object(), &line,
                                         MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE))
        return r;
    MIXERCONTROLW control{};
    control.cbStruct = sizeof(control);
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    if (MMRESULT r = ::mixerGetLineControlsW(mixer.Object(), &controls,
                                             MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE))
        return r;
    MIXERCONTROLDETAILS_BOOLEAN value{};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cbDetails = sizeof(value);
    details.paDetails = &value;
    if (MMRESULT r = ::mixerGetControlDetailsW(mixer.Object(), &details,
                                               MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE))
        return r;
    value.fValue = on ? TRUE : FALSE;
    return ::mixerSetControlDetails(mixer.Object(), &details,
                                    MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}

// ---- Earlier systems: silencing the process's own audio calls --------------------------------

using WaveOutWriteFn = MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT);
using MidiStreamOutFn = MMRESULT(WINAPI*)(HMIDISTRM, LPMIDIHDR, UINT);
using DirectSoundCreateFn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
using CreateSoundBufferFn = HRESULT(STDMETHODCALLTYPE*)(IDirectSound*, LPCDSBUFFERDESC, LPDIRECTSOUNDBUFFER*,
                                                        LPUNKNOWN);
using UnlockFn = HRESULT(STDMETHODCALLTYPE*)(IDirectSoundBuffer*, LPVOID, DWORD, LPVOID, DWORD);

constexpr std::size_t kCreateSoundBufferSlot = 3;
constexpr std::size_t kUnlockSlot = 19;

ApiRedirect g_waveOutWrite;
ApiRedirect g_midiStreamOut;
ApiRedirect g_directSoundCreate;

void Silence(void* data, DWORD bytes) {
    if (data && bytes) std::memset(data, 0, bytes);
}

// The distinct virtual tables whose slot was replaced, each with the entry it held. Objects of
// different classes (a primary and a secondary buffer, two kinds of device) have tables of
// their own, and each must be replaced once: never twice, or the wrapper would call itself.
class PatchedTables {
public:
    explicit PatchedTables(std::size_t slot) : m_slot(slot) {}

    void PatchOnce(void* object, void* wrapper) {
        void** table = *static_cast<void***>(object);
        std::lock_guard<std::mutex> lock(m_lock);
        const std::size_t count = m_count.load(std::memory_order_relaxed);
        for (std::size_t i = 0; i < count; ++i)
            if (m_entries[i].table == table) return;
        if (count == m_entries.size() || table[m_slot] == wrapper) return;
        // Known before the table leads to the wrapper, which looks its object's table up here.
        m_entries[count] = {table, table[m_slot]};
        m_count.store(count + 1, std::memory_order_release);
        ReplaceTableSlot(table, m_slot, wrapper);
    }

    // The entry the object's table held before; null for a table never replaced.
    void* Original(void* object) const {
        void** table = *static_cast<void***>(object);
        const std::size_t count = m_count.load(std::memory_order_acquire);
        for (std::size_t i = 0; i < count; ++i)
            if (m_entries[i].table == table) return m_entries[i].original;
        return nullptr;
    }

private:
    struct Entry {
        void** table;
        void* original;
    };
    const std::size_t m_slot;
    std::mutex m_lock;
    std::array<Entry, 32> m_entries{};
    std::atomic<std::size_t> m_count{0};
};

PatchedTables g_deviceTables(kCreateSoundBufferSlot);
PatchedTables g_bufferTables(kUnlockSlot);

bool Muted() {
    return ProcessMuted.load(std::memory_order_relaxed);
}

MMRESULT WINAPI WaveOutWriteSilenced(HWAVEOUT device, LPWAVEHDR header, UINT size) {
    if (Muted() && header) Silence(header->lpData, header->dwBufferLength);
    return reinterpret_cast<WaveOutWriteFn>(g_waveOutWrite.Original())(device, header, size);
}

MMRESULT WINAPI MidiStreamOutSilenced(HMIDISTRM stream, LPMIDIHDR header, UINT size) {
    if (Muted() && header) Silence(header->lpData, header->dwBufferLength);
    return reinterpret_cast<MidiStreamOutFn>(g_midiStreamOut.Original())(stream, header, size);
}

HRESULT STDMETHODCALLTYPE UnlockSilenced(IDirectSoundBuffer* buffer, LPVOID part1, DWORD bytes1, LPVOID part2,
                                         DWORD bytes2) {
    const auto real = reinterpret_cast<UnlockFn>(g_bufferTables.Original(buffer));
    if (!real) return DSERR_GENERIC;
    if (Muted()) {
        Silence(part1, bytes1);
        Silence(part2, bytes2);
    }
    return real(buffer, part1, bytes1, part2, bytes2);
}

HRESULT STDMETHODCALLTYPE CreateSoundBufferWatched(IDirectSound* device, LPCDSBUFFERDESC description,
                                                   LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) {
    const auto real = reinterpret_cast<CreateSoundBufferFn>(g_deviceTables.Original(device));
    if (!real) return DSERR_GENERIC;
    const HRESULT result = real(device, description, buffer, outer);
    if (SUCCEEDED(result) && buffer && *buffer)
        g_bufferTables.PatchOnce(*buffer, reinterpret_cast<void*>(&UnlockSilenced));
    return result;
}

HRESULT WINAPI DirectSoundCreateWatched(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer) {
    const HRESULT result =
        reinterpret_cast<DirectSoundCreateFn>(g_directSoundCreate.Original())(guid, device, outer);
    if (SUCCEEDED(result) && device && *device)
        g_deviceTables.PatchOnce(*device, reinterpret_cast<void*>(&CreateSoundBufferWatched));
    return result;
}

void RemoveInterceptions() {
    g_directSoundCreate.Remove();
    g_midiStreamOut.Remove();
    g_waveOutWrite.Remove();
}

void InstallInterceptions() {
    // Both libraries stay loaded until the process ends: their tables lead here from now on.
    if (HMODULE winmm = LoadSystemLibrary(L"winmm.dll")) {
        if (!g_waveOutWrite.Install(winmm, "waveOutWrite", reinterpret_cast<void*>(&WaveOutWriteSilenced)))
            Trace(L"mute: wave output not intercepted", GetLastError());
        if (!g_midiStreamOut.Install(winmm, "midiStreamOut", reinterpret_cast<void*>(&MidiStreamOutSilenced)))
            Trace(L"mute: MIDI output not intercepted", GetLastError());
    }
    // The library's creation entry is known by its ordinal.
    if (HMODULE dsound = LoadSystemLibrary(L"dsound.dll"))
        if (!g_directSoundCreate.Install(dsound, MAKEINTRESOURCEA(1),
                                         reinterpret_cast<void*>(&DirectSoundCreateWatched)))
            Trace(L"mute: DirectSound not intercepted", GetLastError());
    std::atexit(RemoveInterceptions);
}

} // namespace

bool SetProcessMute(bool on) {
    if (IsVistaOrLater()) {
        if (MMRESULT r = SetLineMute(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, on))
            Trace(L"mute of the wave line not set", r);
        const MMRESULT r = SetLineMute(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, on);
        if (r != MMSYSERR_NOERROR) Trace(L"mute of the speakers not set", r);
        return r == MMSYSERR_NOERROR;
    }
    static std::once_flag installed;
    std::call_once(installed, InstallInterceptions);
    ProcessMuted.store(on);
    return true;
}

} // namespace base
