#include "breaks/AdvertLog_FN.h"
#include "breaks/BreaksDone.h"
#include "breaks/LogLines.h"
#include "breaks/LogSupport.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "carts/HardwareLines.h"
#include "core/MainSettings.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cmath>

using LogLines::ReadTrimmed;

namespace {

const char* YesNo(bool value) {
    return value ? "Yes" : "No";
}

// The cart and reference of each of the split's lines of the break at FilePos.
BreaksDone::AdvertKeys BreakAdvertKeys(int16_t Split, int16_t FileNumber, int32_t FilePos) {
    BreaksDone::AdvertKeys keys;
    LogLines::Seek(FileNumber, FilePos);
    while (keys.size() < static_cast<size_t>(kMaxBreakAdverts) && !LogLines::AtEnd(FileNumber)) {
        const std::string line = ReadTrimmed(FileNumber);
        if (line.empty()) break;
        if (ZEL_Common::LineMatchesSplit(Split, line))
            keys.emplace_back(AdvertLog_FN::GetLineCartNumber(line),
                              AdvertLog_FN::GetLineReference(line));
    }
    return keys;
}

} // namespace

SplitEngine::SplitEngine(SplitSender* sender, SplitPlayers* players, QObject* parent)
    : QObject(parent), sender_(sender), players_(players) {
    tmradBreak_.setTimerType(Qt::PreciseTimer);
    tmradBreak_.setInterval(50);
    connect(&tmradBreak_, &QTimer::timeout, this, &SplitEngine::OnBreakTimer);
    tmrEndPulse_.setTimerType(Qt::PreciseTimer);
    tmrEndPulse_.setInterval(20);
    connect(&tmrEndPulse_, &QTimer::timeout, this, &SplitEngine::EndPulseTick);
    Breaks::State().checkForNewLogFile = [this](bool skipReCue) {
        return CheckForNewLogFile(skipReCue);
    };
}

SplitEngine::~SplitEngine() {
    Breaks::State().checkForNewLogFile = nullptr;
}

void SplitEngine::Trace(const std::string& text) {
    GeneralFunctions::WriteDebugLine(text, -1);
}

void SplitEngine::Send(const std::string& text) {
    if (sender_) sender_->SendMessageToNetwork(text);
}

void SplitEngine::RefreshDisplay() {
    UpdateBreakListing(1);
    emit logDisplayChanged();
    UpdateBreakTimeInformation();
}

void SplitEngine::SetDumpEnabled(bool enabled) {
    if (dumpEnabled_ == enabled) return;
    dumpEnabled_ = enabled;
    emit buttonsChanged();
}

void SplitEngine::SetPreviousEnabled(bool enabled) {
    if (previousEnabled_ == enabled) return;
    previousEnabled_ = enabled;
    emit buttonsChanged();
}

bool SplitEngine::LogOpen() {
    return Platform::FileNumbers::IsOpen(Split().LogFileNumber);
}

int16_t SplitEngine::LogNumber() {
    return Split().LogFileNumber;
}

bool SplitEngine::NextDayLogPending() const {
    const ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    return pendingNextDay_ != 0 && split.CuedBreakPos == 0 &&
           pendingNextDay_ == split.LoadedLogDate + 1;
}

float SplitEngine::GetAdBreakTime(int32_t FilePos) {
    if (!LogOpen()) return 0.0f;
    return LineTimeAt(LogNumber(), FilePos);
}

float SplitEngine::LineTimeAt(int16_t FileNumber, int32_t FilePos) {
    LogLines::Seek(FileNumber, FilePos);
    return AdvertLog_FN::GetLineTime(ReadTrimmed(FileNumber));
}

int32_t SplitEngine::BreakAfterCued() {
    return NextClockBreakFilePos(Split().CuedBreakTime + 0.1f);
}

bool SplitEngine::ClockMayCue(int16_t FileNumber, int32_t LogDate, int32_t FilePos) {
    if (FilePos <= 0) return false;
    const float time = LineTimeAt(FileNumber, FilePos);
    return !BreaksDone::IsDone(kSplit, LogDate, time, BreakAdvertKeys(kSplit, FileNumber, FilePos));
}

int32_t SplitEngine::NextClockBreakFilePos(int16_t FileNumber, int32_t LogDate, float Time) {
    int32_t position = GetNextAdBreakFilePosFNo(FileNumber, Time);
    // Lines of one break share its time: 0.1 s on is the next break.
    while (position > 0 && !ClockMayCue(FileNumber, LogDate, position))
        position = GetNextAdBreakFilePosFNo(FileNumber, LineTimeAt(FileNumber, position) + 0.1f);
    return position;
}

int32_t SplitEngine::NextClockBreakFilePos(float Time) {
    if (!LogOpen()) return 0;
    return NextClockBreakFilePos(LogNumber(), Split().LoadedLogDate, Time);
}

void SplitEngine::MarkCuedBreakDone(const std::string& How) {
    const ZEL_Common::SplitRecord& split = Split();
    if (split.CuedBreakPos <= 0 || split.CuedBreakTime < 0 || !LogOpen() ||
        split.CuedBreakDate != split.LoadedLogDate)
        return;
    const BreaksDone::AdvertKeys keys = BreakAdvertKeys(kSplit, LogNumber(), split.CuedBreakPos);
    if (BreaksDone::IsDone(kSplit, split.CuedBreakDate, split.CuedBreakTime, keys)) return;
    BreaksDone::MarkDone(kSplit, split.CuedBreakDate, split.CuedBreakTime, keys, How);
}

std::pair<int32_t, float> SplitEngine::NextBreakToPlay() {
    const ZEL_Common::SplitRecord& split = Split();
    if (split.CuedBreakPos <= 0 || split.CuedBreakTime < 0) return {0, -1.0f};
    if (!Breaks::State().BreakRunning) return {split.CuedBreakDate, split.CuedBreakTime};
    // The running break is the cued one: what comes after it has not been played.
    const int32_t ranDate = split.CuedBreakDate;
    const float ranTime = split.CuedBreakTime;
    std::pair<int32_t, float> after{ranDate, FirstBreakTimeFrom(ranDate, ranTime + 0.1f, true)};
    if (after.second < 0) after = {ranDate + 1, FirstBreakTimeFrom(ranDate + 1, 0.0f, true)};
    if (heldCue_.time >= 0) {
        const std::pair<int32_t, float> held = HeldCueBreak(heldCue_, ranDate, ranTime);
        if (held.second >= 0) return held;
    }
    return after.second >= 0 ? after : std::pair<int32_t, float>{0, -1.0f};
}

void SplitEngine::HoldCueUntilBreakEnds(std::optional<int32_t> LogDate, float Time) {
    // The day is fixed now: at the break's end the split may be on the next day's log.
    if (Breaks::State().BreakRunning) heldCue_ = {LogDate.value_or(Split().LoadedLogDate), Time};
}

std::pair<int32_t, float> SplitEngine::HeldCueBreak(const HeldCue& cue, int32_t EndedDate,
                                                    float EndedTime) {
    if (cue.time < 0 || cue.date < EndedDate || (cue.date == EndedDate && cue.time <= EndedTime))
        return {cue.date, -1.0f};
    return {cue.date, FirstBreakTimeFrom(cue.date, cue.time, false)};
}

float SplitEngine::FirstBreakTimeFrom(int32_t LogDate, float Time, bool byClock) {
    return ReadDayLog(LogDate, -1.0f, [&](int16_t number) {
        const int32_t position = byClock ? NextClockBreakFilePos(number, LogDate, Time)
                                         : GetNextAdBreakFilePosFNo(number, Time);
        return position > 0 ? LineTimeAt(number, position) : -1.0f;
    });
}

int32_t SplitEngine::GetNextAdBreakFilePos(float Time) {
    return GetNextAdBreakFilePosFNo(Split().LogFileNumber, Time);
}

int32_t SplitEngine::GetNextAdBreakFilePosFNo(int16_t FileNumber, float Time) {
    if (FileNumber <= 0 || !Platform::FileNumbers::IsOpen(FileNumber)) return 0;
    LogLines::Seek(FileNumber, 1);
    while (!LogLines::AtEnd(FileNumber)) {
        int32_t position = LogLines::Position(FileNumber);
        std::string line = ReadTrimmed(FileNumber);
        if (ZEL_Common::LineMatchesSplit(kSplit, line) && AdvertLog_FN::GetLineTime(line) >= Time)
            return position;
    }
    return 0;
}

int32_t SplitEngine::GetPreviousAdBreakFilePos(float Time) {
    if (!LogOpen()) return 0;
    const int16_t log = LogNumber();
    LogLines::Seek(log, 1);
    int32_t result = 0;
    bool breakOpen = false;
    while (!LogLines::AtEnd(log)) {
        int32_t position = LogLines::Position(log);
        std::string line = ReadTrimmed(log);
        if (line.empty()) {
            breakOpen = false;
        } else if (ZEL_Common::LineMatchesSplit(kSplit, line)) {
            if (AdvertLog_FN::GetLineTime(line) >= Time) break;
            if (!breakOpen) result = position, breakOpen = true;
        }
    }
    return result;
}

void SplitEngine::SetCurrentBreakPos(int32_t FilePos, bool NotifyNetwork, bool UpdateDisplay,
                                     bool ForceCueAudio) {
    Trace("SetCurrentBreakPos:" + std::to_string(FilePos) +
          ":NotifyNetwork:" + YesNo(NotifyNetwork) + ":ForceCueAudio:" + YesNo(ForceCueAudio));
    ZEL_Common::SplitRecord& split = Split();
    // A cued break is its day and its position: the same position in another day's log is
    // another break.
    if ((FilePos == split.CuedBreakPos && split.LoadedLogDate == split.CuedBreakDate) ||
        FilePos <= 0)
        return;
    if (Break().AdvertCount > 0) ClearAdvertBreak(true, false);
    split.CuedBreakPos = FilePos;
    split.CuedBreakTime = GetAdBreakTime(FilePos);
    split.CuedBreakDate = split.LoadedLogDate;
    pendingNextDay_ = 0;
    if (NotifyNetwork) Send("AD_CUE " + LogSupport::SingleText(split.CuedBreakTime));
    LoadCurrentBreak(true,
                     MainSettings::Settings().General.CueAdBreaksImmediately != 0 || ForceCueAudio);
    displayedBreakPos_ = FilePos;
    if (UpdateDisplay) RefreshDisplay();
}

void SplitEngine::SetCurrentAdBreakTime(int32_t LogDate, float Time, bool NotifyNetwork,
                                        bool ForceCueAudio) {
    Trace("SetCurrentAdBreakTime:" + VB::ShortDate(LogDate) + " " +
          GeneralFunctions::FormatDuration(Time, 2) + ":NotifyNetwork:" + YesNo(NotifyNetwork) +
          ":ForceCueAudio:" + YesNo(ForceCueAudio));
    ZEL_Common::SplitRecord& split = Split();
    if ((LogDate == split.CuedBreakDate && Time == split.CuedBreakTime) || Time < 0) return;
    // A day whose log cannot be opened cues nothing: the open log belongs to another day.
    if (LogDate != split.LoadedLogDate && !ZEL_Common::OpenLogForDate(kSplit, LogDate)) return;
    if (LogOpen())
        SetCurrentBreakPos(GetNextAdBreakFilePos(Time), NotifyNetwork, true, ForceCueAudio);
}

void SplitEngine::ReCueCurrentBreak(bool NotifyNetwork) {
    Trace(std::string("ReCueCurrentBreak:NotifyNetwork:") + YesNo(NotifyNetwork));
    if (NotifyNetwork) Send("AD_RECUE");
    if (Break().AdvertCount > 0) ClearAdvertBreak(true, true);
    displayedBreakPos_ = Split().CuedBreakPos;
    LoadCurrentBreak(true, true);
}

void SplitEngine::LoadCurrentBreak(bool UpdateLogDisplay, bool CueAudio) {
    Trace(std::string("LoadCurrentBreak:UpdateLogDisplay:") + YesNo(UpdateLogDisplay) +
          ":CueAudio:" + YesNo(CueAudio));
    if (!LogOpen()) return;
    ZEL_Common::SplitRecord& split = Split();
    AdBreak& b = Break();
    b.AdvertCount = 0;
    b.NearEndSent = 0;
    if (split.CuedBreakPos > 0) {
        const int16_t log = LogNumber();
        LogLines::Seek(log, split.CuedBreakPos);
        while (b.AdvertCount < kMaxBreakAdverts) {
            std::string line = ReadTrimmed(log);
            if (line.empty()) break;
            int32_t cart = AdvertLog_FN::GetLineCartNumber(line);
            if (!ZEL_Common::LineMatchesSplit(kSplit, line) || cart <= 0) continue;
            BreakCarts::CartTiming timing;
            BreakCarts::ReadCartTiming(cart, timing);
            if (timing.PlayLength <= 0) continue;
            AdvertEntry& entry = b.Advert(++b.AdvertCount);
            entry.CartNumber = cart;
            entry.Title = AdvertLog_FN::GetLineTitle(line);
            entry.Reference = AdvertLog_FN::GetLineReference(line);
            entry.Length = timing.PlayLength;
            entry.SegueLength = timing.Extro;
        }
    }
    if (b.AdvertCount == 0) {
        SetDumpEnabled(false);
        ClearAdvertBreak(true, UpdateLogDisplay);
    } else {
        SetDumpEnabled(true);
        int16_t player = 0;
        if (CueAudio && players_) player = players_->FindPlayer(CartPlayers::Empty, -1, -1, 0);
        int16_t volume = MainSettings::Settings().Audio.AdvertVolume;
        const AdvertEntry& first = b.Advert(1);
        if (!CueAudio) {
            b.CurrentAdvert = 1;
        } else if (player > 0 && players_->CuePlayer(player, first.CartNumber, volume)) {
            players_->ShowPlayerControls(player, false);
            b.PlayingPlayer = player;
            b.CurrentAdvert = 1;
            players_->SetPlayerDescription(player, first.Title);
        }
    }
    if (UpdateLogDisplay) RefreshDisplay();
    SetPreviousEnabled(split.CuedBreakPos >= 2);
}

void SplitEngine::ReloadEditedBreak() {
    const bool cued = Break().PlayingPlayer != 0;
    // The player holding advert 1 lets it go, so the reload cues it once.
    if (Break().AdvertCount > 0) ClearAdvertBreak(true, false);
    ZEL_Common::SplitRecord& split = Split();
    if (split.CuedBreakPos > 0 && split.CuedBreakDate == split.LoadedLogDate) {
        // The edit moved the lines: the same break is the first one at or after its time.
        const int32_t position = GetNextAdBreakFilePos(split.CuedBreakTime);
        if (position == 0) {
            MarkNothingCued();
            return;
        }
        if (displayedBreakPos_ == split.CuedBreakPos) displayedBreakPos_ = position;
        split.CuedBreakPos = position;
        split.CuedBreakTime = GetAdBreakTime(position);
    }
    LoadCurrentBreak(true, cued);
}

void SplitEngine::MarkNothingCued() {
    if (Break().AdvertCount > 0) ClearAdvertBreak(true, false);
    ZEL_Common::SplitRecord& split = Split();
    split.CuedBreakPos = 0;
    split.CuedBreakDate = 0;
    split.CuedBreakTime = -1.0f;
    displayedBreakPos_ = 0;
    SetPreviousEnabled(false);
    RefreshDisplay();
}

void SplitEngine::CueNextBreak(bool NotifyNetwork, bool ForceCueAudio) {
    Trace(std::string("CueNextBreak:NotifyNetwork:") + YesNo(NotifyNetwork) +
          ":ForceCueAudio:" + YesNo(ForceCueAudio));
    ZEL_Common::SplitRecord& split = Split();
    int32_t position = 0;
    if (!NextDayLogPending()) {
        // With nothing cued, the next break is the first one the clock cues.
        position = split.CuedBreakPos == 0 && LogOpen()
                       ? NextClockBreakFilePos(ClockCueFrom(split.LoadedLogDate))
                       : BreakAfterCued();
    }
    if (position == 0) position = OpenNextDayLog(false);
    if (position != 0) SetCurrentBreakPos(position, NotifyNetwork, true, ForceCueAudio);
}

void SplitEngine::CueFirstBreakToPlay(bool UpdateDisplay) {
    ZEL_Common::SplitRecord& split = Split();
    const int32_t today = Platform::Clock::Today();
    // A log of a day before the clock's has nothing left to play.
    if (split.LoadedLogDate < today) ZEL_Common::OpenLogForDate(kSplit, today);
    int32_t position = NextClockBreakFilePos(ClockCueFrom(split.LoadedLogDate));
    // The loaded day has no break left: the next day's first one is the next to play.
    if (position == 0 && LogOpen()) position = OpenNextDayLog(true);
    SetCurrentBreakPos(position, true, UpdateDisplay, false);
}

int32_t SplitEngine::OpenNextDayLog(bool fromClock) {
    ZEL_Common::SplitRecord& split = Split();
    nextDayLogOpened_ = true;
    // With no log loaded yet, "the next day" is today, and its breaks that have passed are not
    // to be played.
    const bool noLogLoaded = split.LoadedLogDate == 0 || !LogOpen();
    const int32_t today = Platform::Clock::Today();
    int32_t nextDay =
        split.LoadedLogDate != 0 ? std::max(split.LoadedLogDate + 1, fromClock ? today : 0) : today;
    if (!ZEL_Common::OpenLogForDate(kSplit, nextDay)) {
        // The break just passed must not stay cued; the next cue tries this day again.
        MarkNothingCued();
        pendingNextDay_ = split.LoadedLogDate != 0 ? nextDay : 0;
        return 0;
    }
    pendingNextDay_ = 0;
    const int32_t position =
        NextClockBreakFilePos(noLogLoaded || fromClock ? ClockCueFrom(nextDay) : 0.0f);
    // Positions of the old day's log mean nothing in the new one.
    if (position == 0) MarkNothingCued();
    return position;
}

float SplitEngine::ClockCueFrom(int32_t LogDate) {
    const Platform::Clock::Moment now = Platform::Clock::Now();
    if (LogDate > now.day) return 0.0f;
    // A past day's breaks have all passed: past the end of any day.
    if (LogDate < now.day) return 86400.0f;
    // Break times are whole seconds: half a second off the bound keeps them clear of it.
    const int16_t drop = MainSettings::Settings().General.DropLateAdBreaks;
    const double from =
        drop > 0 ? std::floor(now.seconds - drop * 60.0) + 0.5 : std::floor(now.seconds) - 0.5;
    return static_cast<float>(std::max(from, 0.0));
}

void SplitEngine::CuePreviousBreak(bool NotifyNetwork) {
    if (NotifyNetwork) Send("AD_PREVIOUS");
    ZEL_Common::SplitRecord& split = Split();
    int32_t position = GetPreviousAdBreakFilePos(split.CuedBreakTime);
    // At the day's first break there is nothing before it: the cued break stays as it is.
    if (position <= 0 || position == split.CuedBreakPos) return;
    ClearAdvertBreak(true, false);
    SetCurrentBreakPos(position, false, true, false);
}

void SplitEngine::ClearAdvertBreak(bool StopAudio, bool UpdateLogDisplay) {
    Trace(std::string("ClearAdvertBreak:UpdateLogDisplay:") + YesNo(UpdateLogDisplay));
    Breaks::State().BreakRunning = false;
    heldCue_ = {};
    passedOver_.clear();
    SetDumpEnabled(false);
    AdBreak& b = Break();
    auto holds = [&](int16_t player, int16_t advert) {
        return players_ && advert >= 1 && advert <= b.AdvertCount &&
               players_->PlayerCartNumber(player) == b.Advert(advert).CartNumber;
    };
    if (StopAudio && b.PlayingPlayer >= 1 && holds(b.PlayingPlayer, b.CurrentAdvert))
        players_->EjectPlayer(b.PlayingPlayer);
    if (b.CuedPlayer > 0 && holds(b.CuedPlayer, static_cast<int16_t>(b.CurrentAdvert + 1)))
        players_->EjectPlayer(b.CuedPlayer);
    b.AdvertCount = 0;
    b.CurrentAdvert = 0;
    b.PlayingPlayer = 0;
    b.CuedPlayer = 0;
    b.NearEndSent = 0;
    SetBreakTickEnabled(false);
    // The source comes back on, unless a queued cart group keeps it muted.
    if (!(cartQueue_ && cartQueue_->QueueCount() > 0 && cartQueue_->FirstGroupMuted()))
        SetSourceLine(HardwareAPI::OutputOn);
    if (UpdateLogDisplay) {
        UpdateBreakListing(1);
        emit logDisplayChanged();
        UpdateBreakTimeInformation();
    }
}

float SplitEngine::GetFileBreakLength(int32_t LogDate, float BreakTime) {
    return ReadDayLog(LogDate, 0.0f,
                      [&](int16_t number) { return BreakLengthIn(number, BreakTime); });
}

float SplitEngine::BreakLengthIn(int16_t number, float BreakTime) {
    float sum = 0.0f;
    int32_t position = GetNextAdBreakFilePosFNo(number, BreakTime);
    if (position != 0) {
        LogLines::Seek(number, position);
        int counted = 0;
        while (counted < kMaxBreakAdverts) {
            std::string line = ReadTrimmed(number);
            if (line.empty() || AdvertLog_FN::GetLineTime(line) > BreakTime) break;
            int32_t cart = AdvertLog_FN::GetLineCartNumber(line);
            if (!ZEL_Common::LineMatchesSplit(kSplit, line) || cart <= 0) continue;
            BreakCarts::CartTiming timing;
            BreakCarts::ReadCartTiming(cart, timing);
            if (timing.PlayLength <= 0) continue;
            sum += timing.Extro;
            ++counted;
        }
    }
    return sum;
}

float SplitEngine::ReadDayLog(int32_t LogDate, float none,
                              const std::function<float(int16_t)>& read) {
    const bool ownFile = LogDate != Split().LoadedLogDate || !LogOpen();
    const int16_t number = ownFile ? OpenDayLog(LogDate) : Split().LogFileNumber;
    if (number == 0) return none;
    const float result = read(number);
    if (ownFile) Platform::FileNumbers::Close(number);
    return result;
}

int16_t SplitEngine::OpenDayLog(int32_t LogDate) {
    std::string path = ZEL_Common::GetDestinationLogPath(kSplit, LogDate, false);
    if (GeneralFunctions::SafeFileLen(path) <= 0)
        path = ZEL_Common::GetSourceLogPath(kSplit, LogDate, false);
    if (GeneralFunctions::SafeFileLen(path) <= 0) return 0;
    const int16_t number = Platform::FileNumbers::FreeFile();
    if (number == 0 ||
        Platform::FileNumbers::Open(number, path, Platform::FileNumbers::OpenMode::Input) != 0)
        return 0;
    return number;
}
