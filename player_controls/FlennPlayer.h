#pragma once
// FlennPlayer: plays one WAV file of any decodable format through its FlennStreamPlay engine,
// decoded and converted in one working buffer, and reports its markers as events.
#include "audio_engine/FlennStreamPlay.h"
#include "platform/AcmTypes.h"
#include "platform/Mmio.h"
#include "player_controls/EngineDebugFile.h"
#include "player_controls/FlennCompress.h"

#include <QObject>
#include <QTimer>
#include <string>
#include <vector>

enum ePlyStatus : int32_t { epsClosed = 0, epsCued = 5, epsPaused = 10, epsPlaying = 20 };
enum eAudioPart : int32_t {
    eapEMPTY = 0,
    eapPREINTRO = 5,
    eapDURINGINTRO = 10,
    eapMAIN = 15,
    eapEXTRO = 20
};

class FlennPlayer : public QObject {
    Q_OBJECT
public:
    explicit FlennPlayer(QObject* parent = nullptr);
    ~FlennPlayer() override;

    void InitProperties();

    int32_t OpenAudio(std::string& fName);
    int32_t CloseAudio();
    bool SeekPercentage(float newPosition, bool TotalFile = false);
    bool SeekTime(float newTime, bool TotalFile = false);
    int32_t PlayAudio();
    int32_t PauseAudio();
    int32_t CueAudio();
    void LoadAudioEngine();

    FlennStreamPlay& Engine() { return FlennStreamPlay1; }
    EngineDebugFile& DebugFile() { return debug_; }
    void SetDebugFile(const std::string& name, int32_t mode) { debug_.SetDebugFile(name, mode); }

    ePlyStatus Status() const;
    eAudioPart AudioPart() const;
    const std::string& AudioFileName() const { return audioFileName_; }
    bool ReportErrors() const { return reportErrors_; }
    void SetReportErrors(bool v) { reportErrors_ = v; }
    bool RaiseAudioPositionChanged() const { return raiseAudioPositionChanged_; }
    void SetRaiseAudioPositionChanged(bool v) { raiseAudioPositionChanged_ = v; }
    bool FlushBuffers() const { return flushBuffers_; }
    int32_t FadeMode() const { return fadeMode_; }

    float AudioStart() const { return audioStart_; }
    void SetAudioStart(float v);
    float AudioEnd() const { return audioEnd_; }
    void SetAudioEnd(float v);
    float AudioLength() const { return audioLength_; }
    float TotalAudioLength() const { return totalAudioLength_; }
    float IntroStart() const { return introStart_; }
    void SetIntroStart(float v) { introStart_ = v, introStartFlag_ = false; }
    float IntroEnd() const { return introEnd_; }
    void SetIntroEnd(float v) { introEnd_ = v, introEndFlag_ = false; }
    float HookStart() const { return hookStart_; }
    void SetHookStart(float v) { hookStart_ = v, hookStartFlag_ = false; }
    float HookEnd() const { return hookEnd_; }
    void SetHookEnd(float v) { hookEnd_ = v, hookEndFlag_ = false; }
    float Extro() const { return extro_; }
    void SetExtro(float v) { extro_ = v, extroFlag_ = false; }
    float SweeperStart() const { return sweeperStart_; }
    void SetSweeperStart(float v) { sweeperStart_ = v, sweeperFlag_ = false; }

    float TotalSecondsPlayed() const { return totalSecondsPlayed_; }
    float SecondsPlayed() const { return secondsPlayed_; }
    float SecondsRemain() const { return secondsRemain_; }
    float PercentagePlayed() const { return percentagePlayed_; }
    int32_t TotalBlocks() const { return totalBlocks_; }
    const Platform::Acm::WaveFormatEx& FileFormat() const { return fileFormat_; }

    // Runs the position timer's work once (the timer does this every 50 ms while streaming).
    void PositionTick();

signals:
    void Playing();
    void Paused();
    void Cued();
    void Opened();
    void Closed();
    void AudioPositionChanged(bool& AudioPartChanging);
    void AudioLevelChanged(int16_t MaxLeftLevel, int16_t MaxRightLevel);
    void PlayerError(int32_t& ErrorCode);
    void IntroStartReached();
    void IntroEndReached();
    void ExtroReached();
    void AudioEndReached();
    void HookStartReached();
    void HookEndReached();
    void LoopRestart();
    void LoopCompleted();
    void SweeperStartReached();

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
    bool SeekBlock(int32_t block);
    void ClearBuffer(bool ClearEngine, bool PauseIfPlaying);
    int32_t PausePlaybackStream(bool Reposition);
    void UpdateAudioTimes();
    void TestForFinish();
    void SetFinished();
    void ClearReachedFlags();
    void ResetMarkers();
    void OnBufferAvailable(int32_t BufferNumber, intptr_t ptrBuffer, int32_t BufferLength);
    void OnStreamStopped();
    void Debug(const std::string& text, int32_t level = dmBasic) const {
        debug_.Write(text, level);
    }

    FlennStreamPlay FlennStreamPlay1;
    QTimer tmrPosition;
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
    float baseTime_ = 0;
    int32_t loopStartBlock_ = 0, loopEndBlock_ = 0;
    bool useLoop_ = false;
    int16_t loopCount_ = 0, maxLoopCount_ = 1000;
    int32_t loopMark_ = -1;
    bool fileFinished_ = false, audioFinished_ = false, inSeek_ = false, engineLoading_ = false;
    float storedPlayVolume_ = 0;
    bool reportErrors_ = true;
    bool playingFlag_ = false;
    bool raiseAudioPositionChanged_ = true;
    bool flushBuffers_ = true;
    int32_t fadeMode_ = 2;

    float audioStart_ = 0, audioEnd_ = 0, audioLength_ = 0;
    float introStart_ = 0, introEnd_ = 0, hookStart_ = 0, hookEnd_ = 0, extro_ = 0;
    float sweeperStart_ = -1;
    float totalSecondsPlayed_ = 0, totalSecondsRemain_ = 0, totalPercentagePlayed_ = 0;
    float secondsPlayed_ = 0, secondsRemain_ = 0, percentagePlayed_ = 0;
    float previousSecondsPlayed_ = -1;
    bool introStartFlag_ = false, introEndFlag_ = false, hookStartFlag_ = false,
         hookEndFlag_ = false, extroFlag_ = false, sweeperFlag_ = false;
};
