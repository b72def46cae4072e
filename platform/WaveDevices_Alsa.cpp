// ALSA PCM devices. One thread per open stream feeds (or reads) the PCM and tells the queue
// how far playback has really got, from the PCM's delay.
#include "platform/WaveStreams.h"

#include <alsa/asoundlib.h>
#include <thread>

namespace Platform::WaveInternal {
namespace {

constexpr unsigned kLatencyUs = 100000;
constexpr snd_pcm_uframes_t kChunkFrames = 1024;

MMRESULT OpenPcm(const std::string& name, snd_pcm_stream_t direction, const WaveFormat& format,
                 snd_pcm_t** pcm) {
    if (snd_pcm_open(pcm, name.c_str(), direction, 0) < 0) return MMSYSERR_ALLOCATED;
    if (snd_pcm_set_params(*pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                           format.channels, format.samplesPerSec, 1, kLatencyUs) < 0) {
        snd_pcm_close(*pcm);
        *pcm = nullptr;
        return WAVERR_BADFORMAT;
    }
    return MMSYSERR_NOERROR;
}

class AlsaOut : public OutStream {
public:
    AlsaOut(HWaveOut handle, const WaveFormat& format, HWnd callback, uint32_t flags,
            snd_pcm_t* pcm)
        : OutStream(handle, format, callback, flags), pcm_(pcm) {}
    ~AlsaOut() override {
        Stop();
        if (pcm_) snd_pcm_close(pcm_);
    }

    MMRESULT Start() override {
        thread_.Start([this] { Run(); });
        return MMSYSERR_NOERROR;
    }
    void Stop() override { thread_.Stop(lock_, changed_); }

private:
    // Frames handed to the PCM that it has not played yet.
    uint64_t Unplayed() {
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_delay(pcm_, &delay) < 0 || delay < 0) return 0;
        return static_cast<uint64_t>(delay);
    }

    void ReportPlayed() {
        uint64_t unplayed = std::min<uint64_t>(Unplayed() * Format().blockAlign, written_);
        PlayedTo(base_ + written_ - unplayed, generation_);
    }

    // Drops what the PCM holds and starts again from the queue's cursor.
    void DropPcm(bool keepUnplayed) {
        if (keepUnplayed) {
            ReportPlayed();
            Rewind(generation_);
        }
        snd_pcm_drop(pcm_);
        snd_pcm_prepare(pcm_);
        base_ = WrittenTo();
        written_ = 0;
    }

    void Run() {
        std::vector<char> chunk(kChunkFrames * Format().blockAlign);
        generation_ = Generation();
        bool wasPaused = false;
        const std::chrono::nanoseconds period = PeriodTime();
        for (;;) {
            const uint64_t seen = Changes();
            {
                std::lock_guard guard(lock_);
                if (thread_.Stopping()) break;
            }
            if (Generation() != generation_) {
                generation_ = Generation();
                DropPcm(false);
            }
            bool paused = IsPaused();
            if (paused && !wasPaused) DropPcm(true);
            wasPaused = paused;
            uint64_t generation = 0;
            size_t got = paused ? 0 : Take(chunk.data(), chunk.size(), &generation);
            if (got == 0 || generation != generation_) {
                if (!paused) ReportPlayed();
                // While the PCM plays out what it holds the position is followed period by
                // period; otherwise the thread sleeps until the owner changes something.
                const bool draining = !paused && Unplayed() > 0;
                if (!WaitForChange(thread_, seen,
                                   draining ? period : std::chrono::nanoseconds::max()))
                    break;
                continue;
            }
            Send(chunk.data(), got);
            ReportPlayed();
        }
        snd_pcm_drop(pcm_);
    }

    std::chrono::nanoseconds PeriodTime() {
        snd_pcm_uframes_t buffer = 0, period = 0;
        if (snd_pcm_get_params(pcm_, &buffer, &period) < 0 || period == 0) period = kChunkFrames;
        return std::chrono::nanoseconds(period * 1000000000ull / Format().samplesPerSec);
    }

    void Send(const char* data, size_t bytes) {
        snd_pcm_uframes_t frames = bytes / Format().blockAlign;
        while (frames > 0) {
            snd_pcm_sframes_t sent = snd_pcm_writei(pcm_, data, frames);
            if (sent == -EAGAIN) continue;
            if (sent < 0) {
                // An underrun means everything written so far has been played.
                PlayedTo(base_ + written_, generation_);
                if (snd_pcm_recover(pcm_, static_cast<int>(sent), 1) < 0) return;
                continue;
            }
            size_t sentBytes = static_cast<size_t>(sent) * Format().blockAlign;
            written_ += sentBytes;
            data += sentBytes;
            frames -= static_cast<snd_pcm_uframes_t>(sent);
        }
    }

    snd_pcm_t* pcm_;
    StreamThread thread_;
    uint64_t generation_ = 0;
    uint64_t base_ = 0;    // queue position where the PCM's stream began
    uint64_t written_ = 0; // bytes handed to the PCM since then
};

class AlsaIn : public InStream {
public:
    AlsaIn(HWaveIn handle, const WaveFormat& format, HWnd callback, uint32_t flags, snd_pcm_t* pcm)
        : InStream(handle, format, callback, flags), pcm_(pcm) {}
    ~AlsaIn() override {
        Close();
        if (pcm_) snd_pcm_close(pcm_);
    }

    MMRESULT Open() override {
        thread_.Start([this] { Run(); });
        return MMSYSERR_NOERROR;
    }
    void Close() override { thread_.Stop(lock_, changed_); }

private:
    void Run() {
        std::vector<char> chunk(kChunkFrames / 4 * Format().blockAlign);
        bool running = false;
        for (;;) {
            const uint64_t seen = Changes();
            {
                std::unique_lock guard(lock_);
                if (thread_.Stopping()) break;
            }
            bool started = IsStarted();
            if (started != running) {
                snd_pcm_drop(pcm_);
                snd_pcm_prepare(pcm_);
                if (started) snd_pcm_start(pcm_);
                running = started;
            }
            if (!running) {
                if (!WaitForChange(thread_, seen)) break;
                continue;
            }
            // Wait briefly so that a stop or close is seen soon.
            if (snd_pcm_wait(pcm_, 20) == 0) continue;
            snd_pcm_sframes_t got =
                snd_pcm_readi(pcm_, chunk.data(), chunk.size() / Format().blockAlign);
            if (got < 0) {
                snd_pcm_recover(pcm_, static_cast<int>(got), 1);
                continue;
            }
            Deliver(chunk.data(), static_cast<size_t>(got) * Format().blockAlign);
        }
        snd_pcm_drop(pcm_);
    }

    snd_pcm_t* pcm_;
    StreamThread thread_;
};

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsaErrors() {
    static bool done = false;
    if (done) return;
    done = true;
    snd_lib_error_set_handler(IgnoreAlsaError);
}

} // namespace

std::unique_ptr<OutStream> OpenAlsaOut(const DeviceEntry& device, HWaveOut handle,
                                       const WaveFormat& format, HWnd callback, uint32_t flags,
                                       MMRESULT* result) {
    SilenceAlsaErrors();
    snd_pcm_t* pcm = nullptr;
    *result = OpenPcm(device.name, SND_PCM_STREAM_PLAYBACK, format, &pcm);
    if (*result != MMSYSERR_NOERROR) return nullptr;
    return std::make_unique<AlsaOut>(handle, format, callback, flags, pcm);
}

std::unique_ptr<InStream> OpenAlsaIn(const DeviceEntry& device, HWaveIn handle,
                                     const WaveFormat& format, HWnd callback, uint32_t flags,
                                     MMRESULT* result) {
    SilenceAlsaErrors();
    snd_pcm_t* pcm = nullptr;
    *result = OpenPcm(device.name, SND_PCM_STREAM_CAPTURE, format, &pcm);
    if (*result != MMSYSERR_NOERROR) return nullptr;
    return std::make_unique<AlsaIn>(handle, format, callback, flags, pcm);
}

std::vector<DeviceEntry> EnumerateAlsa(bool capture) {
    SilenceAlsaErrors();
    std::vector<DeviceEntry> devices;
    devices.push_back({Backend::Alsa, "default", capture ? "Default input" : "Default output"});
    snd_pcm_stream_t direction = capture ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        snd_ctl_t* control = nullptr;
        std::string cardName = "hw:" + std::to_string(card);
        if (snd_ctl_open(&control, cardName.c_str(), 0) < 0) continue;
        snd_ctl_card_info_t* cardInfo;
        snd_ctl_card_info_alloca(&cardInfo);
        snd_ctl_card_info(control, cardInfo);
        std::string cardId = snd_ctl_card_info_get_id(cardInfo);
        int device = -1;
        while (snd_ctl_pcm_next_device(control, &device) == 0 && device >= 0) {
            snd_pcm_info_t* info;
            snd_pcm_info_alloca(&info);
            snd_pcm_info_set_device(info, static_cast<unsigned>(device));
            snd_pcm_info_set_subdevice(info, 0);
            snd_pcm_info_set_stream(info, direction);
            if (snd_ctl_pcm_info(control, info) < 0) continue;
            std::string name = "plughw:CARD=" + cardId + ",DEV=" + std::to_string(device);
            std::string product = std::string(snd_ctl_card_info_get_name(cardInfo)) + " " +
                                  snd_pcm_info_get_name(info);
            devices.push_back({Backend::Alsa, name, product});
        }
        snd_ctl_close(control);
    }
    return devices;
}

} // namespace Platform::WaveInternal
