// FlennPlayer: timed volume changes, the fade curves and the loop points.
#include "player_controls/FlennPlayer.h"

#include "platform/VB.h"

#include <cmath>

namespace {
float EndTime(const VCHEV& e) {
    return e.StartTime + e.Duration;
}
void Rearm(VCHEV& e) {
    e.Notified = e.NotifiedStart = e.NotifiedEnd = 0;
}
constexpr int16_t kSlots = 10;
} // namespace

void FlennPlayer::SetAudioVolume(float NewVolume) {
    const int32_t counter = openedFileCounter_;
    Debug([&] { return "Start Function SetAudioVolume(" + std::to_string(NewVolume) + ")"; });
    const double v = NewVolume;
    double e = v;
    if (fadeMode_ == efmSlowStart) e = v < 1 ? 0 : 100 * std::log(v) / std::log(100.0);
    if (fadeMode_ == efmFastStart) e = v < 1 ? 0 : 100 - 100 * std::log(101 - v) / std::log(100.0);
    FlennStreamPlay1.SetPlayVolume(static_cast<float>(e));
    emit AudioVolumeChanged(static_cast<int16_t>(VB::RoundHalfEven(NewVolume)));
    if (!Reopened(counter)) Debug("End Function SetAudioVolume");
}

float FlennPlayer::PlayVolume() const {
    const double e = FlennStreamPlay1.PlayVolume();
    if (fadeMode_ == efmSlowStart) return static_cast<float>(std::pow(100.0, e / 100));
    if (fadeMode_ == efmFastStart)
        return static_cast<float>(101 - std::pow(100.0, (100 - e) / 100));
    return static_cast<float>(e);
}

void FlennPlayer::SetPlayVolume(float value) {
    value = std::clamp(value, 0.f, 100.f);
    storedPlayVolume_ = value;
    SetAudioVolume(value);
}

bool FlennPlayer::AddVolumeChangeEvent(int16_t& ReferenceNumber, float StartTime, float Duration,
                                       float StartVolume, float EndVolume, float NotifyVolume,
                                       bool RemoveWhenComplete, bool& SetVolumePermanently) {
    VCHEV* slot = nullptr;
    for (VCHEV& e : volumeEvents_)
        if (e.Reference == ReferenceNumber || e.Reference == -1) {
            slot = &e;
            break;
        }
    if (!slot) return false;
    if (StartTime < audioStart_) StartTime = audioStart_;
    if (StartTime > audioEnd_) return false;
    slot->Reference = ReferenceNumber;
    slot->StartTime = StartTime;
    slot->Duration = std::max(Duration, 0.f);
    slot->StartVolume = std::clamp(StartVolume, 0.f, 100.f);
    slot->EndVolume = std::clamp(EndVolume, 0.f, 100.f);
    slot->NotifyVolume = std::min(NotifyVolume, 100.f);
    slot->RemoveWhenComplete = RemoveWhenComplete ? -1 : 0;
    slot->SetVolumePermanently = SetVolumePermanently ? -1 : 0;
    Rearm(*slot);
    UpdateVolumeChangeTimes();
    PointsChanged();
    return true;
}

bool FlennPlayer::RemoveVolumeChangeEvent(int16_t& ReferenceNumber) {
    const int16_t reference = ReferenceNumber;
    bool found = false;
    for (int16_t i = 0; i < kSlots; ++i)
        if (volumeEvents_[i].Reference == reference) {
            ClearVolumeChangeEvent(i);
            found = true;
        }
    UpdateVolumeChangeTimes();
    if (firstVolumeTime_ == -1 && PlayVolume() != storedPlayVolume_)
        SetAudioVolume(storedPlayVolume_);
    return found;
}

bool FlennPlayer::GetVolumeChangeEvent(int16_t& ReferenceNumber, VCHEV& VolChangeEvent) const {
    for (const VCHEV& e : volumeEvents_)
        if (e.Reference == ReferenceNumber) {
            VolChangeEvent = e;
            return true;
        }
    return false;
}

int16_t FlennPlayer::NumberVolumeChangeEvents() const {
    return static_cast<int16_t>(std::count_if(std::begin(volumeEvents_), std::end(volumeEvents_),
                                              [](const VCHEV& e) { return e.Reference >= 0; }));
}

void FlennPlayer::ClearVolumeChangeEvent(int16_t slot) {
    volumeEvents_[slot] = VCHEV();
}

void FlennPlayer::ClearAllVolumeChangeEvents() {
    for (int16_t i = 0; i < kSlots; ++i)
        ClearVolumeChangeEvent(i);
}

void FlennPlayer::UpdateVolumeChangeTimes() {
    float first = -1, last = -1;
    for (const VCHEV& e : volumeEvents_) {
        if (e.Reference < 0) continue;
        if (first == -1 || e.StartTime < first) first = e.StartTime;
        last = std::max(last, EndTime(e));
    }
    firstVolumeTime_ = first;
    lastVolumeTime_ = last;
    SortVolumeChangeEvents();
}

// Shell sort by end time over gaps 5, 2, 1 (free slots count as ending at 0), then the used
// entries are packed at the front.
void FlennPlayer::SortVolumeChangeEvents() {
    VCHEV work[kSlots];
    std::copy(std::begin(volumeEvents_), std::end(volumeEvents_), work);
    const auto key = [](const VCHEV& e) { return e.Reference >= 0 ? EndTime(e) : 0.f; };
    for (int gap = kSlots / 2; gap > 0; gap /= 2)
        for (int i = gap; i < kSlots; ++i) {
            VCHEV held = work[i];
            int j = i - gap;
            for (; j >= 0 && key(work[j]) >= key(held); j -= gap)
                work[j + gap] = work[j];
            work[j + gap] = held;
        }
    int16_t n = 0;
    for (const VCHEV& e : work)
        if (e.Reference >= 0) volumeEvents_[n++] = e;
    for (; n < kSlots; ++n)
        ClearVolumeChangeEvent(n);
}

void FlennPlayer::FinishedVolumeChangeEvent(int16_t& slot) {
    Debug(
        [&] {
            return "Start Function FinishedVolumeChangeEvent(" + std::to_string(slot + 1) + ")";
        },
        dmMedium);
    VCHEV& e = volumeEvents_[slot];
    if (e.NotifiedEnd) return;
    e.NotifiedEnd = -1;
    const int32_t counter = openedFileCounter_;
    int16_t reference = e.Reference;
    const bool permanent = e.SetVolumePermanently != 0, remove = e.RemoveWhenComplete != 0;
    const float endVolume = e.EndVolume;
    Debug([&] { return "Raise event VolumeChangeEndNotify(" + std::to_string(reference) + ")"; },
          dmMedium);
    emit VolumeChangeEndNotify(reference);
    if (Reopened(counter)) return;
    if (permanent) SetPlayVolume(endVolume);
    if (remove) {
        reference = volumeEvents_[slot].Reference;
        RemoveVolumeChangeEvent(reference);
    }
    Debug("End Function FinishedVolumeChangeEvent", dmMedium);
}

bool FlennPlayer::StepVolumeEnvelope() {
    const int32_t counter = openedFileCounter_;
    const float t = totalSecondsPlayed_;
    const bool moved = secondsPlayed_ != previousSecondsPlayed_;
    float vol = -1;
    const float current = PlayVolume();
    if (t > lastVolumeTime_) {
        if (moved)
            for (int16_t i = 0; i < kSlots; ++i)
                if (volumeEvents_[i].Reference >= 0) {
                    FinishedVolumeChangeEvent(i);
                    if (Reopened(counter)) return false;
                }
        vol = storedPlayVolume_;
    } else if (t < firstVolumeTime_) {
        if (moved)
            for (VCHEV& e : volumeEvents_)
                if (e.Reference >= 0) Rearm(e);
        vol = storedPlayVolume_;
    } else {
        for (int16_t i = 0; i < kSlots; ++i) {
            VCHEV& e = volumeEvents_[i];
            if (e.Reference < 0) continue;
            if (t < e.StartTime) {
                Rearm(e);
                continue;
            }
            if (!e.NotifiedStart) {
                e.NotifiedStart = -1;
                emit VolumeChangeStartNotify(e.Reference);
                if (Reopened(counter)) return false;
            }
            if (e.Duration == 0 || EndTime(e) <= t) {
                vol = e.EndVolume;
                FinishedVolumeChangeEvent(i);
                if (Reopened(counter)) return false;
                continue;
            }
            vol = (e.EndVolume - e.StartVolume) * (t - e.StartTime) / e.Duration + e.StartVolume;
            const bool rising = e.StartVolume <= e.EndVolume;
            if (e.NotifyVolume >= 0 && !e.Notified &&
                (rising ? vol >= e.NotifyVolume : vol <= e.NotifyVolume)) {
                e.Notified = -1;
                emit VolumeChangeNotify(e.Reference);
                if (Reopened(counter)) return false;
            }
        }
    }
    if (vol >= 0 && vol != current) SetAudioVolume(vol);
    return !Reopened(counter);
}

float FlennPlayer::LoopStart() const {
    return totalBlocks_ > 0 ? totalAudioLength_ * loopStartBlock_ / totalBlocks_ : 0;
}

float FlennPlayer::LoopEnd() const {
    return totalBlocks_ > 0 ? totalAudioLength_ * loopEndBlock_ / totalBlocks_ : 0;
}

void FlennPlayer::SetLoopStart(float value) {
    if (!IsOpen() || totalBlocks_ < 1) return;
    float v = value;
    if (!loopSetGuard_) {
        loopSetGuard_ = true;
        v = std::min(std::max(v, audioStart_), audioEnd_);
        if (v > LoopEnd()) SetLoopEnd(v);
        loopSetGuard_ = false;
    }
    loopStartBlock_ =
        static_cast<int32_t>(VB::RoundHalfEven(double(v) / totalAudioLength_ * totalBlocks_));
}

void FlennPlayer::SetLoopEnd(float value) {
    if (!IsOpen() || totalBlocks_ < 1) return;
    float v = value;
    if (!loopSetGuard_) {
        loopSetGuard_ = true;
        v = std::min(std::max(v, audioStart_), audioEnd_);
        if (v < LoopStart()) SetLoopStart(v);
        loopSetGuard_ = false;
    }
    loopEndBlock_ = static_cast<int32_t>(std::floor(double(v) / totalAudioLength_ * totalBlocks_));
}

void FlennPlayer::SetUseLoop(bool value) {
    if (!IsOpen()) return;
    const bool state = LoopEnd() > audioStart_ ? value : false;
    if (state != useLoop_) loopCount_ = 0;
    useLoop_ = state;
}

bool FlennPlayer::InLoop() const {
    return IsOpen() && useLoop_ && LoopStart() <= totalSecondsPlayed_ &&
           totalSecondsPlayed_ < LoopEnd();
}

void FlennPlayer::ExitLoop() {
    if (!InLoop()) return;
    useLoop_ = false;
    ClearBuffer(true, true);
    const int32_t counter = openedFileCounter_;
    SeekBlock(loopEndBlock_);
    if (Reopened(counter)) return;
    emit LoopCompleted();
    if (Reopened(counter)) return;
    // The seek emptied the engine: queue from the loop end so that playback goes on at once.
    FillPlaybackBuffers();
    if (Reopened(counter)) return;
    FlennStreamPlay1.StartPlayback();
}
