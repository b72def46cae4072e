#pragma once
// Helpers for tests that play or capture through the wave-device layer.
#include "platform/WaveCapture.h"
#include "platform/WaveDevices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace TestSupport {

// Chooses the device lists for this process and puts the virtual clock back to 0.
inline void UseWaveDevices(const std::string& outputs, const std::string& inputs = "null") {
    setenv("VNTZEL_WAVE_OUT_DEVICES", outputs.c_str(), 1);
    setenv("VNTZEL_WAVE_IN_DEVICES", inputs.c_str(), 1);
    Platform::ReloadWaveDevices();
    Platform::WaveCapture::Reset();
}

// Handles every queued message, including those posted while handling others.
inline void Pump(int rounds = 6) {
    for (int i = 0; i < rounds; ++i)
        QCoreApplication::sendPostedEvents();
}

// Runs the event loop until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// The null devices' clock for the test's lifetime: it stands still until the test moves it.
class NullDeviceClock {
public:
    NullDeviceClock() {
        Platform::SetNullDeviceClock([this] { return now_.load(); });
    }
    ~NullDeviceClock() { Platform::SetNullDeviceClock({}); }
    NullDeviceClock(const NullDeviceClock&) = delete;
    NullDeviceClock& operator=(const NullDeviceClock&) = delete;
    void Advance(uint32_t milliseconds) { now_ += int64_t{milliseconds} * 1'000'000; }

private:
    std::atomic<int64_t> now_{0};
};

// Stereo (or mono) 16-bit tone with different left and right frequencies.
inline std::vector<int16_t> Tone(int frames, int channels, int rate = 44100,
                                 double amplitude = 12000.0) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(
                std::lround(amplitude * std::sin(2 * M_PI * (440.0 + 110.0 * c) * i / rate)));
    return samples;
}

} // namespace TestSupport
