#pragma once
// The split window's logic without its display: the cued break of the split's advert log,
// finding breaks by time and file position, loading a break's adverts, cueing the next,
// previous or same break, and fetching the day's log. The window shows what it keeps here.
#include "breaks/BreakRecord.h"
#include "breaks/BreaksState.h"
#include "breaks/SplitLinks.h"

#include <QObject>
#include <cstdint>
#include <string>

class SplitEngine : public QObject {
    Q_OBJECT
public:
    explicit SplitEngine(SplitSender* sender = nullptr, SplitPlayers* players = nullptr,
                         QObject* parent = nullptr);
    ~SplitEngine() override;

    void SetSender(SplitSender* sender) { sender_ = sender; }
    void SetPlayers(SplitPlayers* players) { players_ = players; }

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
    void CueNextBreak(bool NotifyNetwork, bool ForceCueAudio);
    void CuePreviousBreak(bool NotifyNetwork);
    void ClearAdvertBreak(bool StopAudio, bool UpdateLogDisplay);

    // The day's log from the source directory.
    bool CheckForNewLogFile(bool SkipReCue);
    bool CopyNewLogFile(const std::string& SourceFileName);

    // What the window mirrors.
    bool DumpEnabled() const { return dumpEnabled_; }
    bool PreviousEnabled() const { return previousEnabled_; }
    int32_t DisplayedBreakPos() const { return displayedBreakPos_; }
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

private:
    static constexpr int16_t kSplit = 1; // the only split
    static void Trace(const std::string& text);
    void Send(const std::string& text);
    void RefreshDisplay();
    void SetDumpEnabled(bool enabled);
    void SetPreviousEnabled(bool enabled);
    void MarkNothingCued();
    bool LogOpen();
    int16_t LogNumber();

    SplitSender* sender_ = nullptr;
    SplitPlayers* players_ = nullptr;
    bool dumpEnabled_ = false;
    bool previousEnabled_ = false;
    int32_t displayedBreakPos_ = 0;
    bool nextDayLogOpened_ = false;
    int32_t pendingNextDay_ = 0; // the day whose log is to be tried again, 0 = none
};
