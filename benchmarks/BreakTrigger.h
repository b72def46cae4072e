#pragma once
// Shared by the benchmarks that start breaks from outside in real time: the moment the first
// advert sample is handed to a device, waits that serve the event loop, and the figures.
#include "support/BreakRig.h"

#include "platform/WaveDevices.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace BreakTrigger {

using SteadyClock = std::chrono::steady_clock;

inline int64_t NowNs() {
    return SteadyClock::now().time_since_epoch().count();
}

// Opens the rig on two null players with a log of `count` one-advert breaks a minute apart from
// 10:00, the first cued; false (and a message naming the program) when the players did not open.
inline bool OpenOneAdvertBreaks(BreakRig::Rig& rig, int count, const char* program) {
    if (!rig.Open("null,null") || !rig.AddAdvert({801, 0.3f, 0.25f, "Short", "T1", 3000})) {
        std::fprintf(stderr, "%s: the players did not open\n", program);
        return false;
    }
    std::vector<std::pair<float, std::vector<int32_t>>> breaks;
    for (int k = 0; k < count; ++k)
        breaks.push_back({static_cast<float>(36000 + 60 * k), {801}});
    rig.WriteLog(breaks);
    rig.CueBreak(36000);
    return true;
}

inline std::atomic<int64_t>& FirstSampleNs() {
    static std::atomic<int64_t> at{0};
    return at;
}

// Notes the first buffer holding sound handed to any device after FirstSampleNs() was zeroed.
class FirstSampleWatch {
public:
    FirstSampleWatch() {
        Platform::SetWaveWriteObserver([](Platform::HWaveOut, const Platform::WaveHeader* header) {
            const char* data = header->data;
            if (FirstSampleNs().load() == 0 && data &&
                std::any_of(data, data + header->bufferLength, [](char c) { return c != 0; }))
                FirstSampleNs() = NowNs();
        });
    }
    ~FirstSampleWatch() { Platform::SetWaveWriteObserver({}); }
    FirstSampleWatch(const FirstSampleWatch&) = delete;
    FirstSampleWatch& operator=(const FirstSampleWatch&) = delete;
};

inline bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    const auto end = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (SteadyClock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// Waits until the break has ended and both players are empty again.
inline bool WaitBreakOver(BreakRig::Rig& rig) {
    return WaitFor([] { return !Breaks::State().BreakRunning; }, 5000) &&
           WaitFor(
               [&] {
                   return rig.Player(1).Status == CartPlayers::Empty &&
                          rig.Player(2).Status == CartPlayers::Empty;
               },
               3000);
}

inline double SinceMs(int64_t fromNs, int64_t toNs) {
    return static_cast<double>(toNs - fromNs) / 1e6;
}

// Prints prefix_min_ms, prefix_median_ms and prefix_max_ms; false when there is nothing.
inline bool PrintSpread(const std::string& prefix, std::vector<double> delays) {
    if (delays.empty()) return false;
    std::sort(delays.begin(), delays.end());
    std::printf("%s_min_ms %.3f\n", prefix.c_str(), delays.front());
    std::printf("%s_median_ms %.3f\n", prefix.c_str(), delays[delays.size() / 2]);
    std::printf("%s_max_ms %.3f\n", prefix.c_str(), delays.back());
    return true;
}

} // namespace BreakTrigger
