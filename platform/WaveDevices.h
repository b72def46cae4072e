#pragma once
// Wave-out and wave-in devices with the classic waveOut/waveIn semantics: open with a
// format and a callback window, prepare/write/unprepare headers (done and in-queue flags),
// pause/restart/reset, positions in samples and bytes, volume, device count and caps.
//
// A header counts as done only once every frame of it has been played (or captured); the
// position counts frames actually played; pause keeps the unplayed rest; volume is applied
// at the output. Done notifications (MM_WOM_DONE, MM_WIM_DATA) are posted to the callback
// window with wParam = the device handle and lParam = the header's address.
//
// Devices come from $VNTZEL_WAVE_OUT_DEVICES and $VNTZEL_WAVE_IN_DEVICES, comma-separated:
//   alsa         every ALSA PCM: "default" first, then each card's devices
//   alsa:NAME    one ALSA PCM by name ("null", "plughw:1,0", ...)
//   null         a clocked device that consumes (or delivers silence) in real time
//   capture      output only: the capture device on the virtual clock (WaveCapture.h)
//   file:PATH    input only: raw 16-bit PCM read from PATH on the virtual clock
// Unset: "alsa", or "null" when the machine has no sound card.
#include "platform/WindowMessages.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace Platform {

using MMRESULT = int32_t;
using HWaveOut = int32_t; // 0 = none; never reused within a process
using HWaveIn = int32_t;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

constexpr uint32_t WAVE_MAPPER = 0xFFFFFFFFu;
constexpr uint32_t CALLBACK_NULL = 0x00000;
constexpr uint32_t CALLBACK_WINDOW = 0x10000;

constexpr uint32_t WHDR_DONE = 0x01;
constexpr uint32_t WHDR_PREPARED = 0x02;
constexpr uint32_t WHDR_BEGINLOOP = 0x04;
constexpr uint32_t WHDR_ENDLOOP = 0x08;
constexpr uint32_t WHDR_INQUEUE = 0x10;

constexpr uint32_t MM_WOM_DONE = 0x3BD;
constexpr uint32_t MM_WIM_DATA = 0x3C0;

constexpr uint32_t WAVECAPS_VOLUME = 0x04;
constexpr uint32_t WAVECAPS_LRVOLUME = 0x08;
constexpr uint32_t WAVECAPS_SAMPLEACCURATE = 0x20;

constexpr uint16_t WAVE_FORMAT_PCM = 1;

constexpr uint32_t TIME_MS = 0x01;
constexpr uint32_t TIME_SAMPLES = 0x02;
constexpr uint32_t TIME_BYTES = 0x04;

struct WaveFormat {
    uint16_t formatTag = WAVE_FORMAT_PCM;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
};

// One buffer handed to a device. The device thread sets the flags and bytesRecorded;
// read them on the owner's thread through the accessors.
struct WaveHeader {
    char* data = nullptr;
    uint32_t bufferLength = 0;
    std::atomic<uint32_t> bytesRecorded{0};
    intptr_t user = 0;
    std::atomic<uint32_t> flags{0};
    uint32_t loops = 0;
    WaveHeader* next = nullptr;
    intptr_t reserved = 0;

    WaveHeader() = default;
    WaveHeader(const WaveHeader& other) { *this = other; }
    WaveHeader& operator=(const WaveHeader& other);
    bool Has(uint32_t flag) const { return (flags.load() & flag) != 0; }
};

struct MMTime {
    uint32_t type = TIME_BYTES;
    uint32_t value = 0;
};
// Positions (bytes, samples or milliseconds) count from 0 to just below this and start at 0
// again, where the engines' play clocks expect them to wrap.
constexpr uint32_t kWavePositionWrap = 1u << 27;

struct WaveOutCaps {
    uint16_t manufacturerId = 0;
    uint16_t productId = 0;
    uint32_t driverVersion = 0;
    std::string productName; // at most 31 characters
    uint32_t formats = 0;
    uint16_t channels = 0;
    uint32_t support = 0;
};

struct WaveInCaps {
    uint16_t manufacturerId = 0;
    uint16_t productId = 0;
    uint32_t driverVersion = 0;
    std::string productName;
    uint32_t formats = 0;
    uint16_t channels = 0;
};

uint32_t waveOutGetNumDevs();
MMRESULT waveOutGetDevCaps(uint32_t deviceId, WaveOutCaps* caps);
MMRESULT waveOutGetHandleCaps(HWaveOut handle, WaveOutCaps* caps);
MMRESULT waveOutOpen(HWaveOut* handle, uint32_t deviceId, const WaveFormat* format, HWnd callback,
                     intptr_t instance, uint32_t flags);
MMRESULT waveOutClose(HWaveOut handle);
MMRESULT waveOutPrepareHeader(HWaveOut handle, WaveHeader* header);
MMRESULT waveOutUnprepareHeader(HWaveOut handle, WaveHeader* header);
MMRESULT waveOutWrite(HWaveOut handle, WaveHeader* header);
MMRESULT waveOutPause(HWaveOut handle);
MMRESULT waveOutRestart(HWaveOut handle);
MMRESULT waveOutReset(HWaveOut handle);
MMRESULT waveOutGetPosition(HWaveOut handle, MMTime* time);
MMRESULT waveOutSetVolume(HWaveOut handle, uint32_t volume); // left low word, right high
MMRESULT waveOutGetVolume(HWaveOut handle, uint32_t* volume);
MMRESULT waveOutGetErrorText(MMRESULT code, std::string& text);
// Waits on this thread until the header is done, at most timeoutMs of device time (the
// capture device moves its virtual clock on instead). True when the header is done.
bool waveOutWaitDone(HWaveOut handle, const WaveHeader* header, uint32_t timeoutMs);

uint32_t waveInGetNumDevs();
MMRESULT waveInGetDevCaps(uint32_t deviceId, WaveInCaps* caps);
MMRESULT waveInOpen(HWaveIn* handle, uint32_t deviceId, const WaveFormat* format, HWnd callback,
                    intptr_t instance, uint32_t flags);
MMRESULT waveInClose(HWaveIn handle);
MMRESULT waveInPrepareHeader(HWaveIn handle, WaveHeader* header);
MMRESULT waveInUnprepareHeader(HWaveIn handle, WaveHeader* header);
MMRESULT waveInAddBuffer(HWaveIn handle, WaveHeader* header);
MMRESULT waveInStart(HWaveIn handle);
MMRESULT waveInStop(HWaveIn handle);
MMRESULT waveInReset(HWaveIn handle);
MMRESULT waveInGetPosition(HWaveIn handle, MMTime* time);
MMRESULT waveInGetErrorText(MMRESULT code, std::string& text);

// Re-reads the device lists from the environment (tests). Open devices stay open.
void ReloadWaveDevices();
// Tests: the output's position counts on as if this many bytes had played (a reset starts it
// at 0 again), so a test reaches the position wrap without playing hours of audio.
MMRESULT SetWaveOutPlayedBytes(HWaveOut handle, uint64_t bytes);
// Tests: the null devices play by this clock (nanoseconds, never going back) instead of the
// steady clock; an empty function gives them the steady clock again.
void SetNullDeviceClock(std::function<int64_t()> now);
// Told, on the device's thread, each time an output header is done (benchmarks).
using WaveDoneObserver = std::function<void(HWaveOut, const WaveHeader*)>;
void SetWaveDoneObserver(WaveDoneObserver observer);
// Told, on the writer's thread, each time an output header is handed to a device (benchmarks).
void SetWaveWriteObserver(WaveDoneObserver observer);

} // namespace Platform
