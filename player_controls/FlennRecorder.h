#pragma once
// FlennRecorder: records the input of a hosted FlennStreamRecord into a RIFF WAVE file with
// "fmt ", "cart" and "data" chunks, converting and compressing on the way.
#include "audio_engine/FlennStreamRecord.h"
#include "platform/Mmio.h"
#include "player_controls/EngineDebugFile.h"
#include "player_controls/FlennCompress.h"

#include <QObject>
#include <QTimer>
#include <string>
#include <vector>

enum eRecStatus : int32_t { ersClosed = 0, ersWaitingLevel = 5, ersPaused = 10, ersRecording = 20 };
enum eRecFlags : int32_t {
    erfDefault = 0,
    erfRecordDirectToDestination = 1,
    erfEnterPauseModeImmediately = 2,
    erfDelayCreateFileUntilResume = 6
};
enum enSampleRate : int32_t {
    esr11025 = 11025,
    esr22050 = 22050,
    esr44100 = 44100,
    esr48000 = 48000
};

class FlennRecorder : public QObject, public Platform::Com::Dispatchable {
    Q_OBJECT
public:
    explicit FlennRecorder(QObject* parent = nullptr);
    ~FlennRecorder() override;

    // Identity and late-bound calls ("Flenney.FlennRecorder").
    static const Platform::Com::ClassInfo& Info();
    const Platform::Com::ClassInfo& Class() const override { return Info(); }
    Platform::Com::HResult Invoke(int32_t dispid, uint8_t kind,
                                  std::vector<Platform::Com::Variant>& args,
                                  Platform::Com::Variant& result,
                                  Platform::Com::ExceptionInfo* exception = nullptr) override;

    void InitProperties();
    void ReadProperties(const Platform::Com::PropertyBag& bag);
    void WriteProperties(Platform::Com::PropertyBag& bag) const;

    int32_t RecordAudio(const std::string& NewAudioFileName, int32_t SampleRate, int16_t Channels,
                        int16_t FormatTag, int16_t TriggerLevel, float RecordLength);
    int32_t RecordAudioEx(const std::string& Filename, int32_t RecSampleRate, int16_t RecChannels,
                          int16_t RecFormatTag, int16_t RecTriggerLevel, float RecordLength,
                          int32_t RecordFlags);
    int32_t CloseRecording(bool& SaveRecording);
    int32_t CloseRecording(bool&& SaveRecording = true) { return CloseRecording(SaveRecording); }
    int32_t PauseRecording();
    int32_t ResumeRecording();
    bool LoadAudioEngine();
    void ClearBuffer();
    void SetDebugFile(const std::string& DebugFileName, int32_t DebugMode);

    // The position timer's work (also run once at each start).
    void tmrPosition_Timer();

    const std::string& AudioFileName() const { return audioFileName_; }
    float TotalSecondsRecorded() const { return totalSecondsRecorded_; }
    float TotalSecondsRemain() const { return totalSecondsRemain_; }
    float TotalPercentageRecorded() const { return totalPercentageRecorded_; }
    eRecStatus Status() const;
    int32_t WaveBufferLengthms() const { return waveBufferLengthms_; }
    void SetWaveBufferLengthms(int32_t value);
    int32_t SampleRate() const { return sampleRate_; }
    void SetSampleRate(int32_t value);
    int32_t NumberChannels() const { return numberChannels_; }
    void SetNumberChannels(int32_t value);
    int16_t NumberCacheSeconds() const { return numberCacheSeconds_; }
    void SetNumberCacheSeconds(int16_t& value);
    float AudioLength() const { return audioLength_; }
    bool RaiseAudioPositionChanged() const { return raiseAudioPositionChanged_; }
    void SetRaiseAudioPositionChanged(bool value);
    bool CanSetRecordVolume() const { return FlennStreamRecord1.CanSetRecordVolume(); }
    float RecordVolume() const { return FlennStreamRecord1.RecordVolume(); }
    void SetRecordVolume(float value) { FlennStreamRecord1.SetRecordVolume(value); }
    int32_t RaiseAudioLevelEvents() const { return raiseAudioLevelEvents_; }
    void SetRaiseAudioLevelEvents(int32_t value);
    int16_t AudioLevel() const { return FlennStreamRecord1.AudioLevel(); }
    int16_t LeftAudioLevel() const { return FlennStreamRecord1.LeftAudioLevel(); }
    int16_t RightAudioLevel() const { return FlennStreamRecord1.RightAudioLevel(); }
    bool ReportErrors() const { return reportErrors_; }
    void SetReportErrors(bool value);
    int32_t NumberWaveRecordBuffers() const { return FlennStreamRecord1.NumberWaveBuffers(); }
    void SetNumberWaveRecordBuffers(int32_t value);
    std::string WaveInDeviceName() const;
    int16_t WaveInDeviceNumber() const;
    void SetWaveInDeviceNumber(int16_t value);
    int16_t TriggerLevel() const { return triggerLevel_; }
    void SetTriggerLevel(int16_t value) { triggerLevel_ = value; }
    bool TriggerLevelActive() const { return waitingForLevel_; }
    const std::string& DebugFile() const { return debug_.FileName(); }
    void SetDebugFile(const std::string& value);
    int32_t DebugMode() const { return debug_.Level(); }
    bool PropertiesChanged() const { return !changedProperties_.empty(); }
    const std::vector<std::string>& ChangedProperties() const { return changedProperties_; }

    FlennStreamRecord FlennStreamRecord1;

signals:
    void RecordingEndReached();
    void Recording();
    void Paused();
    void RecordOpen();
    void Closed();
    void AudioPositionChanged();
    void AudioLevelChanged(int16_t MaxLeftLevel, int16_t MaxRightLevel);
    void BufferRecieved(intptr_t ptrBuffer, int32_t BufferSize);
    void PlayerError(int32_t ErrorCode);

private:
    int32_t InitialiseRecordCompression(int32_t tag, int16_t channels, int32_t rate);
    int32_t SuggestPcm(int16_t channels, int32_t rate, const char* context,
                       std::vector<uint8_t>& out);
    int32_t OpenRecordingFile();
    void TerminateRecordCompression();
    void WriteAudioData(const uint8_t* ptr, int32_t size);
    int32_t ReadFileState(const char* context);
    int32_t ConvertInto(Flenney::ConversionStreamInfo& stream, int32_t& size, bool end);
    void OnBufferReceived(intptr_t ptrBuffer, int32_t BufferSize);
    void OnAudioLevelUpdate(int16_t left, int16_t right);
    void Raise(int32_t code);
    int32_t Failed(const std::string& line, int32_t code);
    bool EngineRunning() const { return FlennStreamRecord1.Status() == statusRunning; }
    void Debug(int32_t level, const std::string& text) const;
    void MarkChanged(const char* name);
    int32_t FileFailure(const std::string& line, const std::string& box);
    int32_t SaveTake();
    bool DeleteOld(const std::string& file, const std::string& line, const std::string& box,
                   int32_t& error);

    EngineDebugFile debug_;
    std::string audioFileName_;
    std::string workingFileName_;
    Platform::Mmio::HMMIO fileHandle_ = nullptr;
    int32_t openCount_ = 0;
    bool createPending_ = false;
    float audioLength_ = 0;
    float recordLength_ = 0;
    int32_t audioBlocks_ = 0;
    Platform::Acm::WaveFormatEx fileFormat_;
    std::vector<uint8_t> filePcmFormat_;
    std::vector<uint8_t> formatBlock_;
    int32_t formatBlockSize_ = 0;
    Platform::Mmio::MMCKINFO dataChunk_;
    Platform::Mmio::MMCKINFO factChunk_; // non-PCM files: the sample length, set at the close
    int64_t samplesWritten_ = 0;         // frames of the file's PCM format handed to the file
    Platform::Mmio::MMCKINFO riffChunk_;
    std::vector<uint8_t> capturePcmFormat_;
    Flenney::ConversionStreamInfo compressionStream_;
    Flenney::ConversionStreamInfo conversionStream_;
    std::vector<uint8_t> work_; // the converted copy of one engine buffer
    // Converts work_'s first `size` bytes from the capture format to the file's; false when a
    // step failed. `end`: the recording ends, every step gives out what it holds.
    bool ConvertForFile(int32_t& size, bool end);
    void WriteFactLength();
    int16_t numberCacheSeconds_ = 4;
    float resumeOffset_ = -1;
    float secondsBeforePause_ = 0;
    float totalPercentageRecorded_ = 0;
    float totalSecondsRecorded_ = 0;
    float totalSecondsRemain_ = 0;
    float lastReportedSeconds_ = -1;
    int32_t sampleRate_ = 44100;
    int16_t numberChannels_ = 2;
    bool raiseAudioPositionChanged_ = true;
    int32_t raiseAudioLevelEvents_ = rleOnChange;
    int16_t triggerLevel_ = 0;
    int32_t waveBufferLengthms_ = 50;
    bool reportErrors_ = true;
    bool engineLoading_ = false;
    bool engineStarted_ = false;
    bool triggerReached_ = false;
    bool waitingForLevel_ = false;
    bool recording_ = false;
    bool writeFailed_ = false; // this recording lost audio to a failed write
    std::vector<std::string> changedProperties_;
    QTimer tmrPosition_;
};
