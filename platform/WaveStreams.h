#pragma once
// Inside of the wave-device layer: the queue of one open stream, shared by the backends,
// and the backends' factories. Only platform/Wave*.cpp include this.
#include "platform/WaveDevices.h"

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

// Queue of an output stream. The owner's thread writes, pauses and resets; the backend
// takes bytes to play and reports what has been played.
class OutStream {
public:
    OutStream(HWaveOut handle, const WaveFormat& format, HWnd callback, uint32_t flags);
    virtual ~OutStream() = default;
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
    size_t Take(char* destination, size_t maxBytes, uint64_t* generation,
                uint64_t* cursorAfter = nullptr);
    // Frames up to this absolute byte position (of the given generation) have been played.
    void PlayedTo(uint64_t position, uint64_t generation);
    // Moves the write cursor back to the played position (the backend dropped its buffer).
    void Rewind(uint64_t generation);
    uint64_t WrittenTo();
    bool IsPaused();
    uint64_t Generation();
    // Called with the lock held when the backend should look again (write, pause, reset).
    virtual void Wake() {}

    std::mutex lock_;
    std::condition_variable changed_;

private:
    struct Entry {
        WaveHeader* header;
        uint64_t start;
        uint64_t end;
    };
    void CompleteUpTo(uint64_t position);

    HWaveOut handle_;
    WaveFormat format_;
    HWnd callback_;
    uint32_t flags_;
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
class InStream {
public:
    InStream(HWaveIn handle, const WaveFormat& format, HWnd callback, uint32_t flags);
    virtual ~InStream() = default;
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
    virtual void Wake() {}

    std::mutex lock_;
    std::condition_variable changed_;

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
