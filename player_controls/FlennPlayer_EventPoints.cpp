// FlennPlayer: the event timer, armed at each position tick for the next event point so
// that the point's event fires when the device has played up to it, not at the next tick.
#include "player_controls/FlennPlayer.h"

#include <QMetaObject>
#include <chrono>
#include <cmath>
#include <cstdlib>

namespace {
// The countdown to the extro is read at each whole second of its last seconds.
constexpr int kCountdownSeconds = 10;
} // namespace

double FlennPlayer::PlayedSeconds() {
    const int32_t rate = FlennStreamPlay1.SampleRate();
    return rate > 0 ? static_cast<double>(FlennStreamPlay1.BlocksPlayed()) / rate : 0.0;
}

float FlennPlayer::PositionNow() {
    return static_cast<float>(baseTime_ + PlayedSeconds());
}

float FlennPlayer::NextEventPoint(float p) const {
    float next = -1;
    const auto consider = [&](float at) {
        if (at > p && (next < 0 || at < next)) next = at;
    };
    consider(introStart_);
    consider(introEnd_);
    if (hookEnd_ > 0) {
        consider(hookStart_);
        consider(hookEnd_);
    }
    consider(extro_);
    for (int k = 1; k <= kCountdownSeconds; ++k)
        consider(extro_ - static_cast<float>(k));
    if (sweeperStart_ >= 0) consider(sweeperStart_);
    if (useLoop_) consider(LoopEnd());
    consider(std::min(audioEnd_, totalAudioLength_));
    for (const VCHEV& e : volumeEvents_) {
        if (e.Reference < 0) continue;
        consider(e.StartTime);
        consider(e.StartTime + e.Duration);
    }
    return next;
}

int32_t FlennPlayer::MsToNextEvent() {
    if (!IsOpen() || !playingFlag_ || audioFinished_) return -1;
    const float p = PositionNow();
    const float next = NextEventPoint(p);
    if (next < 0) return -1;
    // At least a millisecond: the position moves in whole milliseconds.
    return std::max(1, static_cast<int32_t>(std::ceil((next - p) * 1000.0)));
}

void FlennPlayer::ArmEventTimer() {
    const int32_t ms = MsToNextEvent();
    // A point beyond the next two ticks is armed by a later tick, and a timer already set for
    // the same moment is left as it is: each tick would otherwise re-register the timer.
    if (ms < 0 || ms > 2 * tmrPosition.interval()) {
        tmrEvent.stop();
        return;
    }
    const int64_t due = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count() +
                        ms;
    if (tmrEvent.isActive() && std::abs(due - eventDue_) <= 1) return;
    eventDue_ = due;
    tmrEvent.start(ms);
}

void FlennPlayer::PointsChanged() {
    ArmEventTimer();
    if (IsOpen() && !tmrPosition.isActive()) tmrPosition.start();
}

void FlennPlayer::FillWhenCued() {
    const int32_t counter = openedFileCounter_;
    QMetaObject::invokeMethod(
        this,
        [this, counter] {
            if (!Reopened(counter) && IsOpen() && !playingFlag_) FillPlaybackBuffers();
        },
        Qt::QueuedConnection);
}
