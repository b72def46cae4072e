// The clocked null devices: output consumed and input delivered (as silence) in real time.
#include "platform/WaveStreams.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace Platform::WaveInternal {
namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(5);

// Frames due since the last call, carrying the fraction over.
class FrameClock {
public:
    explicit FrameClock(uint32_t rate) : rate_(rate), last_(SteadyClock::now()) {}
    uint64_t Due() {
        SteadyClock::time_point now = SteadyClock::now();
        double frames = carry_ + std::chrono::duration<double>(now - last_).count() * rate_;
        last_ = now;
        uint64_t whole = static_cast<uint64_t>(frames);
        carry_ = frames - static_cast<double>(whole);
        return whole;
    }
    void Idle() { carry_ = 0; }

private:
    uint32_t rate_;
    SteadyClock::time_point last_;
    double carry_ = 0;
};

class NullOut : public OutStream {
public:
    using OutStream::OutStream;
    ~NullOut() override { Stop(); }

    MMRESULT Start() override {
        thread_.Start([this] { Run(); });
        return MMSYSERR_NOERROR;
    }
    void Stop() override { thread_.Stop(lock_, changed_); }

private:
    void Run() {
        FrameClock clock(Format().samplesPerSec);
        std::vector<char> scratch;
        for (;;) {
            {
                std::unique_lock guard(lock_);
                changed_.wait_for(guard, kTick);
                if (thread_.Stopping()) return;
            }
            uint64_t due = clock.Due();
            scratch.resize(due * Format().blockAlign);
            uint64_t generation = 0, cursor = 0;
            size_t got = Take(scratch.data(), scratch.size(), &generation, &cursor);
            if (got > 0) PlayedTo(cursor, generation);
            if (got < scratch.size()) clock.Idle(); // paused or starved: no time is owed
        }
    }

    StreamThread thread_;
};

class NullIn : public InStream {
public:
    using InStream::InStream;
    ~NullIn() override { Close(); }

    MMRESULT Open() override {
        thread_.Start([this] { Run(); });
        return MMSYSERR_NOERROR;
    }
    void Close() override { thread_.Stop(lock_, changed_); }

private:
    void Run() {
        FrameClock clock(Format().samplesPerSec);
        std::vector<char> silence;
        for (;;) {
            {
                std::unique_lock guard(lock_);
                changed_.wait_for(guard, kTick);
                if (thread_.Stopping()) return;
            }
            uint64_t due = clock.Due();
            if (!IsStarted()) continue;
            silence.assign(due * Format().blockAlign, 0);
            Deliver(silence.data(), silence.size());
        }
    }

    StreamThread thread_;
};

} // namespace

std::unique_ptr<OutStream> OpenNullOut(HWaveOut handle, const WaveFormat& format, HWnd callback,
                                       uint32_t flags) {
    return std::make_unique<NullOut>(handle, format, callback, flags);
}

std::unique_ptr<InStream> OpenNullIn(HWaveIn handle, const WaveFormat& format, HWnd callback,
                                     uint32_t flags) {
    return std::make_unique<NullIn>(handle, format, callback, flags);
}

} // namespace Platform::WaveInternal
