#pragma once
// FlennPlayer: plays one WAV file of any decodable format through its FlennStreamPlay engine,
// decoded and converted in one working buffer, and reports its markers as events.
#include "audio_engine/FlennStreamPlay.h"
#include "platform/AcmTypes.h"
#include "platform/Mmio.h"
#include "platform/WaveDevices.h"
#include "player_controls/EngineDebugFile.h"
#include "player_controls/FlennCompress.h"

#include <QObject>
#include <QTimer>
#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

enum ePlyStatus : int32_t { epsClosed = 0, epsCued = 5, epsPaused = 10, epsPlaying = 20 };
enum eAudioPart : int32_t {
    eapEMPTY = 0,
    eapPREINTRO = 5,
    eapDURINGINTRO = 10,
    eapMAIN = 15,
    eapEXTRO = 20
};

enum eFadeMode : int32_t { efmNormal = 0, efmSlowStart = 1, efmFastStart = 2 };

// One timed volume change; its layout is copied whole to hosts.
struct VCHEV {
    int16_t Reference = -1; // -1 = free slot
    float StartTime = 0;
    float Duration = 0;
    float StartVolume = 0;
    float EndVolume = 0;
    int16_t NotifiedStart = 0;
    int16_t NotifiedEnd = 0;
    float NotifyVolume = -1;
    int16_t Notified = 0;
    int16_t RemoveWhenComplete = 0;
    int16_t SetVolumePermanently = 0;
};
static_assert(sizeof(VCHEV) == 36);

class FlennPlayer : public QObject, public Platform::Com::Dispatchable {
    Q_OBJECT
public:
    explicit FlennPlayer(QObject* parent = nullptr);
    ~FlennPlayer() override;

    // Identity and late-bound calls ("Flenney.FlennPlayer").
    static const Platform::Com::ClassInfo& Info();
    const Platform::Com::ClassInfo& Class() const override { return Info(); }
    Platform::Com::HResult Invoke(int32_t dispid, uint8_t kind,
                                  std::vector<Platform::Com::Variant>& args,
                                  Platform::Com::Variant& result,
                                  Platform::Com::ExceptionInfo* exception = nullptr) override;

    void InitProperties();
    void ReadProperties(const Platform::Com::PropertyBag& bag);
    void WriteProperties(Platform::Com::PropertyBag& bag) const;

    // Engine format and buffering; a rejected value shows its message and changes nothing.
    int32_t WaveBufferLengthms() const { return FlennStreamPlay1.WaveBufferLengthms(); }
    void SetWaveBufferLengthms(int32_t& BufferLength);
    int32_t NumberWavePlayBuffers() const { return FlennStreamPlay1.NumberWaveBuffers(); }
    void SetNumberWavePlayBuffers(int32_t& numBuffers);
    int32_t SampleRate() const { return sampleRate_; }
    void SetSampleRate(int32_t& NewSampleRate);
    int32_t NumberChannels() const { return numberChannels_; }
    void SetNumberChannels(int32_t& NewNumberChannels);
    int16_t NumberCacheSeconds() const { return numberCacheSeconds_; }
    void SetNumberCacheSeconds(int16_t& NewNumberCacheSeconds);
    int16_t WaveOutDeviceNumber() const {
        return static_cast<int16_t>(FlennStreamPlay1.WaveDeviceNumber());
    }
    void SetWaveOutDeviceNumber(int16_t value);
    std::string WaveOutDeviceName() const;
    const Platform::WaveOutCaps& WaveOutCaps() const { return waveOutCaps_; }
    int32_t RaiseAudioLevelEvents() const { return raiseAudioLevelEvents_; }
    void SetRaiseAudioLevelEvents(int32_t value);
    bool SampleAudioLevel() const { return sampleAudioLevel_; }
    void SetSampleAudioLevel(bool value);
    bool DirectXMode() const { return directXMode_; }
    void SetDirectXMode(bool value);

    int32_t OpenAudio(std::string& fName);
    int32_t CloseAudio();
    bool SeekPercentage(float newPosition, bool TotalFile = false);
    bool SeekTime(float newTime, bool TotalFile = false);
    int32_t PlayAudio();
    int32_t PauseAudio();
    int32_t CueAudio();
    void LoadAudioEngine();

    FlennStreamPlay& Engine() { return FlennStreamPlay1; }
    const EngineDebugFile& DebugWriter() const { return debug_; }
    const std::string& DebugFile() const { return debug_.FileName(); }
    void SetDebugFile(const std::string& name) { debug_.SetFileName(name); }
    void SetDebugFile(const std::string& DebugFileName, int32_t DebugMode);

    ePlyStatus Status() const;
    eAudioPart AudioPart() const;
    const std::string& AudioFileName() const { return audioFileName_; }
    bool ReportErrors() const { return reportErrors_; }
    void SetReportErrors(bool v);
    bool RaiseAudioPositionChanged() const { return raiseAudioPositionChanged_; }
    void SetRaiseAudioPositionChanged(bool v);
    bool FlushBuffers() const { return flushBuffers_; }
    void SetFlushBuffers(bool v);
    int32_t FadeMode() const { return fadeMode_; }
    void SetFadeMode(int32_t mode);
    bool InverseLogFades() const { return fadeMode_ == efmSlowStart; }
    void SetInverseLogFades(bool value);
    bool CanSetPlayVolume() const { return FlennStreamPlay1.CanSetPlayVolume(); }
    int16_t AudioLevel() const { return FlennStreamPlay1.AudioLevel(); }
    int16_t LeftAudioLevel() const { return FlennStreamPlay1.LeftAudioLevel(); }
    int16_t RightAudioLevel() const { return FlennStreamPlay1.RightAudioLevel(); }
    // Names of the properties whose change was notified to the container, first change first.
    const std::vector<std::string>& ChangedProperties() const { return changedProperties_; }
    // The drawing-surface height set at creation.
    float SurfaceHeight() const { return surfaceHeight_; }

    float AudioStart() const { return audioStart_; }
    void SetAudioStart(float v);
    float AudioEnd() const { return audioEnd_; }
    void SetAudioEnd(float v);
    float AudioLength() const { return audioLength_; }
    float TotalAudioLength() const { return totalAudioLength_; }
    float IntroStart() const { return introStart_; }
    void SetIntroStart(float v);
    float IntroEnd() const { return introEnd_; }
    void SetIntroEnd(float v);
    float HookStart() const { return hookStart_; }
    void SetHookStart(float v);
    float HookEnd() const { return hookEnd_; }
    void SetHookEnd(float v);
    float Extro() const { return extro_; }
    void SetExtro(float v);
    float SweeperStart() const { return sweeperStart_; }
    void SetSweeperStart(float v);

    float TotalSecondsPlayed() const { return totalSecondsPlayed_; }
    float SecondsPlayed() const { return secondsPlayed_; }
    float SecondsRemain() const { return secondsRemain_; }
    float PercentagePlayed() const { return percentagePlayed_; }
    float TotalSecondsRemain() const { return totalSecondsRemain_; }
    float TotalPercentagePlayed() const { return totalPercentagePlayed_; }
    int32_t TotalBlocks() const { return totalBlocks_; }
    const Platform::Acm::WaveFormatEx& FileFormat() const { return fileFormat_; }

    // Volume envelopes and the play volume.
    bool AddVolumeChangeEvent(int16_t& ReferenceNumber, float StartTime, float Duration,
                              float StartVolume, float EndVolume, float NotifyVolume,
                              bool RemoveWhenComplete, bool& SetVolumePermanently);
    bool RemoveVolumeChangeEvent(int16_t& ReferenceNumber);
    bool GetVolumeChangeEvent(int16_t& ReferenceNumber, VCHEV& VolChangeEvent) const;
    int16_t NumberVolumeChangeEvents() const;
    float FirstVolumeChangeEventTime() const { return firstVolumeTime_; }
    float LastVolumeChangeEventTime() const { return lastVolumeTime_; }
    float PlayVolume() const;
    void SetPlayVolume(float value);

    // Loop points (refused while no file is open).
    float LoopStart() const;
    void SetLoopStart(float value);
    float LoopEnd() const;
    void SetLoopEnd(float value);
    bool UseLoop() const { return useLoop_; }
    void SetUseLoop(bool value);
    bool InLoop() const;
    void ExitLoop();
    int16_t MaxLoopCount() const { return maxLoopCount_; }
    void SetMaxLoopCount(int16_t value);
    int16_t LoopCount() const { return loopCount_; }

    // Runs the position timer's work once (the timer does this every 50 ms while streaming),
    // then arms the event timer for the next event point.
    void PositionTick();
    // Milliseconds of play, from the device's played frames, until the next event point (intro,
    // hook, extro, sweeper, loop end, end of audio, volume change, or a whole second of the
    // countdown to the extro); -1 while not playing or when none lies ahead.
    int32_t MsToNextEvent();

signals:
    void Playing();
    void Paused();
    void Cued();
    void Opened();
    void Closed();
    void AudioPositionChanged(bool AudioPartChanging);
    void AudioLevelChanged(int16_t MaxLeftLevel, int16_t MaxRightLevel);
    void PlayerError(int32_t ErrorCode);
    void IntroStartReached();
    void IntroEndReached();
    void ExtroReached();
    void AudioEndReached();
    void HookStartReached();
    void HookEndReached();
    void LoopRestart();
    void LoopCompleted();
    void SweeperStartReached();
    void AudioVolumeChanged(int16_t NewLevel);
    void VolumeChangeStartNotify(int16_t ChangeReference);
    void VolumeChangeNotify(int16_t ChangeReference);
    void VolumeChangeEndNotify(int16_t ChangeReference);

private:
    bool IsOpen() const { return hAudioFile_ != nullptr; }
    bool Reopened(int32_t counter) const { return counter != openedFileCounter_; }
    int32_t RaiseError(int32_t code);
    int32_t OpenFailure(int32_t code, const std::string& message, bool close, int icon);
    int32_t CheckHeader(const Platform::Acm::WaveFormatEx& head) const;
    int32_t SuggestPcm(uint16_t channels, uint32_t rate, Platform::Acm::WaveFormatEx& out,
                       const char* context);
    int32_t InitialisePlaybackCompression();
    int32_t TerminatePlaybackCompression();
    void FillPlaybackBuffers();
    // Converts `read` bytes of the file in the conversion buffer for the device; the length
    // to queue. `last`: the data ends with them.
    int32_t ConvertForPlayback(int32_t read, bool last);
    // Shows and raises the error of data that does not decode, once a file.
    void ReportUndecodable(int32_t code);
    // Queues converted audio in pieces of one device buffer while buffers are free; the loop
    // mark goes with its last piece. The bytes queued.
    size_t QueuePieces(const uint8_t* data, size_t size, int32_t mark);
    // Queues what is left of the converted audio not yet queued.
    void QueueConverted();
    bool SeekBlock(int32_t block);
    void ClearBuffer(bool ClearEngine, bool PauseIfPlaying);
    int32_t PausePlaybackStream(bool Reposition);
    void UpdateAudioTimes();
    // Seconds of the stream the device has played, to the frame.
    double PlayedSeconds();
    // The file position now, in seconds, from the device's played frames.
    float PositionNow();
    // The first event point after the position p; -1 when none.
    float NextEventPoint(float p) const;
    void ArmEventTimer();
    // After a change of an event point or the envelope: while playing the event timer is armed
    // again for a point that may now come first; a stopped player's position timer, which
    // stops after its tick, ticks once more, so that the change is seen without play (events,
    // part and position display, the volume where it stands).
    void PointsChanged();
    // Fills the device buffers of a cued player once the caller has set it up.
    void FillWhenCued();
    void TestForFinish();
    void SetFinished();
    void ClearReachedFlags();
    void ResetMarkers();
    void SetAudioVolume(float NewVolume);
    bool StepVolumeEnvelope(); // false when the file was reopened inside an event
    void FinishedVolumeChangeEvent(int16_t& slot);
    void ClearVolumeChangeEvent(int16_t slot);
    void ClearAllVolumeChangeEvents();
    void UpdateVolumeChangeTimes();
    void SortVolumeChangeEvents();
    void OnBufferAvailable(int32_t BufferNumber, intptr_t ptrBuffer, int32_t BufferLength);
    void OnStreamStopped();
    void Refuse(const std::string& message) const;
    void Notify(const char* name);
    float WithinWindow(float v) const { return std::min(std::max(v, audioStart_), audioEnd_); }
    // Writes a debug line; `text` is a string or a function making it, called only when the
    // line is written, so that a player without a debug file builds no text.
    template <class Text> void Debug(const Text& text, int32_t level = dmBasic) const {
        if (!debug_.Enabled(level)) return;
        if constexpr (std::is_invocable_v<Text>)
            debug_.Write(text(), level);
        else
            debug_.Write(text, level);
    }

    FlennStreamPlay FlennStreamPlay1;
    QTimer tmrPosition;
    QTimer tmrEvent;       // single shot, at the next event point
    int64_t eventDue_ = 0; // when tmrEvent fires, steady clock milliseconds
    EngineDebugFile debug_;

    Platform::Mmio::HMMIO hAudioFile_ = nullptr;
    int32_t openedFileCounter_ = 0;
    std::string audioFileName_;
    Platform::Acm::WaveFormatEx fileFormat_, uncompressedFileFormat_, playbackFormat_;
    std::vector<uint8_t> formatChunk_, uncompressedBytes_, playbackBytes_;
    Platform::Mmio::MMCKINFO ckRIFF_, ckData_;
    float totalAudioLength_ = 0;
    int32_t totalBlocks_ = 0;
    Flenney::ConversionStreamInfo DeCompress, ConvertFilePCM;
    std::vector<uint8_t> conversionBuffer_;
    std::vector<uint8_t> unqueued_; // converted audio waiting for a free device buffer
    int32_t unqueuedMark_ = -1;
    float baseTime_ = 0;
    int32_t loopStartBlock_ = 0, loopEndBlock_ = 0;
    bool useLoop_ = false;
    int16_t loopCount_ = 0, maxLoopCount_ = 1000;
    int32_t loopMark_ = -1;
    bool fileFinished_ = false, audioFinished_ = false, inSeek_ = false, engineLoading_ = false;
    float storedPlayVolume_ = 0;
    bool reportErrors_ = true;
    bool decodeErrorRaised_ = false; // the error event of data that does not decode, once a file
    bool dataGaveAudio_ = false;     // the data read since the open has given audio
    bool playingFlag_ = false;
    bool raiseAudioPositionChanged_ = true;
    bool flushBuffers_ = true;
    int32_t fadeMode_ = 2;

    int32_t sampleRate_ = 44100, numberChannels_ = 2;
    int16_t numberCacheSeconds_ = 4;
    int32_t raiseAudioLevelEvents_ = 1;
    bool sampleAudioLevel_ = true, directXMode_ = false;
    VCHEV volumeEvents_[10];
    float firstVolumeTime_ = -1, lastVolumeTime_ = -1;
    bool loopSetGuard_ = false;
    Platform::WaveOutCaps waveOutCaps_;
    std::vector<std::string> changedProperties_;
    float surfaceHeight_ = 0;

    float audioStart_ = 0, audioEnd_ = 0, audioLength_ = 0;
    float introStart_ = 0, introEnd_ = 0, hookStart_ = 0, hookEnd_ = 0, extro_ = 0;
    float sweeperStart_ = -1;
    float totalSecondsPlayed_ = 0, totalSecondsRemain_ = 0, totalPercentagePlayed_ = 0;
    float secondsPlayed_ = 0, secondsRemain_ = 0, percentagePlayed_ = 0;
    float previousSecondsPlayed_ = -1;
    bool introStartFlag_ = false, introEndFlag_ = false, hookStartFlag_ = false,
         hookEndFlag_ = false, extroFlag_ = false, sweeperFlag_ = false;
};
