#pragma once
// The members of a cart player's control that the player operations use beyond opening,
// transport and cue points. Where the control has the member it is called; where it has not
// (yet), the engine stands in (device, buffers, volume) or the request is refused (loops,
// volume envelopes), so the operations behave as with a cart that has neither.
#include "player_controls/FlennPlayer.h"

#include <cmath>
#include <cstdint>

namespace PlayerControl {

template <typename P> float PlayVolume(P& p) {
    if constexpr (requires { p.PlayVolume(); })
        return p.PlayVolume();
    else
        return p.Engine().PlayVolume();
}

template <typename P> void SetPlayVolume(P& p, float volume) {
    if constexpr (requires { p.SetPlayVolume(volume); })
        p.SetPlayVolume(volume);
    else
        p.Engine().SetPlayVolume(volume);
}

template <typename P> void SetWaveOutDeviceNumber(P& p, int16_t device) {
    if constexpr (requires { p.SetWaveOutDeviceNumber(device); })
        p.SetWaveOutDeviceNumber(device);
    else
        p.Engine().SetWaveDeviceNumber(device);
}

template <typename P> int32_t WaveOutDeviceNumber(P& p) {
    if constexpr (requires { p.WaveOutDeviceNumber(); })
        return p.WaveOutDeviceNumber();
    else
        return p.Engine().WaveDeviceNumber();
}

// Engine buffers: seconds of file cache, buffer length and count.
template <typename P> void SetBuffers(P& p, int16_t cacheSeconds, int32_t lengthMs, int32_t count) {
    if constexpr (requires { p.SetNumberCacheSeconds(cacheSeconds); })
        p.SetNumberCacheSeconds(cacheSeconds);
    if constexpr (requires { p.SetWaveBufferLengthms(lengthMs); })
        p.SetWaveBufferLengthms(lengthMs);
    else
        p.Engine().SetWaveBufferLengthms(lengthMs);
    if constexpr (requires { p.SetNumberWavePlayBuffers(count); })
        p.SetNumberWavePlayBuffers(count);
    else
        p.Engine().SetNumberWaveBuffers(count);
}

// Loop between two file times, at most maxCount passes. False when the control cannot loop.
template <typename P> bool SetLoop(P& p, float start, float end, int16_t maxCount) {
    if constexpr (requires {
                      p.SetLoopStart(start);
                      p.SetLoopEnd(end);
                      p.SetUseLoop(true);
                      p.SetMaxLoopCount(maxCount);
                  }) {
        p.SetLoopStart(start);
        p.SetLoopEnd(end);
        p.SetUseLoop(true);
        p.SetMaxLoopCount(maxCount);
        return true;
    } else {
        return false;
    }
}

template <typename P> bool UseLoop(P& p) {
    if constexpr (requires { p.UseLoop(); })
        return p.UseLoop();
    else
        return false;
}

template <typename P> void SetUseLoop(P& p, bool on) {
    if constexpr (requires { p.SetUseLoop(on); }) p.SetUseLoop(on);
}

template <typename P> bool InLoop(P& p) {
    if constexpr (requires { p.InLoop(); })
        return p.InLoop();
    else
        return false;
}

template <typename P> void ExitLoop(P& p) {
    if constexpr (requires { p.ExitLoop(); }) p.ExitLoop();
}

// A timed volume change of the control's envelope; false when refused.
template <typename P>
bool AddVolumeChangeEvent(P& p, int16_t reference, float startTime, float seconds,
                          float startVolume, float endVolume, float notifyVolume) {
    if constexpr (requires {
                      p.AddVolumeChangeEvent(reference, startTime, seconds, startVolume, endVolume,
                                             notifyVolume, true, true);
                  })
        return p.AddVolumeChangeEvent(reference, startTime, seconds, startVolume, endVolume,
                                      notifyVolume, true, true);
    else
        return false;
}

template <typename P> void RemoveVolumeChangeEvent(P& p, int16_t reference) {
    if constexpr (requires { p.RemoveVolumeChangeEvent(reference); })
        p.RemoveVolumeChangeEvent(reference);
}

} // namespace PlayerControl
