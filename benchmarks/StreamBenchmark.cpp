// Plays four streams at once on the clocked null device and reports the CPU time per second
// of audio and the delay between a block being done and its BufferAvailable.
// Usage: stream_benchmark [seconds of audio, default 60]. Output: one "key value" per line.
#include "audio_engine/FlennStreamPlay.h"
#include "platform/WaveDevices.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>

namespace {

using SteadyClock = std::chrono::steady_clock;

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

struct DoneTimes {
    std::mutex lock;
    std::map<intptr_t, SteadyClock::time_point> byData;
};

} // namespace

int main(int argc, char** argv) {
    setenv("VNTZEL_WAVE_OUT_DEVICES", "null", 1);
    setenv("VNTZEL_HEADLESS", "1", 1);
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    constexpr int kStreams = 4;

    DoneTimes done;
    Platform::SetWaveDoneObserver([&done](Platform::HWaveOut, const Platform::WaveHeader* header) {
        std::lock_guard guard(done.lock);
        done.byData[reinterpret_cast<intptr_t>(header->data)] = SteadyClock::now();
    });

    std::vector<int16_t> block(44100 / 4 * 2);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<int16_t>(8000 * std::sin(i * 0.03));
    double maxDelayMs = 0, totalDelayMs = 0;
    long blocks = 0;

    std::vector<std::unique_ptr<FlennStreamPlay>> streams;
    for (int i = 0; i < kStreams; ++i) {
        auto stream = std::make_unique<FlennStreamPlay>();
        stream->InitProperties();
        FlennStreamPlay* engine = stream.get();
        QObject::connect(engine, &FlennStreamPlay::BufferAvailable,
                         [&, engine](int32_t, intptr_t pointer, int32_t) {
                             if (pointer) {
                                 SteadyClock::time_point now = SteadyClock::now(), at = now;
                                 {
                                     std::lock_guard guard(done.lock);
                                     auto found = done.byData.find(pointer);
                                     if (found != done.byData.end()) at = found->second;
                                 }
                                 double delay =
                                     std::chrono::duration<double, std::milli>(now - at).count();
                                 maxDelayMs = std::max(maxDelayMs, delay);
                                 totalDelayMs += delay;
                                 ++blocks;
                             }
                             while (engine->NumberFreeBuffers() > 0)
                                 engine->AddBufferEx(reinterpret_cast<intptr_t>(block.data()),
                                                     static_cast<int32_t>(block.size() * 2), -1);
                         });
        streams.push_back(std::move(stream));
    }

    SteadyClock::time_point wallStart = SteadyClock::now();
    double cpuStart = CpuSeconds();
    for (auto& stream : streams) {
        if (stream->StartFlennStream() != 0) {
            std::fprintf(stderr, "stream_benchmark: the null device did not open\n");
            return 1;
        }
        stream->StartPlayback();
    }
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, [&] {
        for (auto& stream : streams)
            if (stream->MilliSecondsPlayed() < seconds * 1000) return;
        app.quit();
    });
    check.start(10);
    app.exec();
    double cpu = CpuSeconds() - cpuStart;
    double wall = std::chrono::duration<double>(SteadyClock::now() - wallStart).count();
    for (auto& stream : streams)
        stream->StopFlennStream();
    Platform::SetWaveDoneObserver({});

    std::printf("streams %d\n", kStreams);
    std::printf("audio_seconds %.3f\n", seconds);
    std::printf("wall_seconds %.3f\n", wall);
    std::printf("cpu_seconds %.3f\n", cpu);
    std::printf("cpu_ms_per_audio_second %.3f\n", cpu * 1000.0 / seconds);
    std::printf("blocks %ld\n", blocks);
    std::printf("max_done_to_available_ms %.3f\n", maxDelayMs);
    std::printf("mean_done_to_available_ms %.3f\n", blocks ? totalDelayMs / blocks : 0.0);
    return 0;
}
