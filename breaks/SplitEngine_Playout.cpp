#include "breaks/LogSupport.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Specific.h"
#include "carts/HardwareLines.h"
#include "core/MainSettings.h"
#include "core/SettingsReader.h"
#include "platform/VB.h"

#include <cmath>

namespace {

const char* YesNo(bool value) {
    return value ? "Yes" : "No";
}

// Seconds from the settings file in milliseconds, held within range before converting.
int IntervalMs(float seconds) {
    return MainSettings::ToLong(static_cast<double>(seconds) * 1000.0);
}

// Milliseconds on the clock service (whole days included, so midnight does not wrap).
double ClockMilliseconds() {
    const Platform::Clock::Moment now = Platform::Clock::Now();
    return (now.day * 86400.0 + now.seconds) * 1000.0;
}

} // namespace

SplitEngine::TickHold::TickHold(SplitEngine& engine) : engine_(engine) {
    ++engine_.tickHeld_;
    engine_.tmradBreak_.stop();
}

SplitEngine::TickHold::~TickHold() {
    if (--engine_.tickHeld_ == 0 && engine_.tickWanted_) engine_.tmradBreak_.start();
}

void SplitEngine::SetBreakTickEnabled(bool enabled) {
    tickWanted_ = enabled;
    if (!enabled)
        tmradBreak_.stop();
    else if (tickHeld_ == 0 && !tmradBreak_.isActive())
        tmradBreak_.start();
}

void SplitEngine::OnBreakTimer() {
    if (!BreakTickEnabled()) return;
    TickHold hold(*this);
    BreakTick();
}

void SplitEngine::SendVantor(const std::string& text) {
    if (sender_) sender_->SendMessageToVantor(text);
}

int16_t SplitEngine::PlayerCount() {
    return players_ ? players_->TotalNumberCartPlayers() : 0;
}

void SplitEngine::SetSourceLine(int32_t mode) {
    const MainSettings::GeneralSettings& general = MainSettings::Settings().General;
    if (general.SourceLine < 1 || general.AdvertSourceMute == 0) return;
    int16_t line = general.SourceLine;
    HardwareAPI::SetHardwareLine(line, mode);
}

void SplitEngine::PlayBreak(bool NotifyNetwork) {
    Trace(std::string("PlayBreak:NotifyNetwork:") + YesNo(NotifyNetwork));
    if (NotifyNetwork) Send("AD_PLAY");
    waitTraced_.clear();
    StartCuedBreak();
}

void SplitEngine::TraceWait(const std::string& text) {
    if (text == waitTraced_) return;
    waitTraced_ = text;
    Trace(text);
}

void SplitEngine::StartCuedBreak() {
    if (!LogOpen()) CueNextBreak(false, false);
    if (!LogOpen()) return;
    if (cartQueue_ && cartQueue_->QueueCount() > 0 &&
        MainSettings::Settings().General.AllowBreaksDuringCarts == 0) {
        TraceWait("PlayBreak:CartGroup running so ignoring");
        return;
    }
    AdBreak& b = Break();
    if (b.AdvertCount < 1) {
        TraceWait("PlayBreak:No Adverts in current break so calling CueNextBreak");
        CueNextBreak(false, false);
        return;
    }
    if (Breaks::State().BreakRunning) {
        TraceWait("PlayBreak:Ad Break Running so ignoring");
        return;
    }
    if (!players_) return;
    // The first advert that plays starts the break; one that cannot be played is passed over.
    // Adverts passed over at an earlier try are not tried again.
    int16_t start = 1;
    while (passedOver_.count(start))
        ++start;
    int16_t player = 0;
    for (; start <= b.AdvertCount; ++start) {
        const AdvertEntry& advert = b.Advert(start);
        player = players_->FindPlayerWithCart(advert.CartNumber, 0);
        if (player <= 0) player = players_->FindPlayer(CartPlayers::Empty, -1, -1, 0);
        if (player <= 0) {
            TraceWait("PlayBreak:No free player so waiting");
            return;
        }
        SetSourceLine(HardwareAPI::OutputOff);
        int16_t volume = MainSettings::Settings().Audio.AdvertVolume;
        if (players_->PlayPlayer(player, advert.CartNumber, volume)) break;
        // Nothing plays: the source must not stay muted.
        SetSourceLine(HardwareAPI::OutputOn);
        PassOverAdvert(start);
    }
    if (start > b.AdvertCount) {
        EndBreakWithoutAdverts();
        return;
    }
    MarkCuedBreakDone("played");
    const AdvertEntry first = b.Advert(start);
    players_->ShowPlayerControls(player, false);
    if (sender_) sender_->SetNowZOZInformation(first.CartNumber, 4, first.Title);
    players_->SetPlaySource(player, first.Reference);
    players_->SetPlayerDescription(player, first.Title);
    b.PlayingPlayer = player;
    b.CurrentAdvert = start;
    cueFailed_ = false;
    Breaks::State().BreakRunning = true;
    // Played: a later command for the same break is a new one.
    playAsked_ = {0, 0};
    waitTraced_.clear();
    SetBreakTickEnabled(true);
    emit logDisplayChanged();
}

bool SplitEngine::AdvertFinished(const SplitPlayerInfo& info, int16_t advert) const {
    const AdBreak& b = Break();
    if (info.Status == CartPlayers::Empty || info.CartNumber != b.Advert(advert).CartNumber)
        return true;
    if (info.SecondsPlayed <= 0) return false;
    bool last = advert >= b.AdvertCount;
    return info.ReachedExtro() || (!last && info.Fading);
}

bool SplitEngine::NextAdvertNeedsCue(const SplitPlayerInfo& info, int16_t advert) const {
    if (info.Status == CartPlayers::Empty || info.CartNumber != Break().Advert(advert).CartNumber)
        return true;
    return info.SecondsPlayed > 0 && (info.SecondsToExtro < kSegueWarning || info.Fading);
}

void SplitEngine::BreakTick() {
    AdBreak& b = Break();
    if (!Breaks::State().BreakRunning || b.PlayingPlayer <= 0 || !players_) return;
    UpdateBreakTimeInformation();
    // Each pass over an advert that cannot be cued goes on with the one after it at once.
    while (BreakStep()) {
    }
}

bool SplitEngine::BreakStep() {
    AdBreak& b = Break();
    SplitPlayerInfo info = players_->PlayerInfo(b.PlayingPlayer);
    if (b.CurrentAdvert >= b.AdvertCount) {
        if (!AdvertFinished(info, b.CurrentAdvert)) return false;
        SetBreakTickEnabled(false);
        CompleteBreak();
        return false;
    }
    const int16_t volume0 = MainSettings::Settings().Audio.AdvertVolume;
    const int16_t next = static_cast<int16_t>(b.CurrentAdvert + 1);
    if (b.CuedPlayer == 0 && NextAdvertNeedsCue(info, b.CurrentAdvert)) {
        b.CuedPlayer = players_->FindPlayer(CartPlayers::Empty, -1, -1, 0);
        if (b.CuedPlayer > 0) {
            int16_t volume = volume0;
            cueFailed_ = !players_->CuePlayer(b.CuedPlayer, b.Advert(next).CartNumber, volume);
            if (cueFailed_) {
                b.CuedPlayer = 0;
            } else {
                players_->ShowPlayerControls(b.CuedPlayer, false);
                players_->SetPlayerDescription(b.CuedPlayer, b.Advert(next).Title);
            }
        }
        // A cue may have run notices that moved the playing player on.
        info = players_->PlayerInfo(b.PlayingPlayer);
    }
    if (b.CuedPlayer < 1) {
        // The next advert could not be cued while this one ran: once it has ended, the break
        // goes on without it.
        if (!cueFailed_ || !AdvertFinished(info, b.CurrentAdvert)) return false;
        PassOverAdvert(next);
        b.CurrentAdvert = next;
        cueFailed_ = false;
        UpdateBreakListing(b.CurrentAdvert);
        return true;
    }
    if (!AdvertFinished(info, b.CurrentAdvert)) return false;
    const AdvertEntry advert = b.Advert(next);
    int16_t volume = volume0;
    if (!players_->PlayPlayer(b.CuedPlayer, advert.CartNumber, volume)) return false;
    players_->ShowPlayerControls(b.CuedPlayer, false);
    if (sender_) sender_->SetNowZOZInformation(advert.CartNumber, 4, advert.Title);
    b.PlayingPlayer = b.CuedPlayer;
    b.CuedPlayer = 0;
    b.CurrentAdvert = next;
    players_->SetPlaySource(b.PlayingPlayer, advert.Reference);
    players_->SetPlayerDescription(b.PlayingPlayer, advert.Title);
    UpdateBreakListing(b.CurrentAdvert);
    return false;
}

void SplitEngine::CompleteBreak() {
    EndBreakAndCueNext(false, false, false);
    StartEndOfBreakSignal();
    SendVantor("AD_BREAK_COMPLETED");
}

void SplitEngine::EndBreakWithoutAdverts() {
    Trace("PlayBreak:No advert of the break could be played so ending it");
    MarkCuedBreakDone("passed over");
    waitTraced_.clear();
    playAsked_ = {0, 0};
    CompleteBreak();
}

void SplitEngine::PassOverAdvert(int16_t advert) {
    const ZEL_Common::SplitRecord& split = Split();
    passedOver_.insert(advert);
    const AdvertEntry& entry = Break().Advert(advert);
    ZEL_Specific::WriteErrorLog(kSplit,
                                "[Code:ADC1] Cart " + std::to_string(entry.CartNumber) + " (" +
                                    VB::Trim(entry.Title) + ") passed over in the " +
                                    GeneralFunctions::FormatDuration(split.CuedBreakTime, 2) +
                                    " advert break because its audio could not be played");
}

float SplitEngine::SumAdvertLengths(int16_t First, int16_t Last) {
    const AdBreak& b = Break();
    if (First < 1) First = 1;
    if (Last == 0) Last = b.AdvertCount;
    const int32_t noCarts = MainSettings::Settings().Audio.NoCarts;
    const bool overlap = PlayerCount() > 1;
    float sum = 0.0f;
    for (int16_t i = First; i <= Last && i <= b.AdvertCount; ++i) {
        const AdvertEntry& a = b.Advert(i);
        if (a.CartNumber > 0 && a.CartNumber <= noCarts && a.Length > 0)
            sum += overlap ? a.SegueLength : a.Length;
    }
    return sum;
}

void SplitEngine::UpdateBreakTimeInformation() {
    AdBreak& b = Break();
    if (Breaks::State().BreakRunning) {
        b.Elapsed = b.CurrentAdvert > 1
                        ? SumAdvertLengths(1, static_cast<int16_t>(b.CurrentAdvert - 1))
                        : 0.0f;
        // Past the last advert the sum is of nothing.
        float remaining = b.CurrentAdvert < b.AdvertCount
                              ? SumAdvertLengths(static_cast<int16_t>(b.CurrentAdvert + 1), 0)
                              : 0.0f;
        if (players_ && b.PlayingPlayer > 0) {
            SplitPlayerInfo info = players_->PlayerInfo(b.PlayingPlayer);
            remaining += PlayerCount() < 2 ? info.SecondsRemain : info.SecondsToExtro;
        }
        b.Remaining = remaining;
        if (b.Remaining < kNearEndWarning && b.NearEndSent == 0) {
            b.NearEndSent = -1;
            SendVantor("AD_BREAK_NEAREND " + LogSupport::SingleText(b.Remaining));
        }
    } else {
        b.Elapsed = 0.0f;
        b.Remaining = SumAdvertLengths(1, 0);
    }
    b.Total = b.Elapsed + b.Remaining;
    DisplayBreakTimeInformation();
}

void SplitEngine::DisplayBreakTimeInformation() {
    const AdBreak& b = Break();
    std::string text;
    int32_t colour = kButtonFace;
    if (Breaks::State().BreakRunning) {
        text = GeneralFunctions::FormatDuration(b.Remaining, 22);
        if (b.Remaining >= 0.0f && b.Remaining <= 5.0f)
            colour = 255;
        else if (b.Remaining > 5.0f && b.Remaining <= 9.0f)
            colour = 65535;
    } else {
        text = GeneralFunctions::FormatDuration(b.Total, 2);
    }
    bool changed = false;
    if (VB::Trim(text) != VB::Trim(timeRemainText_)) timeRemainText_ = text, changed = true;
    if (colour != timeRemainColour_) timeRemainColour_ = colour, changed = true;
    if (changed) emit breakTimesChanged();
}

void SplitEngine::UpdateBreakListing(int16_t FromAdvert) {
    const AdBreak& b = Break();
    listing_.clear();
    for (int16_t i = std::max<int16_t>(FromAdvert, 1); i <= b.AdvertCount; ++i)
        listing_.emplace_back(b.Advert(i).Title, b.Advert(i).CartNumber);
    emit breakListingChanged(FromAdvert);
}

void SplitEngine::DumpBreak(bool NotifyNetwork) {
    Trace(std::string("DumpBreak:NotifyNetwork:") + YesNo(NotifyNetwork));
    if (NotifyNetwork) Send("AD_DUMP");
    MarkCuedBreakDone("dumped");
    EndBreakAndCueNext(true, NotifyNetwork, true);
}

void SplitEngine::EndBreakAndCueNext(bool StopAudio, bool NotifyNetwork, bool ForceCueAudio) {
    const HeldCue held = heldCue_;
    const int32_t endedDate = Split().CuedBreakDate;
    const float endedTime = Split().CuedBreakTime;
    ClearAdvertBreak(StopAudio, true);
    CueNextBreak(NotifyNetwork, ForceCueAudio);
    if (held.time < 0) return;
    const auto [date, time] = HeldCueBreak(held, endedDate, endedTime);
    if (time < 0) {
        // A cue of the ended break or an earlier one would play the past again.
        Trace("AD_CUE:Dropped at break end(no break after " + VB::ShortDate(endedDate) + " " +
              GeneralFunctions::FormatDuration(endedTime, 2) + "):" + VB::ShortDate(held.date) +
              " " + GeneralFunctions::FormatDuration(held.time, 2));
        return;
    }
    Trace("AD_CUE:Applied at break end:" + VB::ShortDate(date) + " " +
          GeneralFunctions::FormatDuration(time, 2));
    SetCurrentAdBreakTime(date, time, false, true);
}

void SplitEngine::LogDumpByNetwork() {
    const float time = Split().CuedBreakTime;
    if (time < 0) return;
    ZEL_Specific::WriteErrorLog(kSplit, "[Code:ADT2] Dumped " +
                                            GeneralFunctions::FormatDuration(time, 2) +
                                            " advert break because told to by another machine");
}

void SplitEngine::KillAllOutput(bool NotifyNetwork) {
    Trace(std::string("KillAllOutput:NotifyNetwork:") + YesNo(NotifyNetwork));
    if (NotifyNetwork) Send("KILL");
    if (cartQueue_) cartQueue_->ClearQueue();
    // Every machine is killing its own break: a dump told to the network would skip the
    // next break along the chain.
    if (Breaks::State().BreakRunning) DumpBreak(false);
    const int16_t count = PlayerCount();
    for (int16_t p = 1; p <= count && players_; ++p)
        players_->EjectPlayer(p);
}

void SplitEngine::PlayerStatusNotice(int32_t NoticeCode, int16_t PlayerNumber, int32_t) {
    switch (NoticeCode) {
    case CartPlayers::pnEjectStarted: {
        if (!players_) return;
        const SplitPlayerInfo info = players_->PlayerInfo(PlayerNumber);
        if (VB::Trim(info.PlaySource).empty() || info.LastSecondsPlayed <= 0 ||
            !MainSettings::Settings().LoggingAllowed || info.LogInhibited)
            return;
        ZEL_Specific::WriteReconcileEntry(kSplit, info.PlayStarted, info.CartNumber,
                                          players_->GetCartDescription(info.CartNumber),
                                          info.LastSecondsPlayed, info.PlaySource);
        return;
    }
    case CartPlayers::pnEjectFinished:
    case CartPlayers::pnExtro:
    case CartPlayers::pnPosition:
        if (BreakTickEnabled()) {
            TickHold hold(*this);
            BreakTick();
        }
        if (cartQueue_) cartQueue_->RunQueueTick();
        return;
    default:
        return;
    }
}

void SplitEngine::StartEndOfBreakSignal() {
    const float wait = MainSettings::Settings().General.NumberSecondsWaitBeforeSignal;
    if (IntervalMs(wait) <= 0) {
        TriggerAdBreakEnd();
        return;
    }
    StartEndPulse(EndPulse::Waiting, IntervalMs(wait));
}

void SplitEngine::StartEndPulse(EndPulse stage, int milliseconds) {
    endPulse_ = stage;
    endPulseFrom_ = ClockMilliseconds();
    endPulseDue_ = endPulseFrom_ + milliseconds;
    tmrEndPulse_.start();
}

void SplitEngine::EndPulseTick() {
    if (endPulse_ == EndPulse::Off) return;
    const double now = ClockMilliseconds();
    // Due within half a millisecond; a clock set back ends the stage rather than stretching it.
    if (now < endPulseDue_ - 0.5 && now >= endPulseFrom_) return;
    if (endPulse_ == EndPulse::Waiting)
        TriggerAdBreakEnd();
    else
        ClearRunEnd();
}

void SplitEngine::TriggerAdBreakEnd() {
    endPulse_ = EndPulse::Off;
    tmrEndPulse_.stop();
    int16_t d1 = 2, d2 = 255, d3 = 255, d4 = 255, outputsOnly = 0;
    HardwareAPI::SetLinesByAction(kEndOfBreakAction, HardwareAPI::OutputOn, d1, d2, d3, d4,
                                  outputsOnly);
    const float length = MainSettings::Settings().General.NumberSecondsToSignal;
    if (IntervalMs(length) <= 0) {
        ClearRunEnd();
        return;
    }
    StartEndPulse(EndPulse::On, IntervalMs(length));
}

void SplitEngine::ClearRunEnd() {
    endPulse_ = EndPulse::Off;
    tmrEndPulse_.stop();
    int16_t d1 = 2, d2 = 255, d3 = 255, d4 = 255, outputsOnly = 0;
    HardwareAPI::SetLinesByAction(kEndOfBreakAction, HardwareAPI::OutputOff, d1, d2, d3, d4,
                                  outputsOnly);
}
