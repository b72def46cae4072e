#include "audio_engine/FlennStreamPlay.h"

#include "platform/Acm.h"
#include "platform/MessageBox.h"
#include "platform/VB.h"

#include <cmath>
#include <cstring>
#include <new>

using namespace Platform;

namespace {

constexpr int32_t kMaxWaveBuffers = 100;
// How long FlushPlayback waits beyond the silence itself before it gives up.
constexpr uint32_t kFlushMarginMs = 500;

bool ValidRate(int32_t rate) {
    for (int32_t accepted : {8000, 11025, 16000, 22050, 32000, 44100, 48000})
        if (rate == accepted) return true;
    return false;
}

int32_t Rounded(double value) {
    return static_cast<int32_t>(VB::RoundHalfEven(value));
}

// The device position wrapped: its span in the clock's unit, from the byte or sample count.
constexpr double kWrapSpan = Platform::kWavePositionWrap - 1;

// A clock's base moves on by one wrap, and starts at 0 again from 2^30 so that it stays in
// 32 bits.
void AddWrap(int32_t& base, double span) {
    if (base >= (1 << 30)) base = 0;
    base += Rounded(span);
}

} // namespace

FlennStreamPlay::FlennStreamPlay(QObject* parent) : QObject(parent) {
    returnBuffers_ = true;
    playVolume_ = 100.0f;
    flushBufferLengthms_ = 100;
}

FlennStreamPlay::~FlennStreamPlay() {
    StopFlennStream();
    if (audioEngineLoaded_) UnloadAudioEngine();
    if (hooked_) window_.SetWindowProc(oldWindowProc_);
}

void FlennStreamPlay::HookWindow() {
    if (hooked_) return;
    hooked_ = true;
    oldWindowProc_ = window_.SetWindowProc(
        [this](HWnd hWnd, uint32_t message, intptr_t wParam, intptr_t lParam) {
            return fnWindowProc(hWnd, message, wParam, lParam);
        });
}

void FlennStreamPlay::InitProperties(bool userMode) {
    SetWaveBufferLengthms(250);
    SetNumberWaveBuffers(4);
    SetNumberChannels(2);
    SetSampleRate(44100);
    SetWaveDeviceNumber(0);
    SetReportErrors(true);
    synchronousAudioLevelEvents_ = false;
    SetRaiseAudioLevelEvents(rleNoEvents);
    SetSampleAudioLevel(true);
    if (userMode) HookWindow();
}

void FlennStreamPlay::ReadProperties(const Com::PropertyBag& bag, bool userMode) {
    using namespace Com;
    if (auto v = ToLong(bag.ReadProperty("WaveBufferLengthms", 250))) SetWaveBufferLengthms(*v);
    if (auto v = ToLong(bag.ReadProperty("NumberWaveBuffers", 4))) SetNumberWaveBuffers(*v);
    if (auto v = ToLong(bag.ReadProperty("NumberChannels", 2))) SetNumberChannels(*v);
    if (auto v = ToLong(bag.ReadProperty("SampleRate", 44100))) SetSampleRate(*v);
    if (auto v = ToLong(bag.ReadProperty("WaveDeviceNumber", 0))) SetWaveDeviceNumber(*v);
    if (auto v = ToBoolean(bag.ReadProperty("ReportErrors", true))) SetReportErrors(*v);
    if (auto v = ToBoolean(bag.ReadProperty("SynchronousAudioLevelEvents", false)))
        synchronousAudioLevelEvents_ = *v;
    if (auto v = ToLong(bag.ReadProperty("RaiseLevelChangeEvents", 0))) raiseAudioLevelEvents_ = *v;
    if (auto v = ToBoolean(bag.ReadProperty("SampleAudioLevel", true))) sampleAudioLevel_ = *v;
    if (auto v = ToBoolean(bag.ReadProperty("DirectXMode", false))) SetDirectXMode(*v);
    if (userMode) HookWindow();
}

void FlennStreamPlay::WriteProperties(Com::PropertyBag& bag) const {
    bag.WriteProperty("WaveBufferLengthms", waveBufferLengthms_, 250);
    bag.WriteProperty("NumberWaveBuffers", numberWaveBuffers_, 4);
    bag.WriteProperty("NumberChannels", numberChannels_, 2);
    bag.WriteProperty("SampleRate", sampleRate_, 44100);
    bag.WriteProperty("WaveDeviceNumber", waveDeviceNumber_, 0);
    bag.WriteProperty("ReportErrors", reportErrors_, true);
    bag.WriteProperty("SynchronousAudioLevelEvents", synchronousAudioLevelEvents_, false);
    bag.WriteProperty("RaiseLevelChangeEvents", raiseAudioLevelEvents_, 0);
    bag.WriteProperty("SampleAudioLevel", sampleAudioLevel_, true);
    bag.WriteProperty("DirectXMode", directXMode_, false);
}

void FlennStreamPlay::Refuse(const std::string& message, int buttons) {
    if (reportErrors_) MsgBox(message, buttons, WaveFormatMod::kTitle);
}

bool FlennStreamPlay::Reported(int32_t code, const char* context) {
    return WaveFormatMod::ReportMMError(code, reportErrors_, context) != 0;
}

void FlennStreamPlay::SetWaveDeviceNumber(int32_t value) {
    int32_t count = static_cast<int32_t>(waveOutGetNumDevs());
    if (value < 0 || value > count) {
        Refuse("Invalid WaveDeviceNumber Specified : " + std::to_string(value) +
               "\nMax = " + std::to_string(count));
        return;
    }
    waveDeviceNumber_ = value;
    propertiesChanged_ = true;
}

void FlennStreamPlay::SetSampleRate(int32_t value) {
    if (!ValidRate(value)) {
        Refuse("Invalid SampleRate Specified, must be 8000, 11025, 16000, 22050, 32000, 44100, "
               "48000");
        return;
    }
    sampleRate_ = value;
    propertiesChanged_ = true;
}

void FlennStreamPlay::SetNumberChannels(int32_t value) {
    if (value != 1 && value != 2) {
        Refuse("Invalid NumberChannels Specified : \nMax = 2");
        return;
    }
    numberChannels_ = value;
    propertiesChanged_ = true;
}

void FlennStreamPlay::SetWaveBufferLengthms(int32_t value) {
    if (value <= 0) {
        Refuse("Invalid Buffer Length Specified");
        return;
    }
    waveBufferLengthms_ = value;
    propertiesChanged_ = true;
}

void FlennStreamPlay::SetNumberWaveBuffers(int32_t value) {
    if (value < 1) {
        Refuse("You must have at least 1 Wave Buffer", vbInformation);
        return;
    }
    if (value > kMaxWaveBuffers) {
        Refuse("You cannot have more than " + std::to_string(kMaxWaveBuffers) + " Wave Buffers",
               vbInformation);
        return;
    }
    numberWaveBuffers_ = value;
    propertiesChanged_ = true;
}

void FlennStreamPlay::SetFlushBufferLengthms(int32_t value) {
    flushBufferLengthms_ = value;
    propertiesChanged_ = true;
}

void FlennStreamPlay::SetReturnBuffers(bool value) {
    returnBuffers_ = value;
    propertiesChanged_ = true;
}

void FlennStreamPlay::SetRaiseAudioLevelEvents(int32_t value) {
    raiseAudioLevelEvents_ = value;
    propertiesChanged_ = true;
}

void FlennStreamPlay::SetReportErrors(bool value) {
    reportErrors_ = value;
    propertiesChanged_ = true;
}

void FlennStreamPlay::SetSynchronousAudioLevelEvents(bool value) {
    synchronousAudioLevelEvents_ = value;
    propertiesChanged_ = true;
}

// The DirectSound path is not available here: the mode is kept and persisted, and the
// stream always plays through the wave-out device.
void FlennStreamPlay::SetDirectXMode(bool value) {
    if (status_ != statusTerminated) return;
    if (!value && directXMode_ && audioEngineLoaded_) UnloadAudioEngine();
    directXMode_ = value;
    propertiesChanged_ = true;
}

float FlennStreamPlay::PlayVolume() const {
    if (!deviceHandle_) return playVolume_;
    uint32_t volume = 0;
    if (waveOutGetVolume(deviceHandle_, &volume) != MMSYSERR_NOERROR) return 0.0f;
    return static_cast<float>((volume & 0xFFFF) / 65535.0 * 100.0);
}

void FlennStreamPlay::SetPlayVolume(float value) {
    if (std::isnan(value) || value < 0) value = 0;
    if (value > 100) value = 100;
    playVolume_ = value;
    int32_t word = static_cast<int32_t>(std::floor(value / 100.0 * 65535.0));
    std::optional<int32_t> both = WaveFormatMod::MakeDWord(word, word);
    if (deviceHandle_ && both) waveOutSetVolume(deviceHandle_, static_cast<uint32_t>(*both));
}

bool FlennStreamPlay::CanSetPlayVolume() const {
    if (!deviceHandle_) return false;
    WaveOutCaps caps;
    if (waveOutGetHandleCaps(deviceHandle_, &caps) != MMSYSERR_NOERROR) return false;
    return (caps.support & WAVECAPS_VOLUME) != 0;
}

bool FlennStreamPlay::LoadAudioEngine() {
    if (audioEngineLoaded_) return true;
    returnBuffers_ = false;
    StartFlennStream();
    StopFlennStream();
    returnBuffers_ = true;
    audioEngineLoaded_ = true;
    return true;
}

void FlennStreamPlay::UnloadAudioEngine() {
    audioEngineLoaded_ = false;
}

int32_t FlennStreamPlay::SuggestFormat() {
    const uint16_t channels = static_cast<uint16_t>(numberChannels_);
    Acm::WaveFormatEx source = Acm::Pcm16Format(channels, static_cast<uint32_t>(sampleRate_));
    Acm::WaveFormatEx wanted;
    wanted.FormatTag = WAVE_FORMAT_PCM;
    wanted.Channels = channels;
    wanted.SamplesPerSec = static_cast<uint32_t>(sampleRate_);
    wanted.BitsPerSample = 16;
    uint8_t sourceBytes[sizeof(Acm::WaveFormatEx)] = {}, suggested[sizeof(Acm::WaveFormatEx)] = {};
    Acm::StoreWaveFormat(source, sourceBytes);
    Acm::StoreWaveFormat(wanted, suggested);
    uint32_t flags = Acm::ACM_FORMATSUGGESTF_NCHANNELS | Acm::ACM_FORMATSUGGESTF_NSAMPLESPERSEC |
                     Acm::ACM_FORMATSUGGESTF_WBITSPERSAMPLE;
    int32_t result = static_cast<int32_t>(
        Acm::acmFormatSuggest(nullptr, sourceBytes, suggested, sizeof suggested, flags));
    if (result != 0) return result;
    Acm::WaveFormatEx device = Acm::LoadWaveFormat(suggested);
    format_ = WaveFormat{};
    format_.formatTag = device.FormatTag;
    format_.channels = device.Channels;
    format_.samplesPerSec = device.SamplesPerSec;
    format_.avgBytesPerSec = device.AvgBytesPerSec;
    format_.blockAlign = device.BlockAlign;
    format_.bitsPerSample = device.BitsPerSample;
    return 0;
}

int32_t FlennStreamPlay::StartFlennStream() {
    if (status_ == statusRunning) return 0;
    int32_t suggestion = SuggestFormat();
    if (Reported(suggestion, "FlennPlay Format Suggestion")) {
        emit PlayerError(suggestion);
        return suggestion;
    }
    deviceHandle_ = 0;
    levels_.Clear();
    ++generation_;
    deviceBufferBytes_ = Rounded(waveBufferLengthms_ / 1000.0 * format_.avgBytesPerSec * 2);
    status_ = statusInitialising;

    uint32_t deviceId = static_cast<uint32_t>(waveDeviceNumber_ - 1);
    MMRESULT result = waveOutOpen(&deviceHandle_, deviceId, &format_, window_.Handle(),
                                  window_.Handle(), CALLBACK_WINDOW);
    if (Reported(result, "FlennPlay Open")) {
        deviceHandle_ = 0;
        status_ = StatusProblem;
        emit PlayerError(0);
        return -1;
    }
    result = waveOutPause(deviceHandle_);
    if (Reported(result, "FlennPlay Pause")) return DeviceFailed(result);
    SetPlayVolume(playVolume_);

    if (!AllocateBuffers()) return FailAfterOpen(-1);
    for (auto& buffer : buffers_) {
        result = waveOutPrepareHeader(deviceHandle_, &buffer->header);
        if (Reported(
                result,
                ("FlennPlay Prepare - Buffersize:" + std::to_string(deviceBufferBytes_)).c_str()))
            return DeviceFailed(result);
    }
    if (!AllocateSilence()) return FailAfterOpen(-1);
    result = waveOutPrepareHeader(deviceHandle_, &silenceHeader_);
    if (Reported(result,
                 ("FlennPlay Prepare Silent Buffer - Buffersize:" + std::to_string(silence_.size()))
                     .c_str()))
        return DeviceFailed(result);
    MMTime position;
    position.type = TIME_BYTES;
    result = waveOutGetPosition(deviceHandle_, &position);
    if (Reported(result, "FlennPlay Get Position")) return DeviceFailed(result);
    emit BufferAvailable(-1, 0, 0);
    status_ = statusRunning;
    playStatus_ = eStopped;
    emit FlennStreamStarted();
    return 0;
}

// A failure once the device is open closes it again rather than leaving it open.
int32_t FlennStreamPlay::FailAfterOpen(int32_t code) {
    StopFlennStream();
    return code;
}

// The open device refused a call: raised, closed, and the device's code returned.
int32_t FlennStreamPlay::DeviceFailed(MMRESULT code) {
    emit PlayerError(code);
    return FailAfterOpen(code);
}

bool FlennStreamPlay::AllocateBuffers() {
    FreeBuffers();
    try {
        for (int32_t i = 0; i < numberWaveBuffers_; ++i) {
            auto buffer = std::make_unique<Buffer>();
            buffer->memory.assign(static_cast<size_t>(std::max(deviceBufferBytes_, 1)), 0);
            buffer->header.data = buffer->memory.data();
            buffer->header.bufferLength = static_cast<uint32_t>(deviceBufferBytes_);
            buffers_.push_back(std::move(buffer));
        }
    } catch (const std::bad_alloc&) {
        Refuse("Couldn't allocate waveform output buffer");
        return false;
    }
    return true;
}

bool FlennStreamPlay::AllocateSilence() {
    size_t bytes = static_cast<size_t>(std::max(
        Rounded(static_cast<double>(format_.avgBytesPerSec) * flushBufferLengthms_ / 1000.0), 0));
    try {
        silence_.assign(std::max<size_t>(bytes, 1), 0);
    } catch (const std::bad_alloc&) {
        Refuse("Couldn't allocate waveform silence buffer");
        return false;
    }
    silenceHeader_ = WaveHeader{};
    silenceHeader_.data = silence_.data();
    silenceHeader_.bufferLength = static_cast<uint32_t>(bytes);
    silenceHeader_.user = -1;
    return true;
}

void FlennStreamPlay::FreeBuffers() {
    buffers_.clear();
    silence_.clear();
    silenceHeader_ = WaveHeader{};
    silenceHeader_.user = -1;
}

void FlennStreamPlay::ClearPositions() {
    blockBase_ = lastBytePosition_ = millisecondBase_ = lastSamplePosition_ = 0;
}

int32_t FlennStreamPlay::StopFlennStream() {
    if (status_ == statusTerminated) return 0;
    status_ = statusPleaseTerminate;
    ++generation_;
    if (deviceHandle_) {
        MMRESULT result = waveOutReset(deviceHandle_);
        if (Reported(result, "FlennPlay Reset")) emit PlayerError(result);
        ClearPositions();
        for (auto& buffer : buffers_) {
            if (!buffer->header.Has(WHDR_PREPARED)) continue;
            result = waveOutUnprepareHeader(deviceHandle_, &buffer->header);
            if (Reported(result, "FlennPlay UnPrepare")) emit PlayerError(result);
        }
        if (silenceHeader_.Has(WHDR_PREPARED)) {
            result = waveOutUnprepareHeader(deviceHandle_, &silenceHeader_);
            if (Reported(result, "FlennPlay UnPrepare Silent buffer")) emit PlayerError(result);
        }
        FreeBuffers();
        result = waveOutClose(deviceHandle_);
        if (Reported(result, "FlennPlay Close")) emit PlayerError(result);
        deviceHandle_ = 0;
    } else {
        FreeBuffers();
    }
    status_ = statusTerminated;
    playStatus_ = eStopped;
    levels_.Clear();
    emit FlennStreamStopped();
    return 0;
}

int32_t FlennStreamPlay::AddBuffer(intptr_t ptrBuffer, int32_t BufferLength) {
    return AddBufferEx(ptrBuffer, BufferLength, 0);
}

int32_t FlennStreamPlay::AddBufferEx(intptr_t ptrBuffer, int32_t BufferLength, int32_t UserData) {
    // A block longer than a device buffer would overrun it: refused.
    if (BufferLength <= 0 || BufferLength > deviceBufferBytes_ || !deviceHandle_ || !ptrBuffer)
        return -1;
    for (auto& buffer : buffers_) {
        if (buffer->header.Has(WHDR_INQUEUE)) continue;
        std::memcpy(buffer->memory.data(), reinterpret_cast<const char*>(ptrBuffer),
                    static_cast<size_t>(BufferLength));
        buffer->header.user = UserData;
        buffer->header.bufferLength = static_cast<uint32_t>(BufferLength);
        buffer->owed = true;
        buffer->written = ++writeCount_;
        MMRESULT result = waveOutWrite(deviceHandle_, &buffer->header);
        if (result != MMSYSERR_NOERROR) buffer->owed = false;
        return result;
    }
    return -1;
}

int32_t FlennStreamPlay::NumberFreeBuffers() const {
    if (!deviceHandle_) return 0;
    int32_t free = 0;
    for (const auto& buffer : buffers_)
        if (!buffer->header.Has(WHDR_INQUEUE)) ++free;
    return free;
}

// The bytes of one block of WaveBufferLengthms, matching FreeBufferSizems.
int32_t FlennStreamPlay::FreeBufferSize() const {
    double bytesPerSecond = deviceHandle_ ? format_.avgBytesPerSec
                                          : static_cast<double>(sampleRate_) * numberChannels_ * 2;
    return Rounded(waveBufferLengthms_ * bytesPerSecond / 1000.0);
}

void FlennStreamPlay::PausePlayback() {
    if (!deviceHandle_) return;
    MMRESULT result = waveOutPause(deviceHandle_);
    if (Reported(result, "FlennPlay Pause")) emit PlayerError(result);
    playStatus_ = eStopped;
    emit Paused();
}

void FlennStreamPlay::StartPlayback() {
    MMRESULT result = deviceHandle_ ? waveOutRestart(deviceHandle_) : MMSYSERR_INVALHANDLE;
    if (Reported(result, "FlennPlay Start")) emit PlayerError(result);
    playStatus_ = ePlaying;
    emit Playing();
}

void FlennStreamPlay::Clearbuffers() {
    if (!deviceHandle_) return;
    returnBuffers_ = false;
    waveOutPause(deviceHandle_);
    waveOutReset(deviceHandle_);
    MMRESULT result = waveOutPause(deviceHandle_);
    ClearPositions();
    // Notifications of the returned blocks are still queued: none of them is owed any more.
    ++generation_;
    for (auto& buffer : buffers_)
        buffer->owed = false;
    if (Reported(result, "FlennPlay Clear")) emit PlayerError(result);
    returnBuffers_ = true;
}

bool FlennStreamPlay::FlushPlayback() {
    Clearbuffers();
    MMRESULT result =
        deviceHandle_ ? waveOutWrite(deviceHandle_, &silenceHeader_) : MMSYSERR_INVALHANDLE;
    if (Reported(result, "FlennPlay Add Silence Flush Buffer")) {
        emit PlayerError(result);
        return false;
    }
    returnBuffers_ = false;
    waveOutRestart(deviceHandle_);
    // Bounded: a device that never plays the silence out is reset instead.
    uint32_t limit = static_cast<uint32_t>(std::max(flushBufferLengthms_, 0)) + kFlushMarginMs;
    if (!waveOutWaitDone(deviceHandle_, &silenceHeader_, limit)) waveOutReset(deviceHandle_);
    waveOutPause(deviceHandle_);
    returnBuffers_ = true;
    return true;
}

int32_t FlennStreamPlay::GetBufferDetails(int16_t BufferNumber, intptr_t& ptrBuffer,
                                          int32_t& BufferLength, int32_t& BufferFlags,
                                          bool* outOfRange) {
    if (outOfRange) *outOfRange = false;
    if (BufferNumber < 1) {
        ptrBuffer = 0;
        BufferLength = 0;
        return -1;
    }
    if (static_cast<size_t>(BufferNumber) > buffers_.size()) {
        if (outOfRange) *outOfRange = true;
        return -1;
    }
    const WaveHeader& header = buffers_[static_cast<size_t>(BufferNumber) - 1]->header;
    ptrBuffer = reinterpret_cast<intptr_t>(header.data);
    BufferLength = static_cast<int32_t>(header.bufferLength);
    BufferFlags = static_cast<int32_t>(header.flags.load());
    return 0;
}

int32_t FlennStreamPlay::MilliSecondsPlayed() {
    if (!deviceHandle_ || format_.samplesPerSec == 0) return 0;
    MMTime time;
    time.type = TIME_SAMPLES;
    if (waveOutGetPosition(deviceHandle_, &time) != MMSYSERR_NOERROR) return 0;
    int32_t samples = static_cast<int32_t>(time.value);
    double perMs = format_.samplesPerSec / 1000.0;
    if (samples < lastSamplePosition_) AddWrap(millisecondBase_, kWrapSpan / perMs);
    lastSamplePosition_ = samples;
    return Rounded(samples / perMs + millisecondBase_);
}

int32_t FlennStreamPlay::BlocksPlayed() {
    if (!deviceHandle_ || format_.blockAlign == 0) return 0;
    MMTime time;
    time.type = TIME_BYTES;
    if (waveOutGetPosition(deviceHandle_, &time) != MMSYSERR_NOERROR) return 0;
    int32_t bytes = static_cast<int32_t>(time.value);
    if (bytes < lastBytePosition_) AddWrap(blockBase_, kWrapSpan / format_.blockAlign);
    lastBytePosition_ = bytes;
    return Rounded(static_cast<double>(bytes) / format_.blockAlign + blockBase_);
}

intptr_t FlennStreamPlay::fnWindowProc(int32_t hWnd, uint32_t uMsg, intptr_t wParam,
                                       intptr_t lParam) {
    switch (uMsg) {
    case MM_WOM_DONE:
        PostMessage(hWnd, WM_FLENN_PLAYED, wParam, lParam);
        return 0;
    case MM_WIM_DATA:
        PostMessage(hWnd, WM_FLENN_CAPTURED, wParam, lParam);
        return 0;
    case WM_FLENN_PLAYED:
        // Only notifications of the device open now count; the header is ours to read.
        if (deviceHandle_ && wParam == deviceHandle_) ReturnPlayedBuffers();
        return 0;
    case WM_FLENN_LEVELS:
        emit AudioLevelUpdate(WaveFormatMod::HiWord(static_cast<int32_t>(wParam)),
                              WaveFormatMod::LoWord(static_cast<int32_t>(wParam)));
        return 0;
    default:
        return oldWindowProc_ ? oldWindowProc_(hWnd, uMsg, wParam, lParam) : 0;
    }
}

// Hands back, in the order they were written, every owed block that has played.
void FlennStreamPlay::ReturnPlayedBuffers() {
    const uint64_t generation = generation_;
    for (;;) {
        if (generation != generation_) return; // stopped or cleared from a handler
        if (status_ != statusRunning && status_ != statusPleaseTerminate) return;
        Buffer* oldest = nullptr;
        for (auto& buffer : buffers_)
            if (buffer->owed && (!oldest || buffer->written < oldest->written))
                oldest = buffer.get();
        if (!oldest || oldest->header.Has(WHDR_INQUEUE) || !oldest->header.Has(WHDR_DONE)) return;
        oldest->owed = false;
        WaveHeader header = oldest->header;
        HandleLevels(header);
        if (generation != generation_) return;
        if (returnBuffers_)
            emit BufferAvailable(static_cast<int32_t>(header.user),
                                 reinterpret_cast<intptr_t>(header.data),
                                 static_cast<int32_t>(header.bufferLength));
    }
}

void FlennStreamPlay::HandleLevels(const WaveHeader& header) {
    if (!sampleAudioLevel_) {
        levels_.Clear();
        return;
    }
    bool due = levels_.Measure(header.data, static_cast<int32_t>(header.bufferLength),
                               format_.channels, raiseAudioLevelEvents_);
    if (!due) return;
    if (synchronousAudioLevelEvents_)
        emit AudioLevelUpdate(levels_.left, levels_.right);
    else
        PostMessage(window_.Handle(), WM_FLENN_LEVELS,
                    WaveFormatMod::MakeLong(levels_.left, levels_.right), 0);
}
