#pragma once
// The split window's logic without its display: the cued break of the split's advert log,
// finding breaks by time and file position, loading a break's adverts, cueing the next,
// previous or same break, and fetching the day's log. The window shows what it keeps here.
#include "breaks/BreakRecord.h"
#include "breaks/BreaksState.h"
#include "breaks/SplitLinks.h"
#include "core/FailureEpisode.h"
#include "platform/Clock.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class SplitEngine : public QObject {
    Q_OBJECT
public:
    explicit SplitEngine(SplitSender* sender = nullptr, SplitPlayers* players = nullptr,
                         QObject* parent = nullptr);
    ~SplitEngine() override;

    void SetSender(SplitSender* sender) { sender_ = sender; }
    void SetPlayers(SplitPlayers* players) { players_ = players; }
    void SetCartQueue(SplitCartQueue* queue) { cartQueue_ = queue; }

    AdBreak& Break() { return Breaks::State().AdBreak; }
    const AdBreak& Break() const { return Breaks::State().AdBreak; }
    ZEL_Common::SplitRecord& Split() { return *Breaks::Split(1); }

    // Finding breaks in the open log.
    float GetAdBreakTime(int32_t FilePos);
    int32_t GetNextAdBreakFilePos(float Time);
    int32_t GetNextAdBreakFilePosFNo(int16_t FileNumber, float Time);
    int32_t GetPreviousAdBreakFilePos(float Time);
    float GetFileBreakLength(int32_t LogDate, float BreakTime);

    // Cueing.
    void SetCurrentBreakPos(int32_t FilePos, bool NotifyNetwork, bool UpdateDisplay,
                            bool ForceCueAudio);
    void SetCurrentAdBreakTime(int32_t LogDate, float Time, bool NotifyNetwork, bool ForceCueAudio);
    void ReCueCurrentBreak(bool NotifyNetwork);
    void LoadCurrentBreak(bool UpdateLogDisplay, bool CueAudio);
    // After an edit of the working log: the cued break is found again by its time and
    // reloaded, advert 1 cued again (on one player) when it was cued.
    void ReloadEditedBreak();
    void CueNextBreak(bool NotifyNetwork, bool ForceCueAudio);
    // Start-up, the scheduled reload and a new delivery cue by the clock, telling the network:
    // the first break of the clock's day (never an earlier day's) that the clock may cue and
    // whose time has not passed by more than the late-dump limit (with no limit, whose time
    // has not come); when the day has none left, the next day's first.
    void CueFirstBreakToPlay(bool UpdateDisplay);
    // The rule every path of the clock asks: the break at FilePos of the day's log open under
    // FileNumber may be cued by the clock, as it is not done (none of its adverts started and
    // it was not dumped). Only a cue that names a done break plays it again.
    bool ClockMayCue(int16_t FileNumber, int32_t LogDate, int32_t FilePos);
    void CuePreviousBreak(bool NotifyNetwork);
    void ClearAdvertBreak(bool StopAudio, bool UpdateLogDisplay);
    // A cue that came while a break runs is kept, the latest only. When that break ends, after
    // the split has cued its own next break, it is carried out only if it names a break after
    // the one that ended; else it is dropped. A cue without a day names a time on the day of
    // the log loaded when it is heard, and keeps that day while it is held.
    void HoldCueUntilBreakEnds(std::optional<int32_t> LogDate, float Time);
    // The break this split plays next (day, time): the cued one, or while a break runs the held
    // cue's when it names a later break, else the one after the running one, in the next day's
    // log after the day's last; time -1 when there is none.
    std::pair<int32_t, float> NextBreakToPlay();

    // Playout.
    void PlayBreak(bool NotifyNetwork);
    void DumpBreak(bool NotifyNetwork);
    void KillAllOutput(bool NotifyNetwork);
    // The cued or running break is dropped on another machine's word: the error file says so.
    void LogDumpByNetwork();
    // Called by the cart players for every notice, synchronously.
    void PlayerStatusNotice(int32_t NoticeCode, int16_t PlayerNumber, int32_t Data);
    void UpdateBreakTimeInformation();
    void DisplayBreakTimeInformation();
    void UpdateBreakListing(int16_t FromAdvert);
    // The break tick's timer is on (and not held by a running tick or notice).
    bool BreakTickEnabled() const { return tickWanted_ && tickHeld_ == 0; }
    bool EndPulseWaiting() const { return endPulse_ == EndPulse::Waiting; }
    bool EndPulseOn() const { return endPulse_ == EndPulse::On; }
    // The end-of-break signal's timer work, run every 20 ms while it waits or is on: it comes
    // on, or goes off, once its time on the clock service has come.
    void EndPulseTick();

    // The day's log from the source directory.
    bool CheckForNewLogFile(bool SkipReCue);
    bool CopyNewLogFile(const std::string& SourceFileName);

    // The window's log timers: late dump, automatic play and scheduled reload every second;
    // the new-log and future-log checks every LogUpdateInterval seconds.
    void tmrLogReload_Timer();
    void tmrLogUpdateInterval_Timer();
    // The scheduled reload counts as done now: the break the window cued at load is not cued
    // again at the first tick.
    void ResetLogReloadTimes();
    // After the day's last break the next day's log was missing: that day is tried again.
    void RetryNextDayLog();
    bool CheckForFutureLogFiles();
    // pnlStatus: the future-log check's text and back colour.
    const std::string& StatusText() const { return statusText_; }
    int32_t StatusColour() const { return statusColour_; }
    int32_t LastReloadDate() const { return lastReloadDate_; }
    int32_t LastReloadHour() const { return lastReloadHour_; }

    // What the window mirrors.
    bool DumpEnabled() const { return dumpEnabled_; }
    bool PreviousEnabled() const { return previousEnabled_; }
    int32_t DisplayedBreakPos() const { return displayedBreakPos_; }
    const std::string& TimeRemainText() const { return timeRemainText_; }
    int32_t TimeRemainColour() const { return timeRemainColour_; }
    // listadBreak: title and cart of each listed advert.
    const std::vector<std::pair<std::string, int32_t>>& BreakListing() const { return listing_; }
    static constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);

    bool NextDayLogOpened() const { return nextDayLogOpened_; }
    void SetNextDayLogOpened(bool opened) { nextDayLogOpened_ = opened; }
    // After the day's last break the next day's log was missing: nothing is cued and the next
    // cue tries that day again.
    bool NextDayLogPending() const;

signals:
    void breakListingChanged(int fromAdvert);
    void logDisplayChanged();
    void breakTimesChanged();
    void buttonsChanged();
    void statusChanged();

private:
    // Holds the break tick off while a tick runs, so a notice from inside a player operation
    // never runs it a second time; the timer comes back on when still wanted.
    class TickHold {
    public:
        explicit TickHold(SplitEngine& engine);
        ~TickHold();
        TickHold(const TickHold&) = delete;
        TickHold& operator=(const TickHold&) = delete;

    private:
        SplitEngine& engine_;
    };

    static constexpr int16_t kSplit = 1; // the only split
    static constexpr float kSegueWarning = 10.0f;
    static constexpr float kNearEndWarning = 10.0f;
    static constexpr int16_t kEndOfBreakAction = 151;
    void SetBreakTickEnabled(bool enabled);
    void OnBreakTimer();
    void BreakTick();
    // One step of the tick; true when an advert was passed over and the tick goes on.
    bool BreakStep();
    // The break ends as when its last advert finished: next break cued, the end-of-break
    // signal, the playout system told.
    void CompleteBreak();
    // No advert of the cued break could be played: it is done and ends at once.
    void EndBreakWithoutAdverts();
    // An advert that could not be played is left out of the break, with its line in the error
    // file.
    void PassOverAdvert(int16_t advert);
    bool AdvertFinished(const SplitPlayerInfo& info, int16_t advert) const;
    bool NextAdvertNeedsCue(const SplitPlayerInfo& info, int16_t advert) const;
    enum class EndPulse { Off, Waiting, On };
    void StartEndOfBreakSignal();
    void StartEndPulse(EndPulse stage, int milliseconds);
    void TriggerAdBreakEnd();
    // The running break ends: it is cleared and the next break cued, then a held cue that
    // names a later break is carried out.
    void EndBreakAndCueNext(bool StopAudio, bool NotifyNetwork, bool ForceCueAudio);
    struct HeldCue {
        int32_t date = 0;
        float time = -1.0f; // -1: no cue held
    };
    // The break (day, time) the cue names after the break at (EndedDate, EndedTime); time -1
    // when it names none after that break.
    std::pair<int32_t, float> HeldCueBreak(const HeldCue& cue, int32_t EndedDate, float EndedTime);
    // The time of the day's first break at or after Time (that the clock may cue, when
    // byClock), -1 when none or no log.
    float FirstBreakTimeFrom(int32_t LogDate, float Time, bool byClock);
    // The first break at or after Time in the day's log open under FileNumber that the clock
    // may cue, 0 when none.
    int32_t NextClockBreakFilePos(int16_t FileNumber, int32_t LogDate, float Time);
    // The same in the split's open log.
    int32_t NextClockBreakFilePos(float Time);
    // Records the cued break as done.
    void MarkCuedBreakDone(const std::string& How);
    void ClearRunEnd();
    void SetSourceLine(int32_t mode);
    float SumAdvertLengths(int16_t First, int16_t Last);
    int16_t PlayerCount();
    void SendVantor(const std::string& text);
    static void Trace(const std::string& text);
    void Send(const std::string& text);
    void RefreshDisplay();
    void SetDumpEnabled(bool enabled);
    void SetPreviousEnabled(bool enabled);
    void MarkNothingCued();
    // Opens the next day's log (NextDayLogOpened); the position of its first break that the
    // clock may cue (from the time the clock cues from, when fromClock), 0 when the log is
    // missing or has none (then nothing stays cued).
    int32_t OpenNextDayLog(bool fromClock);
    bool LateDump(const Platform::Clock::Moment& now);
    bool AutomaticPlay(const Platform::Clock::Moment& now);
    // Starts the cued break as a play command does, without its trace line and network word;
    // why a break waits is traced only when the reason changed.
    void StartCuedBreak();
    void TraceWait(const std::string& text);
    void ScheduledReload(const Platform::Clock::Moment& now);
    void MarkReloaded(const Platform::Clock::Moment& now);
    void SetStatus(const std::string& text, int32_t colour);
    // A source log is copied once it has stopped changing for a check interval.
    bool SourceSettled(const std::string& path);
    // A copy that failed for a reason other than a delivery still being written, hostError
    // telling why: told once for each run of failures, and again when a copy goes through.
    void CopyFailed(int hostError, const std::string& problem);
    void CopyWorked(const std::string& source);
    // Where the clock cues from in a day's log: on the clock's day, the breaks not passed by
    // the late-dump limit (with none, whose second has not passed); all of a later day; none
    // of an earlier one.
    static float ClockCueFrom(int32_t LogDate);
    bool LogOpen();
    int16_t LogNumber();
    // A day's log opened for reading under a file number of its own (the destination copy,
    // else the source); 0 when there is none.
    int16_t OpenDayLog(int32_t LogDate);
    // What read makes of a day's log: the split's open one when it is that day's, else one
    // opened for the reading and closed after; none when there is no log.
    float ReadDayLog(int32_t LogDate, float none, const std::function<float(int16_t)>& read);
    // The length of the break at BreakTime in the log open under number.
    float BreakLengthIn(int16_t number, float BreakTime);
    static float LineTimeAt(int16_t FileNumber, int32_t FilePos);
    // The break after the cued one in the open log that the clock may cue, 0 when none.
    int32_t BreakAfterCued();

    SplitSender* sender_ = nullptr;
    SplitPlayers* players_ = nullptr;
    SplitCartQueue* cartQueue_ = nullptr;
    QTimer tmradBreak_;
    QTimer tmrEndPulse_;
    EndPulse endPulse_ = EndPulse::Off;
    double endPulseFrom_ = 0, endPulseDue_ = 0; // clock milliseconds
    bool tickWanted_ = false;
    int tickHeld_ = 0;
    std::string timeRemainText_;
    int32_t timeRemainColour_ = kButtonFace;
    std::vector<std::pair<std::string, int32_t>> listing_;
    bool dumpEnabled_ = false;
    bool previousEnabled_ = false;
    int32_t displayedBreakPos_ = 0;
    bool nextDayLogOpened_ = false;
    int32_t pendingNextDay_ = 0; // the day whose log is to be tried again, 0 = none
    int32_t lastReloadDate_ = -1;
    float lastReloadTime_ = 0.0f;
    int32_t lastReloadHour_ = -1;
    // The cued break (day, position) the scheduler has told the network to play; the reason
    // last traced why a break waits.
    std::pair<int32_t, int32_t> playAsked_{0, 0};
    HeldCue heldCue_;              // held while the break runs
    bool cueFailed_ = false;       // the last cue of the next advert found a player but failed
    std::set<int16_t> passedOver_; // adverts of the break left out, with their lines
    std::string waitTraced_;
    std::string statusText_ = "Checking Future Logs";
    int32_t statusColour_ = kButtonFace;
    std::string settledPath_; // the source last looked at, its size and time
    int64_t settledSize_ = -1;
    int64_t settledTime_ = 0;
    uint32_t settledSince_ = 0; // tick count of the first look at that size and time
    GeneralFunctions::FailureEpisode copyFailures_;
};
