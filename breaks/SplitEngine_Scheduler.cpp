#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "breaks/ZEL_Specific.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/Clock.h"
#include "platform/VB.h"

#include <algorithm>

namespace {

constexpr int32_t kGreen = 65280;
constexpr int32_t kRed = 255;

// Seconds from the moment (day, seconds) to now; negative before it.
double SecondsSince(const Platform::Clock::Moment& now, int32_t day, double seconds) {
    return static_cast<double>(now.day - day) * 86400.0 + now.seconds - seconds;
}

} // namespace

void SplitEngine::tmrLogReload_Timer() {
    const Breaks::BreaksState& state = Breaks::State();
    if (state.BreakRunning || state.LogCopyInProgress) return;
    const Platform::Clock::Moment now = Platform::Clock::Now();
    // The breaks past the limit go at once, so the break that is due still starts on time.
    const bool dumped = LateDump(now);
    if (Breaks::State().BreakRunning || AutomaticPlay(now) || dumped) return;
    ScheduledReload(now);
}

bool SplitEngine::LateDump(const Platform::Clock::Moment& now) {
    const ZEL_Common::SplitRecord& split = Split();
    const int16_t drop = MainSettings::Settings().General.DropLateAdBreaks;
    bool dumped = false;
    while (drop != 0 && split.CuedBreakTime >= 0 && LogOpen() &&
           SecondsSince(now, split.CuedBreakDate, split.CuedBreakTime + drop * 60.0) >= 0) {
        const std::pair<int32_t, int32_t> late{split.CuedBreakDate, split.CuedBreakPos};
        ZEL_Specific::WriteErrorLog(kSplit,
                                    "[Code:ADT1] Automatically dumped " +
                                        GeneralFunctions::FormatDuration(split.CuedBreakTime, 2) +
                                        " advert break because not told to play within time "
                                        "allowed");
        DumpBreak(true);
        dumped = true;
        // A dump that cued nothing new (no next day's log yet) ends the run.
        if (late == std::pair<int32_t, int32_t>{split.CuedBreakDate, split.CuedBreakPos}) break;
    }
    return dumped;
}

bool SplitEngine::AutomaticPlay(const Platform::Clock::Moment& now) {
    const ZEL_Common::SplitRecord& split = Split();
    if (MainSettings::Settings().General.AutoPlayAdBreaks == 0 || split.CuedBreakTime < 0 ||
        !LogOpen())
        return false;
    const double since = SecondsSince(now, split.CuedBreakDate, split.CuedBreakTime);
    if (since < -2.0) return false;
    const int32_t first = Break().AdvertCount > 0 ? Break().Advert(1).CartNumber : 0;
    if (players_ && players_->FindPlayerWithCart(first, 0) == 0) LoadCurrentBreak(true, true);
    if (since < 0) return false;
    // The network hears of the break once; later ticks only try to start it again.
    const std::pair<int32_t, int32_t> cued{split.CuedBreakDate, split.CuedBreakPos};
    if (playAsked_ == cued) {
        StartCuedBreak();
        return true;
    }
    playAsked_ = cued;
    PlayBreak(true);
    return true;
}

void SplitEngine::ResetLogReloadTimes() {
    MarkReloaded(Platform::Clock::Now());
}

void SplitEngine::MarkReloaded(const Platform::Clock::Moment& now) {
    lastReloadDate_ = now.day;
    lastReloadTime_ = static_cast<float>(now.seconds);
    lastReloadHour_ = static_cast<int32_t>(now.seconds / 3600.0);
}

void SplitEngine::ScheduledReload(const Platform::Clock::Moment& now) {
    const MainSettings::GeneralSettings& general = MainSettings::Settings().General;
    if (general.LogLoadingMode == 0) return;
    ZEL_Common::SplitRecord& split = Split();
    if (lastReloadDate_ == now.day && nextDayLogOpened_) return;
    nextDayLogOpened_ = false;
    if (split.LoadedLogDate != now.day) lastReloadDate_ = -1;
    const int32_t hour = static_cast<int32_t>(now.seconds / 3600.0);
    if (general.LogLoadingMode == 1) {
        if (lastReloadDate_ == now.day || now.seconds < general.LogLoadDailyInterval) return;
    } else if (general.LogLoadingMode == 2) {
        if (lastReloadDate_ != now.day) lastReloadHour_ = -1;
        if (lastReloadHour_ == hour || now.seconds - hour * 3600.0 <= general.LogLoadHourlyInterval)
            return;
    } else {
        return;
    }
    if (split.LoadedLogDate != now.day && !ZEL_Common::OpenLogForDate(kSplit, now.day)) return;
    CheckForNewLogFile(false);
    split.CuedBreakPos = 0;
    CueFirstBreakToPlay(true);
    MarkReloaded(now);
}

void SplitEngine::tmrLogUpdateInterval_Timer() {
    CheckForNewLogFile(false);
    RetryNextDayLog();
    CheckForFutureLogFiles();
}

void SplitEngine::RetryNextDayLog() {
    if (NextDayLogPending() && !Breaks::State().BreakRunning) CueNextBreak(false, false);
}

bool SplitEngine::CheckForFutureLogFiles() {
    const Breaks::BreaksState& state = Breaks::State();
    if (state.BreakRunning || state.LogCopyInProgress) return false;
    Trace("CheckForFutureLogFiles");
    const Platform::Clock::Moment now = Platform::Clock::Now();
    const int hour = std::clamp(static_cast<int>(now.seconds / 3600.0), 0, 23);
    const size_t index = static_cast<size_t>((VB::Weekday(now.day, VB::vbMonday) - 1) * 24 + hour);
    const std::string& week = MainSettings::Settings().General.LogWarningDays;
    const int days = index < week.size() ? static_cast<int>(VB::Val(week.substr(index, 1))) : 0;
    if (days < 1) {
        SetStatus("Not checking for Future Logs", kGreen);
        return true;
    }
    std::string missing;
    for (int i = 1; i <= days; ++i) {
        const int32_t day = now.day + i;
        if (GeneralFunctions::SafeFileLen(ZEL_Common::GetDestinationLogPath(kSplit, day, false)) >=
                0 ||
            GeneralFunctions::SafeFileLen(ZEL_Common::GetSourceLogPath(kSplit, day, false)) >= 0)
            continue;
        missing += (missing.empty() ? "" : ", ") + VB::ShortDate(day);
    }
    if (missing.empty())
        SetStatus("All required Future Logs are available", kGreen);
    else
        SetStatus("No logs for : " + missing, kRed);
    return true;
}

void SplitEngine::SetStatus(const std::string& text, int32_t colour) {
    if (text == statusText_ && colour == statusColour_) return;
    statusText_ = text;
    statusColour_ = colour;
    emit statusChanged();
}
