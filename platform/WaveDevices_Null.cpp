// The clocked null devices: output consumed and input delivered (as silence) in real time.
#include "platform/WaveStreams.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>

namespace Platform::WaveInternal {
namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(5);
constexpr int64_t kNanosecondsPerSecond = 1'000'000'000;

std::mutex clockLock;
std::function<int64_t()> testClock;
uint64_t clockChanges = 0; // a clock running when the source changed starts again

// Nanoseconds on the steady clock, or on the tests' clock when one is set.
int64_t Now(uint64_t* changes = nullptr) {
    std::lock_guard guard(clockLock);
    if (changes) *changes = clockChanges;
    if (testClock) return testClock();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               SteadyClock::now().time_since_epoch())
        .count();
}

// Frames due since the last call: every frame of the time since the clock's epoch is due once.
class FrameClock {
public:
    explicit FrameClock(uint32_t rate) : rate_(rate), epoch_(Now(&changes_)), last_(epoch_) {}
    uint64_t Due() {
        const uint64_t changes = changes_;
        last_ = Now(&changes_);
        if (changes != changes_) Idle();
        const auto elapsed = static_cast<uint64_t>(std::max<int64_t>(last_ - epoch_, 0));
        const uint64_t total = elapsed / kNanosecondsPerSecond * rate_ +
                               elapsed % kNanosecondsPerSecond * rate_ / kNanosecondsPerSecond;
        const uint64_t due = total - given_;
        given_ = total;
        return due;
    }
    // Paused or starved at the last call: no time before it is owed.
    void Idle() {
        epoch_ = last_;
        given_ = 0;
    }

private:
    uint32_t rate_;
    uint64_t changes_ = 0; // set with the epoch
    int64_t epoch_;
    int64_t last_;
    uint64_t given_ = 0;
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
        FrameClock& clock = clock_;
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

    FrameClock clock_{Format().samplesPerSec}; // runs from the opening
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
        FrameClock& clock = clock_;
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

    FrameClock clock_{Format().samplesPerSec}; // runs from the opening
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

namespace Platform {

void SetNullDeviceClock(std::function<int64_t()> now) {
    std::lock_guard guard(WaveInternal::clockLock);
    WaveInternal::testClock = std::move(now);
    ++WaveInternal::clockChanges;
}

} // namespace Platform
