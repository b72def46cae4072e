#include "audio_engine/FlennStreamRecord.h"

#include "platform/MessageBox.h"
#include "platform/VB.h"

#include <cmath>
#include <cstring>
#include <new>

using namespace Platform;

namespace {

bool ValidRate(int32_t rate) {
    for (int32_t accepted : {8000, 11025, 16000, 22050, 32000, 44100, 48000})
        if (rate == accepted) return true;
    return false;
}

} // namespace

FlennStreamRecord::FlennStreamRecord(QObject* parent) : QObject(parent) {
    deviceCount_ = static_cast<int32_t>(waveInGetNumDevs());
    returnBuffers_ = true;
}

FlennStreamRecord::~FlennStreamRecord() {
    StopFlennStream();
    if (hooked_) window_.SetWindowProc(oldWindowProc_);
}

void FlennStreamRecord::HookWindow() {
    if (hooked_) return;
    hooked_ = true;
    oldWindowProc_ = window_.SetWindowProc(
        [this](HWnd hWnd, uint32_t message, intptr_t wParam, intptr_t lParam) {
            return fnWindowProc(hWnd, message, wParam, lParam);
        });
}

void FlennStreamRecord::InitProperties(bool userMode) {
    waveBufferLength_ = 16384;
    numberWaveBuffers_ = 10;
    numberChannels_ = 2;
    sampleRate_ = 44100;
    synchronousAudioLevelEvents_ = false;
    dontSampleLevel_ = false;
    raiseAudioLevelEvents_ = rleNoEvents;
    reportErrors_ = true;
    if (userMode) HookWindow();
}

void FlennStreamRecord::ReadProperties(const Com::PropertyBag& bag, bool userMode) {
    using namespace Com;
    if (auto v = ToLong(bag.ReadProperty("WaveBufferLength", 16384))) waveBufferLength_ = *v;
    if (auto v = ToLong(bag.ReadProperty("NumberWaveInBuffers", 10))) numberWaveBuffers_ = *v;
    if (auto v = ToLong(bag.ReadProperty("NumberChannels", 2))) numberChannels_ = *v;
    if (auto v = ToLong(bag.ReadProperty("SampleRate", 44100))) sampleRate_ = *v;
    if (auto v = ToLong(bag.ReadProperty("WaveDeviceNumber", 0))) waveDeviceNumber_ = *v;
    if (auto v = ToBoolean(bag.ReadProperty("SynchronousAudioLevelEvents", false)))
        synchronousAudioLevelEvents_ = *v;
    if (auto v = ToBoolean(bag.ReadProperty("DontSampleLevel", false))) dontSampleLevel_ = *v;
    if (auto v = ToLong(bag.ReadProperty("RaiseLevelChangeEvents", 0))) raiseAudioLevelEvents_ = *v;
    if (auto v = ToBoolean(bag.ReadProperty("ReportErrors", true))) reportErrors_ = *v;
    if (userMode) HookWindow();
}

void FlennStreamRecord::WriteProperties(Com::PropertyBag& bag) const {
    bag.WriteProperty("WaveBufferLength", waveBufferLength_, 16384);
    bag.WriteProperty("NumberWaveInBuffers", numberWaveBuffers_, 10);
    bag.WriteProperty("NumberChannels", numberChannels_, 2);
    bag.WriteProperty("SampleRate", sampleRate_, 44100);
    bag.WriteProperty("WaveDeviceNumber", waveDeviceNumber_, 0);
    bag.WriteProperty("SynchronousAudioLevelEvents", synchronousAudioLevelEvents_, false);
    bag.WriteProperty("DontSampleLevel", dontSampleLevel_, false);
    bag.WriteProperty("RaiseLevelChangeEvents", raiseAudioLevelEvents_, 0);
    bag.WriteProperty("ReportErrors", reportErrors_, true);
}

void FlennStreamRecord::Refuse(const std::string& message) {
    if (reportErrors_) MsgBox(message, vbOKOnly, WaveFormatMod::kTitle);
}

bool FlennStreamRecord::Reported(int32_t code, const char* context) {
    return WaveFormatMod::ReportMMError(code, reportErrors_, context) != 0;
}

void FlennStreamRecord::SetWaveDeviceNumber(int32_t value) {
    if (value < 0 || value > deviceCount_) {
        Refuse("Invalid WaveDeviceNumber Specified : " + std::to_string(value) +
               "\nMax = " + std::to_string(deviceCount_));
        return;
    }
    waveDeviceNumber_ = value;
    propertiesChanged_ = true;
}

void FlennStreamRecord::SetSampleRate(int32_t value) {
    if (!ValidRate(value)) {
        Refuse("Invalid SampleRate Specified, must be 8000, 11025, 16000, 22050, 32000, 44100, "
               "48000");
        return;
    }
    sampleRate_ = value;
    propertiesChanged_ = true;
}

void FlennStreamRecord::SetNumberChannels(int32_t value) {
    if (value != 1 && value != 2) {
        Refuse("Invalid NumberChannels Specified : \nMax = 2");
        return;
    }
    numberChannels_ = value;
    propertiesChanged_ = true;
}

void FlennStreamRecord::SetWaveBufferLength(int32_t value) {
    if (value <= 0) {
        Refuse("Invalid WaveBufferLength Specified");
        return;
    }
    waveBufferLength_ = value;
    propertiesChanged_ = true;
}

void FlennStreamRecord::SetNumberWaveBuffers(int32_t value) {
    if (value <= 0) {
        Refuse("Invalid Number of Wave Buffers Specified ");
        return;
    }
    numberWaveBuffers_ = value;
    propertiesChanged_ = true;
}

void FlennStreamRecord::SetRaiseAudioLevelEvents(int32_t value) {
    raiseAudioLevelEvents_ = value;
    propertiesChanged_ = true;
}

void FlennStreamRecord::SetReportErrors(bool value) {
    reportErrors_ = value;
    propertiesChanged_ = true;
}

void FlennStreamRecord::SetReturnBuffers(bool value) {
    returnBuffers_ = value;
    propertiesChanged_ = true;
}

void FlennStreamRecord::SetSynchronousAudioLevelEvents(bool value) {
    synchronousAudioLevelEvents_ = value;
    propertiesChanged_ = true;
}

bool FlennStreamRecord::LoadAudioEngine() {
    returnBuffers_ = false;
    StartFlennStream();
    StopFlennStream();
    returnBuffers_ = true;
    return true;
}

void FlennStreamRecord::FreeBuffers() {
    buffers_.clear();
    recordBuffer_.clear();
    recordBuffer_.shrink_to_fit();
}

int32_t FlennStreamRecord::StartFlennStream() {
    if (status_ == statusRunning) return 0;
    format_ = WaveFormat{};
    format_.formatTag = WAVE_FORMAT_PCM;
    format_.channels = static_cast<uint16_t>(numberChannels_);
    format_.samplesPerSec = static_cast<uint32_t>(sampleRate_);
    format_.bitsPerSample = 16;
    format_.blockAlign = static_cast<uint16_t>(16 / 8 * numberChannels_);
    format_.avgBytesPerSec = format_.blockAlign * format_.samplesPerSec;

    int64_t recordBytes = static_cast<int64_t>(waveBufferLength_) * numberWaveBuffers_;
    recordBufferBytes_ = recordBytes > INT32_MAX ? 0 : static_cast<int32_t>(recordBytes);
    milliSecondsRecorded_ = 0;
    FreeBuffers();
    try {
        for (int32_t i = 1; i <= numberWaveBuffers_; ++i) {
            auto buffer = std::make_unique<Buffer>();
            buffer->memory.assign(static_cast<size_t>(std::max(waveBufferLength_, 1)), 0);
            buffer->header.user = i;
            buffer->header.data = buffer->memory.data();
            buffer->header.bufferLength = static_cast<uint32_t>(waveBufferLength_);
            buffers_.push_back(std::move(buffer));
        }
    } catch (const std::bad_alloc&) {
        FreeBuffers();
        Refuse("Couldn't allocate waveform input buffer");
        return -1;
    }
    levels_.Clear();
    try {
        if (recordBufferBytes_ <= 0) throw std::bad_alloc();
        recordBuffer_.assign(static_cast<size_t>(recordBufferBytes_), 0);
    } catch (const std::bad_alloc&) {
        FreeBuffers();
        Refuse("Couldn't allocate record buffer");
        return -1;
    }
    ClearSampleBuffer();

    uint32_t deviceId = static_cast<uint32_t>(waveDeviceNumber_ - 1);
    MMRESULT result = waveInOpen(&deviceHandle_, deviceId, &format_, window_.Handle(),
                                 window_.Handle(), CALLBACK_WINDOW);
    if (Reported(result, "FlennRecord Open")) {
        deviceHandle_ = 0;
        emit PlayerError(0);
        status_ = StatusProblem;
        return -1;
    }
    for (auto& buffer : buffers_) {
        result = waveInPrepareHeader(deviceHandle_, &buffer->header);
        if (!Reported(result, "FlennRecord Prepare"))
            result = waveInAddBuffer(deviceHandle_, &buffer->header);
        if (result != MMSYSERR_NOERROR) {
            Reported(result, "FlennRecord Add Buffer");
            emit PlayerError(result);
            StopFlennStream();
            return result;
        }
    }
    result = waveInStart(deviceHandle_);
    if (!Reported(result, "FlennRecord Start")) {
        MMTime position;
        position.type = TIME_BYTES;
        result = waveInGetPosition(deviceHandle_, &position);
        Reported(result, "FlennRecord Get Position");
    }
    if (result != MMSYSERR_NOERROR) {
        emit PlayerError(result);
        StopFlennStream(); // the device is closed again rather than left open
        return result;
    }
    status_ = statusRunning;
    emit FlennStreamStarted();
    return 0;
}

int32_t FlennStreamRecord::StopFlennStream() {
    if (status_ == statusTerminated) return 0;
    status_ = statusPleaseTerminate;
    if (deviceHandle_) {
        MMRESULT result = waveInStop(deviceHandle_);
        if (Reported(result, "FlennRecord Stop")) emit PlayerError(result);
        result = waveInReset(deviceHandle_);
        if (Reported(result, "FlennRecord Reset")) emit PlayerError(result);
        for (auto& buffer : buffers_) {
            if (!buffer->header.Has(WHDR_PREPARED)) continue;
            result = waveInUnprepareHeader(deviceHandle_, &buffer->header);
            if (Reported(result, "FlennRecord UnPrepare")) emit PlayerError(result);
        }
        result = waveInClose(deviceHandle_);
        if (Reported(result, "FlennRecord Close")) emit PlayerError(result);
        deviceHandle_ = 0;
    }
    FreeBuffers();
    levels_.Clear();
    milliSecondsRecorded_ = 0;
    ClearSampleBuffer();
    status_ = statusTerminated;
    emit FlennStreamStopped();
    return 0;
}

void FlennStreamRecord::ReturnAudio() {
    emit BufferReceived(reinterpret_cast<intptr_t>(recordBuffer_.data()), fillPosition_);
    ClearSampleBuffer();
}

intptr_t FlennStreamRecord::fnWindowProc(int32_t hWnd, uint32_t uMsg, intptr_t wParam,
                                         intptr_t lParam) {
    switch (uMsg) {
    case MM_WIM_DATA:
        PostMessage(hWnd, WM_FLENN_CAPTURED, wParam, lParam);
        return 0;
    case WM_FLENN_CAPTURED:
        HandleCaptured(wParam, lParam);
        return 0;
    case WM_FLENN_LEVELS:
        emit AudioLevelUpdate(WaveFormatMod::HiWord(static_cast<int32_t>(wParam)),
                              WaveFormatMod::LoWord(static_cast<int32_t>(wParam)));
        return 0;
    default:
        return oldWindowProc_ ? oldWindowProc_(hWnd, uMsg, wParam, lParam) : 0;
    }
}

FlennStreamRecord::Buffer* FlennStreamRecord::BufferOf(intptr_t lParam) {
    for (auto& buffer : buffers_)
        if (reinterpret_cast<intptr_t>(&buffer->header) == lParam) return buffer.get();
    return nullptr;
}

void FlennStreamRecord::HandleCaptured(intptr_t wParam, intptr_t lParam) {
    // Blocks returned by a stop or reset arrive after their memory has gone: ignored.
    Buffer* buffer = deviceHandle_ && wParam == deviceHandle_ ? BufferOf(lParam) : nullptr;
    if (!buffer) return;
    WaveHeader header = buffer->header;
    int32_t number = static_cast<int32_t>(header.user);
    if (lastBufferNumber_ + 1 < number) emit PlayerError(kLostBlock);
    lastBufferNumber_ = number;
    if (status_ != statusRunning && status_ != statusPleaseTerminate) return;
    HandleLevels(header);
    const int32_t recorded = static_cast<int32_t>(header.bytesRecorded.load());
    if (static_cast<int64_t>(fillPosition_) + recorded > recordBufferBytes_ ||
        status_ == statusPleaseTerminate) {
        if (returnBuffers_)
            ReturnAudio();
        else
            ClearSampleBuffer();
    }
    // A handler may have stopped the stream.
    if (status_ != statusRunning || BufferOf(lParam) != buffer) return;
    int32_t room = recordBufferBytes_ - fillPosition_;
    int32_t count = std::min(recorded, room);
    std::memcpy(recordBuffer_.data() + fillPosition_, header.data, static_cast<size_t>(count));
    fillPosition_ += count;
    MMRESULT result = waveInPrepareHeader(deviceHandle_, &buffer->header);
    if (Reported(result, "FlennRecord Re-Prepare")) {
        status_ = StatusProblem;
    } else {
        result = waveInAddBuffer(deviceHandle_, &buffer->header);
        if (Reported(result, "FlennRecord Re-Add Buffer")) status_ = StatusProblem;
    }
    if (milliSecondsRecorded_ > (1 << 30)) milliSecondsRecorded_ = 0;
    milliSecondsRecorded_ += static_cast<int32_t>(
        VB::RoundHalfEven(static_cast<double>(recorded) / format_.avgBytesPerSec * 1000.0));
}

void FlennStreamRecord::HandleLevels(const WaveHeader& header) {
    if (dontSampleLevel_) {
        levels_.Clear();
        return;
    }
    bool due = levels_.Measure(header.data, static_cast<int32_t>(header.bytesRecorded.load()),
                               format_.channels, raiseAudioLevelEvents_);
    if (!due) return;
    if (synchronousAudioLevelEvents_)
        emit AudioLevelUpdate(levels_.left, levels_.right);
    else
        PostMessage(window_.Handle(), WM_FLENN_LEVELS,
                    WaveFormatMod::MakeLong(levels_.left, levels_.right), 0);
}
