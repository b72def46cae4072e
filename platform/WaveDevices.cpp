#include "platform/WaveDevices.h"
#include "platform/WaveStreams.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace Platform {

WaveHeader& WaveHeader::operator=(const WaveHeader& other) {
    data = other.data;
    bufferLength = other.bufferLength;
    bytesRecorded.store(other.bytesRecorded.load());
    user = other.user;
    flags.store(other.flags.load());
    loops = other.loops;
    next = other.next;
    reserved = other.reserved;
    return *this;
}

namespace WaveInternal {
namespace {

std::mutex observerLock;
WaveDoneObserver doneObserver;
WaveDoneObserver writeObserver;
std::atomic<bool> doneObserverSet{false}; // read without the lock on every header done

int16_t Scaled(int16_t sample, uint32_t volume) {
    int64_t product = static_cast<int64_t>(sample) * volume;
    product += product >= 0 ? 32767 : -32767; // to the nearest
    return static_cast<int16_t>(product / 65535);
}

void ApplyVolume(char* bytes, size_t length, const WaveFormat& format, uint32_t volume) {
    if (volume == 0xFFFFFFFFu || format.bitsPerSample != 16) return;
    uint32_t left = volume & 0xFFFF, right = volume >> 16;
    size_t count = length / 2;
    for (size_t i = 0; i < count; ++i) {
        int16_t sample;
        std::memcpy(&sample, bytes + i * 2, 2);
        bool isRight = format.channels == 2 && (i % 2) == 1;
        sample = Scaled(sample, isRight ? right : left);
        std::memcpy(bytes + i * 2, &sample, 2);
    }
}

} // namespace

uint64_t StreamSync::Changes() {
    std::lock_guard guard(lock_);
    return changes_;
}

bool StreamSync::WaitForChange(const StreamThread& thread, uint64_t seen,
                               std::chrono::nanoseconds timeout) {
    std::unique_lock guard(lock_);
    const auto woken = [&] { return thread.Stopping() || changes_ != seen; };
    if (timeout == std::chrono::nanoseconds::max())
        changed_.wait(guard, woken);
    else
        changed_.wait_for(guard, timeout, woken);
    return !thread.Stopping();
}

void StreamSync::Changed() {
    ++changes_;
    Wake();
    changed_.notify_all();
}

void NotifyDone(HWaveOut handle, const WaveHeader* header) {
    if (!doneObserverSet.load(std::memory_order_acquire)) return;
    std::lock_guard guard(observerLock);
    if (doneObserver) doneObserver(handle, header);
}

OutStream::OutStream(HWaveOut handle, const WaveFormat& format, HWnd callback, uint32_t flags)
    : handle_(handle), format_(format), callback_(callback), flags_(flags) {}

MMRESULT OutStream::Write(WaveHeader* header) {
    Advance();
    const MMRESULT result = Queue(header);
    Advance(); // a run the new bytes make playable begins now, not when the thread wakes
    return result;
}

MMRESULT OutStream::Queue(WaveHeader* header) {
    std::lock_guard guard(lock_);
    if (!header->Has(WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (header->Has(WHDR_INQUEUE)) return WAVERR_STILLPLAYING;
    // A backend with frames still to take goes on without looking again; one that has taken
    // everything (or waits for nothing) must see the new frames.
    const bool starved = cursor_ >= queued_;
    header->flags = (header->flags.load() & ~WHDR_DONE) | WHDR_INQUEUE;
    // Only whole frames play; a trailing part of a frame is skipped.
    uint64_t length = header->bufferLength - header->bufferLength % format_.blockAlign;
    queue_.push_back({header, queued_, queued_ + length});
    queued_ += length;
    CompleteUpTo(played_);
    if (starved) Changed();
    return MMSYSERR_NOERROR;
}

void OutStream::Pause() {
    Advance();
    std::lock_guard guard(lock_);
    paused_ = true;
    Changed();
}

void OutStream::Restart() {
    Advance();
    {
        std::lock_guard guard(lock_);
        paused_ = false;
        Changed();
    }
    Advance(); // the run begins now
}

void OutStream::Reset() {
    std::lock_guard guard(lock_);
    ++generation_;
    played_ = cursor_ = queued_;
    CompleteUpTo(played_);
    played_ = cursor_ = queued_ = positionBase_ = 0;
    Changed();
}

uint64_t OutStream::PlayedBytes() {
    Advance();
    std::lock_guard guard(lock_);
    return positionBase_ + played_;
}

void OutStream::SetPlayedBytes(uint64_t bytes) {
    std::lock_guard guard(lock_);
    positionBase_ = bytes - played_;
}

void OutStream::SetVolume(uint32_t volume) {
    std::lock_guard guard(lock_);
    volume_ = volume;
}

uint32_t OutStream::Volume() {
    std::lock_guard guard(lock_);
    return volume_;
}

bool OutStream::HasQueued() {
    Advance();
    std::lock_guard guard(lock_);
    return !queue_.empty();
}

bool OutStream::WaitDone(const WaveHeader* header, uint32_t timeoutMs) {
    std::unique_lock guard(lock_);
    return done_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                          [header] { return !header->Has(WHDR_INQUEUE); });
}

size_t OutStream::Take(char* destination, size_t maxBytes, uint64_t* generation,
                       uint64_t* cursorAfter) {
    std::lock_guard guard(lock_);
    *generation = generation_;
    if (cursorAfter) *cursorAfter = cursor_;
    if (paused_) return 0;
    size_t wanted = std::min<uint64_t>(maxBytes - maxBytes % format_.blockAlign, queued_ - cursor_);
    size_t taken = 0;
    for (const Entry& entry : queue_) {
        if (taken == wanted) break;
        if (entry.end <= cursor_) continue;
        uint64_t offset = cursor_ - entry.start;
        size_t count = std::min<uint64_t>(entry.end - cursor_, wanted - taken);
        if (destination) std::memcpy(destination + taken, entry.header->data + offset, count);
        taken += count;
        cursor_ += count;
    }
    if (destination) ApplyVolume(destination, taken, format_, volume_);
    if (cursorAfter) *cursorAfter = cursor_;
    return taken;
}

void OutStream::PlayedTo(uint64_t position, uint64_t generation) {
    std::lock_guard guard(lock_);
    if (generation != generation_) return;
    played_ = std::max(played_, std::min(position, cursor_));
    CompleteUpTo(played_);
}

void OutStream::Rewind(uint64_t generation) {
    std::lock_guard guard(lock_);
    if (generation == generation_) cursor_ = played_;
}

uint64_t OutStream::WrittenTo() {
    std::lock_guard guard(lock_);
    return cursor_;
}

bool OutStream::IsPaused() {
    std::lock_guard guard(lock_);
    return paused_;
}

uint64_t OutStream::Generation() {
    std::lock_guard guard(lock_);
    return generation_;
}

bool OutStream::Playable() {
    std::lock_guard guard(lock_);
    return !paused_ && cursor_ < queued_;
}

uint64_t OutStream::BytesToNextDone() {
    std::lock_guard guard(lock_);
    return queue_.empty() || queue_.front().end <= cursor_ ? 0 : queue_.front().end - cursor_;
}

uint64_t OutStream::BytesAfterNextDone() {
    std::lock_guard guard(lock_);
    return queue_.empty() ? 0 : queued_ - queue_.front().end;
}

void OutStream::CompleteUpTo(uint64_t position) {
    bool any = false;
    while (!queue_.empty() && queue_.front().end <= position) {
        WaveHeader* header = queue_.front().header;
        queue_.pop_front();
        header->flags = (header->flags.load() & ~WHDR_INQUEUE) | WHDR_DONE;
        NotifyDone(handle_, header);
        if (flags_ & CALLBACK_WINDOW)
            PostMessage(callback_, MM_WOM_DONE, handle_, reinterpret_cast<intptr_t>(header));
        any = true;
    }
    if (any) done_.notify_all();
}

InStream::InStream(HWaveIn handle, const WaveFormat& format, HWnd callback, uint32_t flags)
    : handle_(handle), format_(format), callback_(callback), flags_(flags) {}

MMRESULT InStream::AddBuffer(WaveHeader* header) {
    std::lock_guard guard(lock_);
    if (!header->Has(WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (header->Has(WHDR_INQUEUE)) return WAVERR_STILLPLAYING;
    header->bytesRecorded = 0;
    header->flags = (header->flags.load() & ~WHDR_DONE) | WHDR_INQUEUE;
    queue_.push_back(header);
    Changed();
    return MMSYSERR_NOERROR;
}

void InStream::Start() {
    std::lock_guard guard(lock_);
    started_ = true;
    Changed();
}

void InStream::Stop() {
    std::lock_guard guard(lock_);
    started_ = false;
    if (!queue_.empty() && queue_.front()->bytesRecorded > 0) {
        WaveHeader* partial = queue_.front();
        queue_.pop_front();
        Return(partial);
    }
    Changed();
}

void InStream::Reset() {
    std::lock_guard guard(lock_);
    started_ = false;
    for (WaveHeader* header : lost_)
        Return(header);
    for (WaveHeader* header : queue_)
        Return(header);
    lost_.clear();
    queue_.clear();
    captured_ = 0;
    Changed();
}

uint64_t InStream::BytesToNextReturn() {
    std::lock_guard guard(lock_);
    return queue_.empty() ? 0 : queue_.front()->bufferLength - queue_.front()->bytesRecorded;
}

uint64_t InStream::CapturedBytes() {
    std::lock_guard guard(lock_);
    return captured_;
}

void InStream::LoseNextBlock() {
    std::lock_guard guard(lock_);
    loseNext_ = true;
}

bool InStream::IsStarted() {
    std::lock_guard guard(lock_);
    return started_;
}

void InStream::Deliver(const char* data, size_t bytes) {
    std::lock_guard guard(lock_);
    if (!started_) return;
    while (bytes > 0 && !queue_.empty()) {
        WaveHeader* header = queue_.front();
        uint32_t filled = header->bytesRecorded;
        size_t count = std::min<size_t>(header->bufferLength - filled, bytes);
        std::memcpy(header->data + filled, data, count);
        header->bytesRecorded = filled + static_cast<uint32_t>(count);
        captured_ += count;
        data += count;
        bytes -= count;
        if (header->bytesRecorded < header->bufferLength) break;
        queue_.pop_front();
        if (loseNext_) {
            loseNext_ = false;
            lost_.push_back(header);
        } else {
            Return(header);
        }
    }
}

void InStream::Return(WaveHeader* header) {
    header->flags = (header->flags.load() & ~WHDR_INQUEUE) | WHDR_DONE;
    if (flags_ & CALLBACK_WINDOW)
        PostMessage(callback_, MM_WIM_DATA, handle_, reinterpret_cast<intptr_t>(header));
}

} // namespace WaveInternal

using namespace WaveInternal;

namespace {

struct DeviceTables {
    std::mutex lock;
    bool loaded = false;
    std::vector<DeviceEntry> outputs;
    std::vector<DeviceEntry> inputs;
    std::map<int32_t, std::shared_ptr<OutStream>> openOut;
    std::map<int32_t, std::shared_ptr<InStream>> openIn;
    int32_t nextHandle = 0x2000;
};

DeviceTables& Tables() {
    static DeviceTables tables;
    return tables;
}

std::vector<DeviceEntry> ParseDeviceList(const char* variable, bool capture) {
    const char* text = std::getenv(variable);
    std::string list = text && *text ? text : "alsa";
    std::vector<DeviceEntry> devices;
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        item.erase(0, item.find_first_not_of(" \t"));
        item.erase(item.find_last_not_of(" \t") + 1);
        if (item == "alsa") {
            std::vector<DeviceEntry> found = EnumerateAlsa(capture);
            // Without a sound card "default" leads nowhere: play on the clock instead.
            if (found.size() <= 1 && !(text && *text))
                devices.push_back({Backend::Null, "", capture ? "Null input" : "Null output"});
            else
                devices.insert(devices.end(), found.begin(), found.end());
        } else if (item.rfind("alsa:", 0) == 0) {
            devices.push_back({Backend::Alsa, item.substr(5), "ALSA " + item.substr(5)});
        } else if (item == "null") {
            devices.push_back({Backend::Null, "", capture ? "Null input" : "Null output"});
        } else if (item == "capture" && !capture) {
            devices.push_back({Backend::Capture, "", "Capture output"});
        } else if (item.rfind("file:", 0) == 0 && capture) {
            devices.push_back({Backend::File, item.substr(5), "File input"});
        }
    }
    for (DeviceEntry& device : devices)
        if (device.productName.size() > 31) device.productName.resize(31);
    return devices;
}

DeviceTables& Loaded() {
    DeviceTables& tables = Tables();
    std::lock_guard guard(tables.lock);
    if (!tables.loaded) {
        tables.outputs = ParseDeviceList("VNTZEL_WAVE_OUT_DEVICES", false);
        tables.inputs = ParseDeviceList("VNTZEL_WAVE_IN_DEVICES", true);
        tables.loaded = true;
    }
    return tables;
}

bool Resolve(const std::vector<DeviceEntry>& devices, uint32_t id, DeviceEntry* entry) {
    if (devices.empty()) return false;
    if (id == WAVE_MAPPER) id = 0;
    if (id >= devices.size()) return false;
    *entry = devices[id];
    return true;
}

bool ValidFormat(const WaveFormat* format) {
    return format && format->formatTag == WAVE_FORMAT_PCM && format->bitsPerSample == 16 &&
           (format->channels == 1 || format->channels == 2) && format->samplesPerSec >= 1000 &&
           format->samplesPerSec <= 192000 && format->blockAlign == format->channels * 2 &&
           format->avgBytesPerSec == format->samplesPerSec * format->blockAlign;
}

std::shared_ptr<OutStream> FindOut(HWaveOut handle) {
    DeviceTables& tables = Loaded();
    std::lock_guard guard(tables.lock);
    auto found = tables.openOut.find(handle);
    return found == tables.openOut.end() ? nullptr : found->second;
}

std::shared_ptr<InStream> FindIn(HWaveIn handle) {
    DeviceTables& tables = Loaded();
    std::lock_guard guard(tables.lock);
    auto found = tables.openIn.find(handle);
    return found == tables.openIn.end() ? nullptr : found->second;
}

int32_t NextHandle() {
    DeviceTables& tables = Tables();
    std::lock_guard guard(tables.lock);
    return tables.nextHandle++;
}

MMRESULT ErrorText(MMRESULT code, std::string& text) {
    static const std::map<MMRESULT, const char*> texts = {
        {MMSYSERR_NOERROR, "The command completed successfully."},
        {MMSYSERR_ERROR, "An unspecified device error occurred."},
        {MMSYSERR_BADDEVICEID, "The device number is out of range."},
        {MMSYSERR_NOTENABLED, "The device driver is not enabled."},
        {MMSYSERR_ALLOCATED, "The device is already in use by another stream."},
        {MMSYSERR_INVALHANDLE, "The device handle is not valid."},
        {MMSYSERR_NODRIVER, "There is no driver installed for this device."},
        {MMSYSERR_NOMEM, "There is not enough memory for this operation."},
        {MMSYSERR_NOTSUPPORTED, "The device does not support this function."},
        {MMSYSERR_INVALFLAG, "An invalid flag was passed."},
        {MMSYSERR_INVALPARAM, "An invalid parameter was passed."},
        {WAVERR_BADFORMAT, "The device cannot play or record this format."},
        {WAVERR_STILLPLAYING, "The buffer is still in the device queue."},
        {WAVERR_UNPREPARED, "The buffer has not been prepared."},
    };
    auto found = texts.find(code);
    if (found == texts.end()) {
        text.clear();
        return 9; // MMSYSERR_BADERRNUM
    }
    text = found->second;
    return MMSYSERR_NOERROR;
}

MMRESULT Prepare(WaveHeader* header) {
    if (!header || !header->data) return MMSYSERR_INVALPARAM;
    header->flags = header->flags.load() | WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT Unprepare(WaveHeader* header) {
    if (!header) return MMSYSERR_INVALPARAM;
    if (header->Has(WHDR_INQUEUE)) return WAVERR_STILLPLAYING;
    header->flags = header->flags.load() & ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

void FillPosition(MMTime* time, uint64_t bytes, const WaveFormat& format) {
    uint64_t frames = bytes / format.blockAlign;
    uint64_t value = bytes;
    switch (time->type) {
    case TIME_SAMPLES:
        value = frames;
        break;
    case TIME_MS:
        value = frames * 1000 / format.samplesPerSec;
        break;
    default:
        time->type = TIME_BYTES;
        break;
    }
    time->value = static_cast<uint32_t>(value % kWavePositionWrap);
}

} // namespace

uint32_t waveOutGetNumDevs() {
    DeviceTables& tables = Loaded();
    std::lock_guard guard(tables.lock);
    return static_cast<uint32_t>(tables.outputs.size());
}

MMRESULT waveOutGetDevCaps(uint32_t deviceId, WaveOutCaps* caps) {
    DeviceTables& tables = Loaded();
    DeviceEntry entry;
    {
        std::lock_guard guard(tables.lock);
        if (!caps) return MMSYSERR_INVALPARAM;
        if (!Resolve(tables.outputs, deviceId, &entry)) return MMSYSERR_BADDEVICEID;
    }
    *caps = WaveOutCaps{};
    caps->manufacturerId = 1;
    caps->productId = static_cast<uint16_t>(entry.backend) + 1;
    caps->driverVersion = 0x0100;
    caps->productName = deviceId == WAVE_MAPPER ? "Wave mapper" : entry.productName;
    caps->formats = 0xCCC; // 16-bit mono and stereo at 11025, 22050 and 44100 Hz
    caps->channels = entry.channels;
    caps->support = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME | WAVECAPS_SAMPLEACCURATE;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetHandleCaps(HWaveOut handle, WaveOutCaps* caps) {
    if (!FindOut(handle)) return MMSYSERR_INVALHANDLE;
    WaveOutCaps found;
    MMRESULT result = waveOutGetDevCaps(0, &found);
    if (result == MMSYSERR_NOERROR && caps) *caps = found;
    return caps ? result : MMSYSERR_INVALPARAM;
}

MMRESULT waveOutOpen(HWaveOut* handle, uint32_t deviceId, const WaveFormat* format, HWnd callback,
                     intptr_t, uint32_t flags) {
    if (!handle) return MMSYSERR_INVALPARAM;
    *handle = 0;
    DeviceTables& tables = Loaded();
    DeviceEntry entry;
    {
        std::lock_guard guard(tables.lock);
        if (!Resolve(tables.outputs, deviceId, &entry)) return MMSYSERR_BADDEVICEID;
    }
    if (!ValidFormat(format)) return WAVERR_BADFORMAT;
    if ((flags & CALLBACK_WINDOW) && !IsWindow(callback)) return MMSYSERR_INVALPARAM;
    int32_t id = NextHandle();
    MMRESULT result = MMSYSERR_NOERROR;
    std::unique_ptr<OutStream> stream;
    switch (entry.backend) {
    case Backend::Alsa:
        stream = OpenAlsaOut(entry, id, *format, callback, flags, &result);
        break;
    case Backend::Null:
        stream = OpenNullOut(id, *format, callback, flags);
        break;
    case Backend::Capture:
        stream = OpenCaptureOut(id, *format, callback, flags);
        break;
    case Backend::File:
        result = MMSYSERR_NODRIVER;
        break;
    }
    if (!stream) return result == MMSYSERR_NOERROR ? MMSYSERR_ERROR : result;
    result = stream->Start();
    if (result != MMSYSERR_NOERROR) return result;
    std::lock_guard guard(tables.lock);
    tables.openOut[id] = std::shared_ptr<OutStream>(std::move(stream));
    *handle = id;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWaveOut handle) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (stream->HasQueued()) return WAVERR_STILLPLAYING;
    {
        DeviceTables& tables = Tables();
        std::lock_guard guard(tables.lock);
        tables.openOut.erase(handle);
    }
    stream->Stop();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWaveOut handle, WaveHeader* header) {
    return FindOut(handle) ? Prepare(header) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutUnprepareHeader(HWaveOut handle, WaveHeader* header) {
    return FindOut(handle) ? Unprepare(header) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutWrite(HWaveOut handle, WaveHeader* header) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (!header) return MMSYSERR_INVALPARAM;
    {
        std::lock_guard guard(WaveInternal::observerLock);
        if (WaveInternal::writeObserver) WaveInternal::writeObserver(handle, header);
    }
    return stream->Write(header);
}

MMRESULT waveOutPause(HWaveOut handle) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->Pause();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutRestart(HWaveOut handle) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->Restart();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWaveOut handle) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->Reset();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetPosition(HWaveOut handle, MMTime* time) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (!time) return MMSYSERR_INVALPARAM;
    FillPosition(time, stream->PlayedBytes(), stream->Format());
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWaveOut handle, uint32_t volume) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->SetVolume(volume);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetVolume(HWaveOut handle, uint32_t* volume) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (!volume) return MMSYSERR_INVALPARAM;
    *volume = stream->Volume();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetErrorText(MMRESULT code, std::string& text) {
    return ErrorText(code, text);
}

bool waveOutWaitDone(HWaveOut handle, const WaveHeader* header, uint32_t timeoutMs) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream || !header) return false;
    return stream->WaitDone(header, timeoutMs);
}

uint32_t waveInGetNumDevs() {
    DeviceTables& tables = Loaded();
    std::lock_guard guard(tables.lock);
    return static_cast<uint32_t>(tables.inputs.size());
}

MMRESULT waveInGetDevCaps(uint32_t deviceId, WaveInCaps* caps) {
    DeviceTables& tables = Loaded();
    std::lock_guard guard(tables.lock);
    if (!caps) return MMSYSERR_INVALPARAM;
    DeviceEntry entry;
    if (!Resolve(tables.inputs, deviceId, &entry)) return MMSYSERR_BADDEVICEID;
    *caps = WaveInCaps{};
    caps->manufacturerId = 1;
    caps->productId = static_cast<uint16_t>(entry.backend) + 1;
    caps->driverVersion = 0x0100;
    caps->productName = deviceId == WAVE_MAPPER ? "Wave mapper" : entry.productName;
    caps->formats = 0xCCC;
    caps->channels = entry.channels;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInOpen(HWaveIn* handle, uint32_t deviceId, const WaveFormat* format, HWnd callback,
                    intptr_t, uint32_t flags) {
    if (!handle) return MMSYSERR_INVALPARAM;
    *handle = 0;
    DeviceTables& tables = Loaded();
    DeviceEntry entry;
    {
        std::lock_guard guard(tables.lock);
        if (!Resolve(tables.inputs, deviceId, &entry)) return MMSYSERR_BADDEVICEID;
    }
    if (!ValidFormat(format)) return WAVERR_BADFORMAT;
    if ((flags & CALLBACK_WINDOW) && !IsWindow(callback)) return MMSYSERR_INVALPARAM;
    int32_t id = NextHandle();
    MMRESULT result = MMSYSERR_NOERROR;
    std::unique_ptr<InStream> stream;
    switch (entry.backend) {
    case Backend::Alsa:
        stream = OpenAlsaIn(entry, id, *format, callback, flags, &result);
        break;
    case Backend::Null:
        stream = OpenNullIn(id, *format, callback, flags);
        break;
    case Backend::File:
        stream = OpenFileIn(entry, id, *format, callback, flags, &result);
        break;
    case Backend::Capture:
        result = MMSYSERR_NODRIVER;
        break;
    }
    if (!stream) return result == MMSYSERR_NOERROR ? MMSYSERR_ERROR : result;
    result = stream->Open();
    if (result != MMSYSERR_NOERROR) return result;
    std::lock_guard guard(tables.lock);
    tables.openIn[id] = std::shared_ptr<InStream>(std::move(stream));
    *handle = id;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInClose(HWaveIn handle) {
    std::shared_ptr<InStream> stream = FindIn(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->Reset();
    {
        DeviceTables& tables = Tables();
        std::lock_guard guard(tables.lock);
        tables.openIn.erase(handle);
    }
    stream->Close();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWaveIn handle, WaveHeader* header) {
    return FindIn(handle) ? Prepare(header) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveInUnprepareHeader(HWaveIn handle, WaveHeader* header) {
    return FindIn(handle) ? Unprepare(header) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveInAddBuffer(HWaveIn handle, WaveHeader* header) {
    std::shared_ptr<InStream> stream = FindIn(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (!header || !header->data || header->bufferLength == 0) return MMSYSERR_INVALPARAM;
    return stream->AddBuffer(header);
}

MMRESULT waveInStart(HWaveIn handle) {
    std::shared_ptr<InStream> stream = FindIn(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->Start();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInStop(HWaveIn handle) {
    std::shared_ptr<InStream> stream = FindIn(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->Stop();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInReset(HWaveIn handle) {
    std::shared_ptr<InStream> stream = FindIn(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->Reset();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInGetPosition(HWaveIn handle, MMTime* time) {
    std::shared_ptr<InStream> stream = FindIn(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (!time) return MMSYSERR_INVALPARAM;
    FillPosition(time, stream->CapturedBytes(), stream->Format());
    return MMSYSERR_NOERROR;
}

MMRESULT waveInGetErrorText(MMRESULT code, std::string& text) {
    return ErrorText(code, text);
}

MMRESULT SetWaveOutPlayedBytes(HWaveOut handle, uint64_t bytes) {
    std::shared_ptr<OutStream> stream = FindOut(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->SetPlayedBytes(bytes);
    return MMSYSERR_NOERROR;
}

void ReloadWaveDevices() {
    DeviceTables& tables = Tables();
    std::lock_guard guard(tables.lock);
    tables.loaded = false;
}

void SetWaveDoneObserver(WaveDoneObserver observer) {
    std::lock_guard guard(WaveInternal::observerLock);
    WaveInternal::doneObserverSet = static_cast<bool>(observer);
    WaveInternal::doneObserver = std::move(observer);
}

void SetWaveWriteObserver(WaveDoneObserver observer) {
    std::lock_guard guard(WaveInternal::observerLock);
    WaveInternal::writeObserver = std::move(observer);
}

} // namespace Platform
