// The clocked null devices: output consumed and input delivered (as silence) in real time.
#include "platform/WaveStreams.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace Platform::WaveInternal {
namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr std::chrono::nanoseconds kMostLate = std::chrono::milliseconds(200);

std::mutex clockLock;
std::function<int64_t()> testClock;
std::atomic<bool> testClockSet{false}; // the steady clock is read without the lock
std::atomic<uint64_t> clockChanges{0}; // a clock running when the source changed starts again

// Nanoseconds on the steady clock, or on the tests' clock when one is set.
int64_t Now(uint64_t* changes) {
    *changes = clockChanges.load(std::memory_order_acquire);
    if (testClockSet.load(std::memory_order_acquire)) {
        std::lock_guard guard(clockLock);
        *changes = clockChanges;
        if (testClock) return testClock();
    }
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               SteadyClock::now().time_since_epoch())
        .count();
}

// Frames due since the last call: every frame of the time since the last restart is due once.
class FrameClock {
public:
    explicit FrameClock(uint32_t rate) : rate_(rate) {}
    // The clock's reading; a change of clock source restarts the count there.
    int64_t Read() {
        const uint64_t before = changes_;
        const int64_t now = Now(&changes_);
        if (changes_ != before) Restart(now);
        return now;
    }
    void Restart(int64_t now) {
        epoch_ = now;
        given_ = 0;
    }
    uint64_t Due(int64_t now) {
        const auto elapsed = static_cast<uint64_t>(std::max<int64_t>(now - epoch_, 0));
        const uint64_t total = elapsed / kNanosecondsPerSecond * rate_ +
                               elapsed % kNanosecondsPerSecond * rate_ / kNanosecondsPerSecond;
        const uint64_t due = total > given_ ? total - given_ : 0;
        given_ = std::max(total, given_);
        return due;
    }

private:
    uint32_t rate_;
    uint64_t changes_ = 0;
    int64_t epoch_ = 0;
    uint64_t given_ = 0;
};

// Real time that bytes of the format take to play, rounded up.
std::chrono::nanoseconds Duration(uint64_t bytes, const WaveFormat& format) {
    if (bytes == 0) return std::chrono::nanoseconds::max();
    const double seconds = static_cast<double>(bytes) / format.avgBytesPerSec;
    return std::chrono::nanoseconds(static_cast<int64_t>(seconds * 1e9) + 1);
}

class NullOut;

// One thread plays every open null output. It wakes when the earliest header of them all is due
// to be done, or when an owner changes something; headers due within kGather of that one are
// done in the same wake, so streams that play side by side share their wake-ups.
class NullOutThread {
public:
    // Never destroyed: streams closed during the program's exit still find it.
    static NullOutThread& Instance() {
        static NullOutThread* thread = new NullOutThread;
        return *thread;
    }
    void Add(NullOut* stream);
    // Once it returns the thread no longer touches the stream.
    void Remove(NullOut* stream);
    // Called by an owner's change, also with the stream's lock held.
    void Wake() {
        std::lock_guard guard(lock_);
        ++changes_;
        changed_.notify_all();
    }

private:
    static constexpr std::chrono::microseconds kGather{2000};
    NullOutThread() = default;
    void Run();

    std::mutex lock_; // never held while a stream is played: an owner's Wake takes it
    std::condition_variable changed_, passed_;
    std::vector<NullOut*> streams_;
    uint64_t changes_ = 0;
    uint64_t passes_ = 0;
    bool inPass_ = false;
    std::thread thread_;
};

// Plays in runs: a run begins when frames become playable and ends when the stream is paused
// or starved, so no time is owed for a gap. The position is worked out whenever it is read;
// the shared thread plays it on only when a header is due to be done.
class NullOut : public OutStream {
public:
    using OutStream::OutStream;
    ~NullOut() override { Stop(); }

    MMRESULT Start() override {
        started_ = true;
        NullOutThread::Instance().Add(this);
        return MMSYSERR_NOERROR;
    }
    void Stop() override {
        if (std::exchange(started_, false)) NullOutThread::Instance().Remove(this);
    }

    // Plays what is due; the time on the steady clock when the thread should next look. A done
    // header may be reported late while the audio queued after it lasts at least twice as long:
    // an owner that reads the position (a player does at every tick) reports it first, and the
    // stream never runs dry for it. Each wake-up of the thread costs the machine far more than
    // the look itself.
    SteadyClock::time_point Step() {
        if (!Settle()) return SteadyClock::time_point::max();
        const auto wait = Duration(BytesToNextDone(), Format());
        if (wait == std::chrono::nanoseconds::max()) return SteadyClock::time_point::max();
        const uint64_t after = BytesAfterNextDone();
        const auto late =
            after == 0
                ? std::chrono::nanoseconds(0)
                : std::min<std::chrono::nanoseconds>(kMostLate, Duration(after, Format()) / 2);
        return SteadyClock::now() + wait + late;
    }

private:
    void Advance() override { Settle(); }
    void Wake() override { NullOutThread::Instance().Wake(); }

    // Plays the frames due since the last call; whether a run goes on.
    bool Settle() {
        std::lock_guard guard(advanceLock_);
        const int64_t now = clock_.Read();
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

    std::mutex advanceLock_;
    FrameClock clock_{Format().samplesPerSec};
    bool running_ = false;
    bool started_ = false;
};

void NullOutThread::Add(NullOut* stream) {
    std::lock_guard guard(lock_);
    streams_.push_back(stream);
    ++changes_;
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); }); // runs to the exit
    changed_.notify_all();
}

void NullOutThread::Remove(NullOut* stream) {
    std::unique_lock guard(lock_);
    std::erase(streams_, stream);
    if (!inPass_) return;
    const uint64_t pass = passes_;
    passed_.wait(guard, [&] { return passes_ != pass; });
}

void NullOutThread::Run() {
    std::unique_lock guard(lock_);
    std::vector<NullOut*> streams;
    for (;;) {
        const uint64_t seen = changes_;
        streams = streams_;
        inPass_ = true;
        guard.unlock();
        auto due = SteadyClock::time_point::max();
        for (NullOut* stream : streams)
            due = std::min(due, stream->Step());
        guard.lock();
        inPass_ = false;
        ++passes_;
        passed_.notify_all();
        const auto woken = [&] { return changes_ != seen; };
        if (due == SteadyClock::time_point::max())
            changed_.wait(guard, woken);
        else
            changed_.wait_until(guard, due + kGather, woken);
    }
}

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
        clock.Restart(clock.Read());
        std::vector<char> silence;
        bool running = false;
        for (;;) {
            const uint64_t seen = Changes();
            const int64_t now = clock.Read();
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

namespace Platform {

void SetNullDeviceClock(std::function<int64_t()> now) {
    std::lock_guard guard(WaveInternal::clockLock);
    WaveInternal::testClockSet = static_cast<bool>(now);
    WaveInternal::testClock = std::move(now);
    ++WaveInternal::clockChanges;
}

} // namespace Platform
