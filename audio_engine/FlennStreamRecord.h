#pragma once
// FlennStreamRecord: captures 16-bit PCM from a wave-in device into one record buffer that
// is handed to the host with BufferReceived, when asked or when the next block would not fit.
#include "audio_engine/FlennStreamTypes.h"
#include "audio_engine/WaveFormatMod.h"
#include "platform/Com.h"
#include "platform/WaveDevices.h"
#include "platform/WindowMessages.h"

#include <QObject>
#include <memory>
#include <vector>

class FlennStreamRecord : public QObject, public Platform::Com::Dispatchable {
    Q_OBJECT
public:
    static const Platform::Com::ClassInfo& Info();
    // The error a lost block raises.
    static constexpr int32_t kLostBlock = -69;

    explicit FlennStreamRecord(QObject* parent = nullptr);
    ~FlennStreamRecord() override;

    void InitProperties(bool userMode = true);
    void ReadProperties(const Platform::Com::PropertyBag& bag, bool userMode = true);
    void WriteProperties(Platform::Com::PropertyBag& bag) const;
    bool PropertiesChanged() const { return propertiesChanged_; }

    bool LoadAudioEngine();
    void UnloadAudioEngine() {}
    int32_t StartFlennStream();
    int32_t StopFlennStream();
    void ClearSampleBuffer() { fillPosition_ = 0; }
    void ReturnAudio();
    intptr_t fnWindowProc(int32_t hWnd, uint32_t uMsg, intptr_t wParam, intptr_t lParam);

    int32_t WaveDeviceNumber() const { return waveDeviceNumber_; }
    void SetWaveDeviceNumber(int32_t value);
    int32_t SampleRate() const { return sampleRate_; }
    void SetSampleRate(int32_t value);
    int32_t NumberChannels() const { return numberChannels_; }
    void SetNumberChannels(int32_t value);
    int32_t WaveBufferLength() const { return waveBufferLength_; }
    void SetWaveBufferLength(int32_t value);
    int32_t NumberWaveBuffers() const { return numberWaveBuffers_; }
    void SetNumberWaveBuffers(int32_t value);
    bool DontSampleLevel() const { return dontSampleLevel_; }
    void SetDontSampleLevel(bool value) { dontSampleLevel_ = value; }
    int32_t RaiseAudioLevelEvents() const { return raiseAudioLevelEvents_; }
    void SetRaiseAudioLevelEvents(int32_t value);
    bool ReportErrors() const { return reportErrors_; }
    void SetReportErrors(bool value);
    bool ReturnBuffers() const { return returnBuffers_; }
    void SetReturnBuffers(bool value);
    bool SynchronousAudioLevelEvents() const { return synchronousAudioLevelEvents_; }
    void SetSynchronousAudioLevelEvents(bool value);
    bool CanSetRecordVolume() const { return false; }
    float RecordVolume() const { return 0.0f; }
    void SetRecordVolume(float) {}

    int32_t MilliSecondsRecorded() const { return milliSecondsRecorded_; }
    int32_t hWnd() const { return window_.Handle(); }
    int16_t AudioLevel() const { return levels_.Larger(); }
    int16_t LeftAudioLevel() const { return levels_.left; }
    int16_t RightAudioLevel() const { return levels_.right; }
    eSStatus Status() const { return status_; }
    int32_t RecordBufferBytes() const { return recordBufferBytes_; }

    const Platform::Com::ClassInfo& Class() const override { return Info(); }
    Platform::Com::HResult Invoke(int32_t dispid, uint8_t kind,
                                  std::vector<Platform::Com::Variant>& args,
                                  Platform::Com::Variant& result,
                                  Platform::Com::ExceptionInfo* exception = nullptr) override;

signals:
    void BufferReceived(intptr_t ptrBuffer, int32_t BufferSize);
    void FlennStreamStopped();
    void FlennStreamStarted();
    void AudioLevelUpdate(int16_t MaxLeftLevel, int16_t MaxAudioLevel);
    void PlayerError(int32_t ErrorCode);

private:
    struct Buffer {
        std::vector<char> memory;
        Platform::WaveHeader header;
    };

    void HookWindow();
    void HandleCaptured(intptr_t wParam, intptr_t lParam);
    Buffer* BufferOf(intptr_t lParam);
    void HandleLevels(const Platform::WaveHeader& header);
    bool Reported(int32_t code, const char* context);
    void Refuse(const std::string& message);
    void FreeBuffers();

    Platform::MessageWindow window_;
    Platform::WindowProc oldWindowProc_;
    bool hooked_ = false;

    int32_t deviceCount_ = 0;
    int32_t waveDeviceNumber_ = 0;
    int32_t waveBufferLength_ = 0;
    int32_t milliSecondsRecorded_ = 0;
    bool synchronousAudioLevelEvents_ = false;
    int32_t numberChannels_ = 0;
    int32_t sampleRate_ = 0;
    int32_t raiseAudioLevelEvents_ = rleNoEvents;
    bool dontSampleLevel_ = false;
    WaveFormatMod::LevelMeter levels_;
    bool returnBuffers_ = true;
    eSStatus status_ = statusTerminated;
    bool reportErrors_ = false;
    bool propertiesChanged_ = false;

    Platform::HWaveIn deviceHandle_ = 0;
    Platform::WaveFormat format_;
    int32_t numberWaveBuffers_ = 0;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    int32_t recordBufferBytes_ = 0;
    std::vector<char> recordBuffer_;
    int32_t fillPosition_ = 0;
    int32_t lastBufferNumber_ = 0;
};
