// The clocked null devices: output consumed and input delivered (as silence) in real time.
#include "platform/WaveStreams.h"

#include <chrono>
#include <mutex>
#include <vector>

namespace Platform::WaveInternal {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Frames due since the last call, carrying the fraction over.
class FrameClock {
public:
    explicit FrameClock(uint32_t rate) : rate_(rate) {}
    void Restart(SteadyClock::time_point now) {
        last_ = now;
        carry_ = 0;
    }
    uint64_t Due(SteadyClock::time_point now) {
        double frames = carry_ + std::chrono::duration<double>(now - last_).count() * rate_;
        last_ = now;
        uint64_t whole = static_cast<uint64_t>(frames);
        carry_ = frames - static_cast<double>(whole);
        return whole;
    }

private:
    uint32_t rate_;
    SteadyClock::time_point last_;
    double carry_ = 0;
};

// Real time that bytes of the format take to play, rounded up.
std::chrono::nanoseconds Duration(uint64_t bytes, const WaveFormat& format) {
    if (bytes == 0) return std::chrono::nanoseconds::max();
    const double seconds = static_cast<double>(bytes) / format.avgBytesPerSec;
    return std::chrono::nanoseconds(static_cast<int64_t>(seconds * 1e9) + 1);
}

// Plays in runs: a run begins when frames become playable and ends when the stream is paused
// or starved, so no time is owed for a gap. The position is worked out whenever it is read;
// the thread wakes only when a header is due to be done or the owner changes something.
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
    void Advance() override { Settle(); }

    // Plays the frames due since the last call; whether a run goes on.
    bool Settle() {
        std::lock_guard guard(advanceLock_);
        const SteadyClock::time_point now = SteadyClock::now();
        bool starved = false;
        if (running_) {
            const uint64_t wanted = clock_.Due(now) * Format().blockAlign;
            uint64_t generation = 0, cursor = 0;
            const size_t got = Take(nullptr, wanted, &generation, &cursor);
            if (got > 0) PlayedTo(cursor, generation);
            starved = got < wanted;
        }
        const bool playable = Playable();
        if (playable && (!running_ || starved)) clock_.Restart(now);
        running_ = playable;
        return running_;
    }

    void Run() {
        for (;;) {
            const uint64_t seen = Changes();
            const bool running = Settle();
            const auto wait =
                running ? Duration(BytesToNextDone(), Format()) : std::chrono::nanoseconds::max();
            if (!WaitForChange(thread_, seen, wait)) return;
        }
    }

    std::mutex advanceLock_;
    FrameClock clock_{Format().samplesPerSec};
    bool running_ = false;
    StreamThread thread_;
};

// Delivers silence in real time while started; sleeps until the oldest header is full.
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
        bool running = false;
        for (;;) {
            const uint64_t seen = Changes();
            const SteadyClock::time_point now = SteadyClock::now();
            if (running && IsStarted()) {
                silence.assign(clock.Due(now) * Format().blockAlign, 0);
                Deliver(silence.data(), silence.size());
            } else {
                clock.Restart(now);
            }
            // With no header queued nothing is captured until one comes.
            const uint64_t toReturn = BytesToNextReturn();
            running = IsStarted() && toReturn > 0;
            const auto wait =
                running ? Duration(toReturn, Format()) : std::chrono::nanoseconds::max();
            if (!WaitForChange(thread_, seen, wait)) return;
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
