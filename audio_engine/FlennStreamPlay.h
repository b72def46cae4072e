#pragma once
// FlennStreamPlay: a push-model PCM output stream. The host copies 16-bit PCM blocks in
// with AddBufferEx and is told by BufferAvailable when each has been played.
#include "audio_engine/FlennStreamTypes.h"
#include "audio_engine/WaveFormatMod.h"
#include "platform/Com.h"
#include "platform/WaveDevices.h"
#include "platform/WindowMessages.h"

#include <QObject>
#include <memory>
#include <vector>

class FlennStreamPlay : public QObject, public Platform::Com::Dispatchable {
    Q_OBJECT
public:
    static const Platform::Com::ClassInfo& Info();

    explicit FlennStreamPlay(QObject* parent = nullptr);
    ~FlennStreamPlay() override;

    // Persistence. userMode is the container's ambient UserMode: the window is hooked then.
    void InitProperties(bool userMode = true);
    void ReadProperties(const Platform::Com::PropertyBag& bag, bool userMode = true);
    void WriteProperties(Platform::Com::PropertyBag& bag) const;
    bool PropertiesChanged() const { return propertiesChanged_; }

    bool LoadAudioEngine();
    void UnloadAudioEngine();
    int32_t StartFlennStream();
    int32_t StopFlennStream();
    void PausePlayback();
    void StartPlayback();
    void Clearbuffers();
    int32_t AddBuffer(intptr_t ptrBuffer, int32_t BufferLength);
    int32_t AddBufferEx(intptr_t ptrBuffer, int32_t BufferLength, int32_t UserData);
    bool FlushPlayback();
    // outOfRange is set for a buffer number beyond the buffer table.
    int32_t GetBufferDetails(int16_t BufferNumber, intptr_t& ptrBuffer, int32_t& BufferLength,
                             int32_t& BufferFlags, bool* outOfRange = nullptr);
    intptr_t fnWindowProc(int32_t hWnd, uint32_t uMsg, intptr_t wParam, intptr_t lParam);

    int32_t WaveDeviceNumber() const { return waveDeviceNumber_; }
    void SetWaveDeviceNumber(int32_t value);
    int32_t SampleRate() const { return sampleRate_; }
    void SetSampleRate(int32_t value);
    int32_t NumberChannels() const { return numberChannels_; }
    void SetNumberChannels(int32_t value);
    int32_t WaveBufferLengthms() const { return waveBufferLengthms_; }
    void SetWaveBufferLengthms(int32_t value);
    int32_t NumberWaveBuffers() const { return numberWaveBuffers_; }
    void SetNumberWaveBuffers(int32_t value);
    int32_t FlushBufferLengthms() const { return flushBufferLengthms_; }
    void SetFlushBufferLengthms(int32_t value);
    bool ReturnBuffers() const { return returnBuffers_; }
    void SetReturnBuffers(bool value);
    bool SampleAudioLevel() const { return sampleAudioLevel_; }
    void SetSampleAudioLevel(bool value) { sampleAudioLevel_ = value; }
    int32_t RaiseAudioLevelEvents() const { return raiseAudioLevelEvents_; }
    void SetRaiseAudioLevelEvents(int32_t value);
    bool ReportErrors() const { return reportErrors_; }
    void SetReportErrors(bool value);
    bool SynchronousAudioLevelEvents() const { return synchronousAudioLevelEvents_; }
    void SetSynchronousAudioLevelEvents(bool value);
    bool DirectXMode() const { return directXMode_; }
    void SetDirectXMode(bool value);
    float PlayVolume() const;
    void SetPlayVolume(float value);
    bool CanSetPlayVolume() const;

    int32_t MaxWaveBufferSize() const { return deviceBufferBytes_; }
    int32_t BlocksPlayed();
    int32_t MilliSecondsPlayed();
    int32_t hWnd() const { return window_.Handle(); }
    int16_t AudioLevel() const { return levels_.Larger(); }
    int16_t LeftAudioLevel() const { return levels_.left; }
    int16_t RightAudioLevel() const { return levels_.right; }
    eSStatus Status() const { return status_; }
    ePlayStatus PlayStatus() const { return playStatus_; }
    int32_t NumberFreeBuffers() const;
    int32_t FreeBufferSize() const;
    int32_t FreeBufferSizems() const { return waveBufferLengthms_; }
    bool AudioEngineLoaded() const { return audioEngineLoaded_; }

    const Platform::Com::ClassInfo& Class() const override { return Info(); }
    Platform::Com::HResult Invoke(int32_t dispid, uint8_t kind,
                                  std::vector<Platform::Com::Variant>& args,
                                  Platform::Com::Variant& result,
                                  Platform::Com::ExceptionInfo* exception = nullptr) override;

signals:
    void BufferAvailable(int32_t BufferNumber, intptr_t ptrBuffer, int32_t BufferLength);
    void FlennStreamStopped();
    void FlennStreamStarted();
    void Playing();
    void Paused();
    void AudioLevelUpdate(int16_t MaxLeftLevel, int16_t MaxAudioLevel);
    void PlayerError(int32_t ErrorCode);

private:
    struct Buffer {
        std::vector<char> memory;
        Platform::WaveHeader header;
        bool owed = false;    // a BufferAvailable is due once the block has played
        uint64_t written = 0; // order of writing, to return blocks in play order
    };

    void HookWindow();
    int32_t SuggestFormat();
    int32_t FailAfterOpen(int32_t code);
    int32_t DeviceFailed(Platform::MMRESULT code);
    bool AllocateBuffers();
    bool AllocateSilence();
    void FreeBuffers();
    void ClearPositions();
    void ReturnPlayedBuffers();
    void HandleLevels(const Platform::WaveHeader& header);
    bool Reported(int32_t code, const char* context);
    void Refuse(const std::string& message, int buttons = 0);

    Platform::MessageWindow window_;
    Platform::WindowProc oldWindowProc_;
    bool hooked_ = false;

    int32_t waveDeviceNumber_ = 0;
    int32_t waveBufferLengthms_ = 0;
    bool returnBuffers_ = true;
    bool audioEngineLoaded_ = false;
    int32_t numberChannels_ = 0;
    int32_t sampleRate_ = 0;
    int32_t raiseAudioLevelEvents_ = rleNoEvents;
    bool sampleAudioLevel_ = false;
    WaveFormatMod::LevelMeter levels_;
    float playVolume_ = 100.0f;
    eSStatus status_ = statusTerminated;
    ePlayStatus playStatus_ = eStopped;
    bool reportErrors_ = false;
    bool synchronousAudioLevelEvents_ = false;
    bool directXMode_ = false;
    bool propertiesChanged_ = false;

    Platform::HWaveOut deviceHandle_ = 0;
    Platform::WaveFormat format_;
    int32_t numberWaveBuffers_ = 0;
    int32_t deviceBufferBytes_ = 0;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    uint64_t writeCount_ = 0;
    uint64_t generation_ = 0; // moves on at every start, stop and clear

    int32_t flushBufferLengthms_ = 100;
    std::vector<char> silence_;
    Platform::WaveHeader silenceHeader_;

    int32_t blockBase_ = 0;
    int32_t lastBytePosition_ = 0;
    int32_t millisecondBase_ = 0;
    int32_t lastSamplePosition_ = 0;
};
