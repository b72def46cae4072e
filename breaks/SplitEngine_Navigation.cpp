#include "breaks/AdvertLog_FN.h"
#include "breaks/LogSupport.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "core/MainSettings.h"
#include "platform/Clock.h"

using LogSupport::Trim;
using LogSupport::WriteDebugLine;

namespace {

constexpr int16_t kSplit = 1;

const char* YesNo(bool value) {
    return value ? "Yes" : "No";
}

} // namespace

SplitEngine::SplitEngine(SplitSender* sender, SplitPlayers* players, QObject* parent)
    : QObject(parent), sender_(sender), players_(players) {
    Breaks::State().checkForNewLogFile = [this](bool skipReCue) {
        return CheckForNewLogFile(skipReCue);
    };
}

SplitEngine::~SplitEngine() {
    Breaks::State().checkForNewLogFile = nullptr;
}

void SplitEngine::Send(const std::string& text) {
    if (sender_) sender_->SendMessageToNetwork(text);
}

void SplitEngine::RefreshDisplay() {
    emit breakListingChanged(1);
    emit logDisplayChanged();
    emit breakTimesChanged();
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
    LogFile* file = Breaks::File(Split().LogFileNumber);
    return file && file->IsOpen();
}

LogFile& SplitEngine::OpenLog() {
    return *Breaks::File(Split().LogFileNumber);
}

bool SplitEngine::NextDayLogPending() const {
    const ZEL_Common::SplitRecord& split = *Breaks::Split(1);
    return pendingNextDay_ != 0 && split.CuedBreakPos == 0 &&
           pendingNextDay_ == split.LoadedLogDate + 1;
}

float SplitEngine::GetAdBreakTime(int32_t FilePos) {
    if (!LogOpen()) return 0.0f;
    LogFile& log = OpenLog();
    log.Seek(FilePos);
    return AdvertLog_FN::GetLineTime(Trim(log.ReadLine()));
}

int32_t SplitEngine::GetNextAdBreakFilePos(float Time) {
    return GetNextAdBreakFilePosFNo(Split().LogFileNumber, Time);
}

int32_t SplitEngine::GetNextAdBreakFilePosFNo(int16_t FileNumber, float Time) {
    LogFile* file = FileNumber > 0 ? Breaks::File(FileNumber) : nullptr;
    if (!file || !file->IsOpen()) return 0;
    file->Seek(1);
    while (!file->AtEnd()) {
        int32_t position = file->Position();
        std::string line = Trim(file->ReadLine());
        if (ZEL_Common::LineMatchesSplit(kSplit, line) && AdvertLog_FN::GetLineTime(line) >= Time)
            return position;
    }
    return 0;
}

int32_t SplitEngine::GetPreviousAdBreakFilePos(float Time) {
    if (!LogOpen()) return 0;
    LogFile& log = OpenLog();
    log.Seek(1);
    int32_t result = 0;
    bool breakOpen = false;
    while (!log.AtEnd()) {
        int32_t position = log.Position();
        std::string line = Trim(log.ReadLine());
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
    WriteDebugLine("SetCurrentBreakPos:" + std::to_string(FilePos) + ":NotifyNetwork:" +
                   YesNo(NotifyNetwork) + ":ForceCueAudio:" + YesNo(ForceCueAudio));
    ZEL_Common::SplitRecord& split = Split();
    if (FilePos == split.CuedBreakPos || FilePos <= 0) return;
    if (adBreak_.AdvertCount > 0) ClearAdvertBreak(true, false);
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
    WriteDebugLine("SetCurrentAdBreakTime:" + LogSupport::ShortDate(LogDate) + " " +
                   LogSupport::FormatHMS(Time) + ":NotifyNetwork:" + YesNo(NotifyNetwork) +
                   ":ForceCueAudio:" + YesNo(ForceCueAudio));
    ZEL_Common::SplitRecord& split = Split();
    if ((LogDate == split.CuedBreakDate && Time == split.CuedBreakTime) || Time < 0) return;
    // A day whose log cannot be opened cues nothing: the open log belongs to another day.
    if (LogDate != split.LoadedLogDate && !ZEL_Common::OpenLogForDate(kSplit, LogDate)) return;
    if (LogOpen())
        SetCurrentBreakPos(GetNextAdBreakFilePos(Time), NotifyNetwork, true, ForceCueAudio);
}

void SplitEngine::ReCueCurrentBreak(bool NotifyNetwork) {
    WriteDebugLine(std::string("ReCueCurrentBreak:NotifyNetwork:") + YesNo(NotifyNetwork));
    if (NotifyNetwork) Send("AD_RECUE");
    if (adBreak_.AdvertCount > 0) ClearAdvertBreak(true, true);
    displayedBreakPos_ = Split().CuedBreakPos;
    LoadCurrentBreak(true, true);
}

void SplitEngine::LoadCurrentBreak(bool UpdateLogDisplay, bool CueAudio) {
    WriteDebugLine(std::string("LoadCurrentBreak:UpdateLogDisplay:") + YesNo(UpdateLogDisplay) +
                   ":CueAudio:" + YesNo(CueAudio));
    if (!LogOpen()) return;
    ZEL_Common::SplitRecord& split = Split();
    adBreak_.AdvertCount = 0;
    adBreak_.NearEndSent = 0;
    if (split.CuedBreakPos > 0) {
        LogFile& log = OpenLog();
        log.Seek(split.CuedBreakPos);
        while (adBreak_.AdvertCount < kMaxBreakAdverts) {
            std::string line = Trim(log.ReadLine());
            if (line.empty()) break;
            int32_t cart = AdvertLog_FN::GetLineCartNumber(line);
            if (!ZEL_Common::LineMatchesSplit(kSplit, line) || cart <= 0) continue;
            BreakCarts::CartTiming timing;
            BreakCarts::ReadCartTiming(cart, timing);
            if (timing.PlayLength <= 0) continue;
            AdvertEntry& entry = adBreak_.Advert(++adBreak_.AdvertCount);
            entry.CartNumber = cart;
            entry.Title = AdvertLog_FN::GetLineTitle(line);
            entry.Reference = AdvertLog_FN::GetLineReference(line);
            entry.Length = timing.PlayLength;
            entry.SegueLength = timing.Extro;
        }
    }
    if (adBreak_.AdvertCount == 0) {
        SetDumpEnabled(false);
        ClearAdvertBreak(true, UpdateLogDisplay);
    } else {
        SetDumpEnabled(true);
        int16_t player = 0;
        if (CueAudio && players_) player = players_->FindPlayer(15, -1, -1, 0);
        int16_t volume = LogSupport::Settings().AdvertVolume;
        const AdvertEntry& first = adBreak_.Advert(1);
        if (!CueAudio) {
            adBreak_.CurrentAdvert = 1;
        } else if (player > 0 && players_->CuePlayer(player, first.CartNumber, volume)) {
            players_->ShowPlayerControls(player, false);
            adBreak_.PlayingPlayer = player;
            adBreak_.CurrentAdvert = 1;
            players_->SetPlayerDescription(player, first.Title);
        }
    }
    if (UpdateLogDisplay) RefreshDisplay();
    SetPreviousEnabled(split.CuedBreakPos >= 2);
}

void SplitEngine::MarkNothingCued() {
    if (adBreak_.AdvertCount > 0) ClearAdvertBreak(true, false);
    ZEL_Common::SplitRecord& split = Split();
    split.CuedBreakPos = 0;
    split.CuedBreakDate = 0;
    split.CuedBreakTime = -1.0f;
    displayedBreakPos_ = 0;
    SetPreviousEnabled(false);
    RefreshDisplay();
}

void SplitEngine::CueNextBreak(bool NotifyNetwork, bool ForceCueAudio) {
    WriteDebugLine(std::string("CueNextBreak:NotifyNetwork:") + YesNo(NotifyNetwork) +
                   ":ForceCueAudio:" + YesNo(ForceCueAudio));
    ZEL_Common::SplitRecord& split = Split();
    int32_t position = 0;
    if (!NextDayLogPending()) position = GetNextAdBreakFilePos(split.CuedBreakTime + 0.1f);
    if (position == 0) {
        nextDayLogOpened_ = true;
        // With no log loaded yet, "the next day" is today.
        int32_t nextDay =
            split.LoadedLogDate != 0 ? split.LoadedLogDate + 1 : Platform::Clock::Today();
        if (!ZEL_Common::OpenLogForDate(kSplit, nextDay)) {
            // The break just passed must not stay cued; the next cue tries this day again.
            MarkNothingCued();
            pendingNextDay_ = split.LoadedLogDate != 0 ? nextDay : 0;
            return;
        }
        pendingNextDay_ = 0;
        position = GetNextAdBreakFilePos(0.0f);
        // Positions of the old day's log mean nothing in the new one.
        if (position == 0) MarkNothingCued();
    }
    if (position != 0) SetCurrentBreakPos(position, NotifyNetwork, true, ForceCueAudio);
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
    WriteDebugLine(std::string("ClearAdvertBreak:UpdateLogDisplay:") + YesNo(UpdateLogDisplay));
    Breaks::State().BreakRunning = false;
    SetDumpEnabled(false);
    AdBreak& b = adBreak_;
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
    if (UpdateLogDisplay) RefreshDisplay();
}

float SplitEngine::GetFileBreakLength(int32_t LogDate, float BreakTime) {
    ZEL_Common::SplitRecord& split = Split();
    int16_t number = 0;
    bool ownFile = false;
    if (LogDate == split.LoadedLogDate && LogOpen()) {
        number = split.LogFileNumber;
    } else {
        std::string path = ZEL_Common::GetDestinationLogPath(kSplit, LogDate, false);
        if (LogSupport::SafeFileLen(path) <= 0)
            path = ZEL_Common::GetSourceLogPath(kSplit, LogDate, false);
        if (LogSupport::SafeFileLen(path) <= 0) return 0.0f;
        number = Breaks::FreeFile();
        if (number == 0 || Breaks::File(number)->Open(path) != 0) return 0.0f;
        ownFile = true;
    }
    LogFile& file = *Breaks::File(number);
    float sum = 0.0f;
    int32_t position = GetNextAdBreakFilePosFNo(number, BreakTime);
    if (position != 0) {
        file.Seek(position);
        int counted = 0;
        while (counted < kMaxBreakAdverts) {
            std::string line = Trim(file.ReadLine());
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
    if (ownFile) file.Close();
    return sum;
}
