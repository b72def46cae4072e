// The capture device and the file-fed input on the virtual clock.
#include "platform/WaveCapture.h"
#include "platform/WaveStreams.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Platform::WaveInternal {
namespace {

class CaptureOut;
class FileIn;

struct VirtualClock {
    std::recursive_mutex lock;
    uint32_t rate = 44100;
    uint64_t now = 0;
    uint64_t millisecondCarry = 0; // frames x 1000 not yet advanced by whole milliseconds
    std::vector<int16_t> timeline;
    std::vector<WaveCapture::StreamRecord> records;
    std::vector<CaptureOut*> outputs;
    std::vector<FileIn*> inputs;
    std::string outputFile;
};

VirtualClock& Clock() {
    static VirtualClock clock;
    return clock;
}

int16_t Clamped(int32_t value) {
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

uint64_t CeilDiv(uint64_t a, uint64_t b) {
    return (a + b - 1) / b;
}

class CaptureOut : public OutStream {
public:
    CaptureOut(HWaveOut handle, const WaveFormat& format, HWnd callback, uint32_t flags)
        : OutStream(handle, format, callback, flags) {}

    MMRESULT Start() override {
        VirtualClock& clock = Clock();
        std::lock_guard guard(clock.lock);
        clock.outputs.push_back(this);
        AddRecord(clock);
        return MMSYSERR_NOERROR;
    }

    void Stop() override {
        VirtualClock& clock = Clock();
        std::lock_guard guard(clock.lock);
        std::erase(clock.outputs, this);
    }

    bool WaitDone(const WaveHeader* header, uint32_t timeoutMs) override {
        for (uint32_t waited = 0; waited < timeoutMs && header->Has(WHDR_INQUEUE); waited += 10)
            WaveCapture::AdvanceMilliseconds(std::min<uint32_t>(10, timeoutMs - waited));
        return !header->Has(WHDR_INQUEUE);
    }

    void AddRecord(VirtualClock& clock) {
        record_ = clock.records.size();
        consumed_ = deviceFrames_ = 0;
        WaveCapture::StreamRecord record;
        record.handle = Handle();
        record.format = Format();
        clock.records.push_back(record);
    }

    // Plays the device frames [start, start + count) of the timeline.
    void Play(VirtualClock& clock, uint64_t start, uint64_t count) {
        const WaveFormat& format = Format();
        const uint64_t rate = format.samplesPerSec, deviceRate = clock.rate;
        const uint64_t wanted = (deviceFrames_ + count) * rate / deviceRate - consumed_;
        scratch_.resize(wanted * format.blockAlign);
        uint64_t generation = 0, cursor = 0;
        size_t got =
            Take(scratch_.data(), scratch_.size(), &generation, &cursor) / format.blockAlign;
        if (got == 0) return;
        uint64_t covered = count;
        if (got < wanted)
            covered = std::min<uint64_t>(count, CeilDiv((consumed_ + got) * deviceRate, rate) -
                                                    deviceFrames_);
        const int16_t* samples = reinterpret_cast<const int16_t*>(scratch_.data());
        for (uint64_t k = 0; k < covered; ++k) {
            uint64_t index = (deviceFrames_ + k) * rate / deviceRate - consumed_;
            index = std::min<uint64_t>(index, got - 1);
            int16_t left = samples[index * format.channels];
            int16_t right = format.channels == 2 ? samples[index * 2 + 1] : left;
            int16_t* frame = &clock.timeline[(start + k) * 2];
            frame[0] = Clamped(frame[0] + left);
            frame[1] = Clamped(frame[1] + right);
        }
        WaveCapture::StreamRecord& record = clock.records[record_];
        record.samples.insert(record.samples.end(), samples, samples + got * format.channels);
        if (!record.runs.empty() &&
            record.runs.back().startFrame + record.runs.back().frames == start)
            record.runs.back().frames += covered;
        else
            record.runs.push_back({start, covered});
        consumed_ += got;
        deviceFrames_ += covered;
        PlayedTo(cursor, generation);
    }

private:
    size_t record_ = 0;
    uint64_t consumed_ = 0;     // stream frames played
    uint64_t deviceFrames_ = 0; // device frames during which it played
    std::vector<char> scratch_;
};

class FileIn : public InStream {
public:
    FileIn(HWaveIn handle, const WaveFormat& format, HWnd callback, uint32_t flags, FILE* file)
        : InStream(handle, format, callback, flags), file_(file) {}
    ~FileIn() override {
        if (file_) fclose(file_);
    }

    MMRESULT Open() override {
        VirtualClock& clock = Clock();
        std::lock_guard guard(clock.lock);
        clock.inputs.push_back(this);
        return MMSYSERR_NOERROR;
    }

    void Close() override {
        VirtualClock& clock = Clock();
        std::lock_guard guard(clock.lock);
        std::erase(clock.inputs, this);
    }

    // Captures what the file holds for the next count device frames; silence after its end.
    void Capture(VirtualClock& clock, uint64_t count) {
        if (!IsStarted()) return;
        const WaveFormat& format = Format();
        uint64_t target = (deviceFrames_ + count) * format.samplesPerSec / clock.rate;
        size_t bytes = (target - produced_) * format.blockAlign;
        deviceFrames_ += count;
        produced_ = target;
        scratch_.assign(bytes, 0);
        if (file_) fread(scratch_.data(), 1, bytes, file_);
        Deliver(scratch_.data(), bytes);
    }

private:
    FILE* file_;
    uint64_t deviceFrames_ = 0;
    uint64_t produced_ = 0;
    std::vector<char> scratch_;
};

void AppendToFile(const VirtualClock& clock, uint64_t start) {
    if (clock.outputFile.empty()) return;
    FILE* file = fopen(clock.outputFile.c_str(), "ab");
    if (!file) return;
    fwrite(clock.timeline.data() + start * 2, sizeof(int16_t), clock.timeline.size() - start * 2,
           file);
    fclose(file);
}

} // namespace

std::unique_ptr<OutStream> OpenCaptureOut(HWaveOut handle, const WaveFormat& format, HWnd callback,
                                          uint32_t flags) {
    return std::make_unique<CaptureOut>(handle, format, callback, flags);
}

std::unique_ptr<InStream> OpenFileIn(const DeviceEntry& device, HWaveIn handle,
                                     const WaveFormat& format, HWnd callback, uint32_t flags,
                                     MMRESULT* result) {
    FILE* file = fopen(device.name.c_str(), "rb");
    if (!file) {
        *result = MMSYSERR_NOTENABLED;
        return nullptr;
    }
    return std::make_unique<FileIn>(handle, format, callback, flags, file);
}

} // namespace Platform::WaveInternal

namespace Platform::WaveCapture {

using namespace Platform::WaveInternal;

void AdvanceFrames(uint64_t frames) {
    VirtualClock& clock = Clock();
    std::lock_guard guard(clock.lock);
    uint64_t start = clock.now;
    clock.timeline.resize((start + frames) * 2, 0);
    std::vector<CaptureOut*> outputs = clock.outputs;
    for (CaptureOut* output : outputs)
        output->Play(clock, start, frames);
    std::vector<FileIn*> inputs = clock.inputs;
    for (FileIn* input : inputs)
        input->Capture(clock, frames);
    clock.now = start + frames;
    AppendToFile(clock, start);
}

void AdvanceMilliseconds(uint32_t milliseconds) {
    uint64_t frames = 0;
    {
        VirtualClock& clock = Clock();
        std::lock_guard guard(clock.lock);
        uint64_t scaled = static_cast<uint64_t>(milliseconds) * clock.rate + clock.millisecondCarry;
        frames = scaled / 1000;
        clock.millisecondCarry = scaled % 1000;
    }
    AdvanceFrames(frames);
}

uint64_t NowFrames() {
    VirtualClock& clock = Clock();
    std::lock_guard guard(clock.lock);
    return clock.now;
}

uint32_t Rate() {
    VirtualClock& clock = Clock();
    std::lock_guard guard(clock.lock);
    return clock.rate;
}

void Reset(uint32_t rate) {
    VirtualClock& clock = Clock();
    std::lock_guard guard(clock.lock);
    clock.rate = rate > 0 ? rate : 44100;
    clock.now = 0;
    clock.millisecondCarry = 0;
    clock.timeline.clear();
    clock.records.clear();
    for (CaptureOut* output : clock.outputs)
        output->AddRecord(clock);
}

std::vector<int16_t> Timeline() {
    VirtualClock& clock = Clock();
    std::lock_guard guard(clock.lock);
    return clock.timeline;
}

std::vector<StreamRecord> Streams() {
    VirtualClock& clock = Clock();
    std::lock_guard guard(clock.lock);
    return clock.records;
}

void SetOutputFile(const std::string& path) {
    VirtualClock& clock = Clock();
    std::lock_guard guard(clock.lock);
    clock.outputFile = path;
}

void LoseNextInputBlock() {
    VirtualClock& clock = Clock();
    std::lock_guard guard(clock.lock);
    for (FileIn* input : clock.inputs)
        input->LoseNextBlock();
}

} // namespace Platform::WaveCapture
