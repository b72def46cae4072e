#pragma once
// Inside of the wave-device layer: the queue of one open stream, shared by the backends,
// and the backends' factories. Only platform/Wave*.cpp include this.
#include "platform/WaveDevices.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Platform::WaveInternal {

enum class Backend { Alsa, Null, Capture, File };

struct DeviceEntry {
    Backend backend;
    std::string name; // ALSA PCM name or file path
    std::string productName;
    uint16_t channels = 2;
};

// A backend stream's own thread. Stop sets Stopping under the stream's lock, wakes the thread
// and joins it; the thread reads Stopping under that lock.
class StreamThread {
public:
    void Start(std::function<void()> body) { thread_ = std::thread(std::move(body)); }
    void Stop(std::mutex& lock, std::condition_variable& changed) {
        {
            std::lock_guard guard(lock);
            stopping_ = true;
            changed.notify_all();
        }
        if (thread_.joinable()) thread_.join();
    }
    bool Stopping() const { return stopping_; }

private:
    std::thread thread_;
    bool stopping_ = false;
};

// What the owner's side and the backend's thread of a stream share: the lock, the condition
// and a count of the owner's changes that the backend waits on.
class StreamSync {
public:
    virtual ~StreamSync() = default;

protected:
    // Blocks the backend's thread until the owner changes something after `seen` (a count
    // from Changes()), a stop, or the timeout; false when stopping.
    uint64_t Changes();
    bool WaitForChange(const StreamThread& thread, uint64_t seen,
                       std::chrono::nanoseconds timeout = std::chrono::nanoseconds::max());
    // With the lock held: counts a change by the owner and wakes the backend.
    void Changed();
    // Called with the lock held when the backend should look again (write, pause, reset).
    virtual void Wake() {}

    std::mutex lock_;
    std::condition_variable changed_;

private:
    uint64_t changes_ = 0;
};

// Queue of an output stream. The owner's thread writes, pauses and resets; the backend
// takes bytes to play and reports what has been played.
class OutStream : public StreamSync {
public:
    OutStream(HWaveOut handle, const WaveFormat& format, HWnd callback, uint32_t flags);
    OutStream(const OutStream&) = delete;
    OutStream& operator=(const OutStream&) = delete;

    virtual MMRESULT Start() { return MMSYSERR_NOERROR; }
    virtual void Stop() {}
    virtual bool WaitDone(const WaveHeader* header, uint32_t timeoutMs);

    MMRESULT Write(WaveHeader* header);
    void Pause();
    void Restart();
    void Reset();
    uint64_t PlayedBytes();
    void SetPlayedBytes(uint64_t bytes);
    void SetVolume(uint32_t volume);
    uint32_t Volume();
    bool HasQueued();
    const WaveFormat& Format() const { return format_; }
    HWaveOut Handle() const { return handle_; }

protected:
    // Backend side. Take copies whole frames from the write cursor with volume applied and
    // returns the bytes taken; generation tells the backend whether a reset came between.
    // A null destination takes the frames without copying them.
    size_t Take(char* destination, size_t maxBytes, uint64_t* generation,
                uint64_t* cursorAfter = nullptr);
    // Frames up to this absolute byte position (of the given generation) have been played.
    void PlayedTo(uint64_t position, uint64_t generation);
    // Moves the write cursor back to the played position (the backend dropped its buffer).
    void Rewind(uint64_t generation);
    uint64_t WrittenTo();
    bool IsPaused();
    uint64_t Generation();
    // Brings the played position up to now, before the owner reads or changes the queue
    // (a device whose position is worked out on demand).
    virtual void Advance() {}
    // True when frames wait to be taken and the stream is not paused.
    bool Playable();
    // Bytes from the write cursor to the end of the oldest header not yet done.
    uint64_t BytesToNextDone();
    // Bytes queued after the end of the oldest header not yet done.
    uint64_t BytesAfterNextDone();

private:
    struct Entry {
        WaveHeader* header;
        uint64_t start;
        uint64_t end;
    };
    MMRESULT Queue(WaveHeader* header);
    void CompleteUpTo(uint64_t position);

    HWaveOut handle_;
    WaveFormat format_;
    HWnd callback_;
    uint32_t flags_;
    std::condition_variable done_; // a header is done (WaitDone), apart from the backend's wake
    std::deque<Entry> queue_;
    uint64_t queued_ = 0;
    uint64_t cursor_ = 0;
    uint64_t played_ = 0;
    uint64_t positionBase_ = 0; // added to played_ in the reported position
    uint64_t generation_ = 0;
    bool paused_ = false;
    uint32_t volume_ = 0xFFFFFFFFu;
};

// Queue of an input stream: the backend delivers captured bytes into the queued headers.
class InStream : public StreamSync {
public:
    InStream(HWaveIn handle, const WaveFormat& format, HWnd callback, uint32_t flags);
    InStream(const InStream&) = delete;
    InStream& operator=(const InStream&) = delete;

    virtual MMRESULT Open() { return MMSYSERR_NOERROR; }
    virtual void Close() {}

    MMRESULT AddBuffer(WaveHeader* header);
    void Start();
    void Stop();
    void Reset();
    uint64_t CapturedBytes();
    const WaveFormat& Format() const { return format_; }
    HWaveIn Handle() const { return handle_; }
    // The next filled header is kept and never returned.
    void LoseNextBlock();

protected:
    // Backend side: bytes captured now (dropped while stopped or when no header is queued).
    void Deliver(const char* data, size_t bytes);
    bool IsStarted();
    // Bytes still to capture before the oldest queued header is full; 0 when none is queued.
    uint64_t BytesToNextReturn();

private:
    void Return(WaveHeader* header);

    HWaveIn handle_;
    WaveFormat format_;
    HWnd callback_;
    uint32_t flags_;
    std::deque<WaveHeader*> queue_;
    std::vector<WaveHeader*> lost_;
    uint64_t captured_ = 0;
    bool started_ = false;
    bool loseNext_ = false;
};

std::unique_ptr<OutStream> OpenAlsaOut(const DeviceEntry& device, HWaveOut handle,
                                       const WaveFormat& format, HWnd callback, uint32_t flags,
                                       MMRESULT* result);
std::unique_ptr<InStream> OpenAlsaIn(const DeviceEntry& device, HWaveIn handle,
                                     const WaveFormat& format, HWnd callback, uint32_t flags,
                                     MMRESULT* result);
std::unique_ptr<OutStream> OpenNullOut(HWaveOut handle, const WaveFormat& format, HWnd callback,
                                       uint32_t flags);
std::unique_ptr<InStream> OpenNullIn(HWaveIn handle, const WaveFormat& format, HWnd callback,
                                     uint32_t flags);
std::unique_ptr<OutStream> OpenCaptureOut(HWaveOut handle, const WaveFormat& format, HWnd callback,
                                          uint32_t flags);
std::unique_ptr<InStream> OpenFileIn(const DeviceEntry& device, HWaveIn handle,
                                     const WaveFormat& format, HWnd callback, uint32_t flags,
                                     MMRESULT* result);

// ALSA devices found on the machine: "default" first, then each card's PCM devices.
std::vector<DeviceEntry> EnumerateAlsa(bool capture);

void NotifyDone(HWaveOut handle, const WaveHeader* header);

} // namespace Platform::WaveInternal
