// FlennPlayer: initial, stored and checked properties.
#include "player_controls/FlennPlayer.h"

#include "platform/MessageBox.h"

using namespace Platform::Com;

namespace {
constexpr const char* kTitle = "Flenney";
} // namespace

void FlennPlayer::Refuse(const std::string& message) const {
    if (reportErrors_) Platform::MsgBox(message, Platform::vbOKOnly, kTitle);
}

void FlennPlayer::Notify(const char* name) {
    if (std::find(changedProperties_.begin(), changedProperties_.end(), name) ==
        changedProperties_.end())
        changedProperties_.push_back(name);
}

void FlennPlayer::InitProperties() {
    surfaceHeight_ = 1800;
    SetRaiseAudioPositionChanged(true);
    SetMaxLoopCount(1000);
    SetRaiseAudioLevelEvents(1);
    SetSampleAudioLevel(true);
    int32_t length = 100, buffers = 10, channels = 2, rate = 44100;
    int16_t cache = 4;
    SetWaveBufferLengthms(length);
    SetNumberWavePlayBuffers(buffers);
    SetNumberCacheSeconds(cache);
    SetNumberChannels(channels);
    SetSampleRate(rate);
    SetReportErrors(true);
    SetWaveOutDeviceNumber(0);
}

void FlennPlayer::ReadProperties(const PropertyBag& bag) {
    const auto readLong = [&](const char* key, int32_t def) {
        return ToLong(bag.ReadProperty(key, def)).value_or(def);
    };
    const auto readBool = [&](const char* key, bool def) {
        return ToBoolean(bag.ReadProperty(key, def)).value_or(def);
    };
    int32_t length = readLong("WaveBufferLengthms", 100);
    SetWaveBufferLengthms(length);
    int32_t buffers = readLong("NumberWavePlayBuffers", 10);
    SetNumberWavePlayBuffers(buffers);
    int32_t channels = readLong("NumberChannels", 2);
    SetNumberChannels(channels);
    int32_t rate = readLong("SampleRate", 44100);
    SetSampleRate(rate);
    int16_t cache = static_cast<int16_t>(readLong("NumberCacheSeconds", 4));
    SetNumberCacheSeconds(cache);
    SetWaveOutDeviceNumber(static_cast<int16_t>(readLong("WaveOutDeviceNumber", 0)));
    SetMaxLoopCount(static_cast<int16_t>(readLong("MaxLoopCount", 1000)));
    SetRaiseAudioPositionChanged(readBool("RaiseAudioPositionChanged", false));
    SetRaiseAudioLevelEvents(readLong("RaiseLevelChangeEvents", 1));
    SetSampleAudioLevel(readBool("SampleAudioLevel", true));
    SetReportErrors(readBool("ReportErrors", true));
    SetDirectXMode(readBool("DirectXMode", false));
}

void FlennPlayer::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty("WaveBufferLengthms", WaveBufferLengthms(), 100);
    bag.WriteProperty("NumberWavePlayBuffers", NumberWavePlayBuffers(), 10);
    bag.WriteProperty("NumberChannels", numberChannels_, 2);
    bag.WriteProperty("SampleRate", sampleRate_, 44100);
    bag.WriteProperty("NumberCacheSeconds", numberCacheSeconds_, int16_t(4));
    bag.WriteProperty("WaveOutDeviceNumber", WaveOutDeviceNumber(), int16_t(0));
    bag.WriteProperty("MaxLoopCount", maxLoopCount_, int16_t(1000));
    bag.WriteProperty("RaiseAudioPositionChanged", raiseAudioPositionChanged_, false);
    bag.WriteProperty("RaiseLevelChangeEvents", raiseAudioLevelEvents_, 1);
    bag.WriteProperty("SampleAudioLevel", sampleAudioLevel_, true);
    bag.WriteProperty("ReportErrors", reportErrors_, true);
    bag.WriteProperty("DirectXMode", directXMode_, false);
}

void FlennPlayer::SetWaveBufferLengthms(int32_t& BufferLength) {
    if (BufferLength <= 0) return Refuse("Invalid Buffer Length Specified");
    FlennStreamPlay1.SetWaveBufferLengthms(BufferLength);
    Notify("WaveBufferLengthms");
}

void FlennPlayer::SetNumberWavePlayBuffers(int32_t& numBuffers) {
    if (numBuffers <= 0) return Refuse("Invalid Number of Wave Buffers Specified ");
    FlennStreamPlay1.SetNumberWaveBuffers(numBuffers);
    Notify("NumberWavePlayBuffers");
}

void FlennPlayer::SetSampleRate(int32_t& NewSampleRate) {
    if (NewSampleRate != 11025 && NewSampleRate != 22050 && NewSampleRate != 44100 &&
        NewSampleRate != 48000)
        return Refuse("Invalid SampleRate Specified, must be 11025, 22050, 44100, 48000");
    sampleRate_ = NewSampleRate;
    FlennStreamPlay1.SetSampleRate(NewSampleRate);
    Notify("SampleRate");
}

void FlennPlayer::SetNumberChannels(int32_t& NewNumberChannels) {
    if (NewNumberChannels != 1 && NewNumberChannels != 2)
        return Refuse("Invalid NumberChannels Specified : \nMax = 2");
    numberChannels_ = NewNumberChannels;
    FlennStreamPlay1.SetNumberChannels(NewNumberChannels);
    Notify("NumberChannels");
}

void FlennPlayer::SetNumberCacheSeconds(int16_t& NewNumberCacheSeconds) {
    if (NewNumberCacheSeconds < 0) NewNumberCacheSeconds = 0;
    numberCacheSeconds_ = NewNumberCacheSeconds;
    Notify("NumberCacheSeconds");
}

void FlennPlayer::SetRaiseAudioLevelEvents(int32_t value) {
    raiseAudioLevelEvents_ = value;
    FlennStreamPlay1.SetRaiseAudioLevelEvents(value);
    Notify("RaiseAudioLevelEvents");
}

void FlennPlayer::SetSampleAudioLevel(bool value) {
    sampleAudioLevel_ = value;
    FlennStreamPlay1.SetSampleAudioLevel(value);
    Notify("SampleAudioLevel");
}

void FlennPlayer::SetDirectXMode(bool value) {
    FlennStreamPlay1.SetDirectXMode(value);
    directXMode_ = FlennStreamPlay1.DirectXMode();
    Notify("DirectXMode");
}

void FlennPlayer::SetWaveOutDeviceNumber(int16_t value) {
    FlennStreamPlay1.SetWaveDeviceNumber(value);
    Notify("WaveOutDeviceNumber");
    const int32_t number = FlennStreamPlay1.WaveDeviceNumber();
    waveOutCaps_ = {};
    Platform::waveOutGetDevCaps(number == 0 ? 0u : static_cast<uint32_t>(number - 1),
                                &waveOutCaps_);
}

std::string FlennPlayer::WaveOutDeviceName() const {
    // Device number - 1, so 0 asks for the wave mapper; the whole 32-character name field.
    const uint32_t id = static_cast<uint32_t>(FlennStreamPlay1.WaveDeviceNumber() - 1);
    Platform::WaveOutCaps caps;
    if (Platform::waveOutGetDevCaps(id, &caps) != 0) return "";
    std::string name = caps.productName.substr(0, 31);
    name.resize(32, '\0');
    return name;
}

void FlennPlayer::SetReportErrors(bool v) {
    reportErrors_ = v;
    FlennStreamPlay1.SetReportErrors(v);
    Notify("ReportErrors");
}

void FlennPlayer::SetRaiseAudioPositionChanged(bool v) {
    raiseAudioPositionChanged_ = v;
    Notify("RaiseAudioPositionChanged");
}

void FlennPlayer::SetFlushBuffers(bool v) {
    flushBuffers_ = v;
    Notify("FlushBuffers");
}

void FlennPlayer::SetMaxLoopCount(int16_t value) {
    maxLoopCount_ = std::max<int16_t>(value, 0);
    Notify("MaxLoopCount");
}

void FlennPlayer::SetFadeMode(int32_t mode) {
    fadeMode_ = mode;
    Notify("FadeMode");
}

void FlennPlayer::SetInverseLogFades(bool value) {
    SetFadeMode(value ? efmSlowStart : efmNormal);
    Notify("InverseLogFades");
}

void FlennPlayer::SetDebugFile(const std::string& DebugFileName, int32_t DebugMode) {
    SetDebugFile(DebugFileName);
    debug_.SetLevel(DebugMode);
}

void FlennPlayer::SetAudioStart(float value) {
    const float v = std::min(std::max(value, 0.0f), totalAudioLength_);
    audioStart_ = v;
    for (float* point : {&audioEnd_, &introStart_, &introEnd_, &hookStart_, &hookEnd_, &extro_})
        *point = std::max(*point, v);
    audioLength_ = audioEnd_ - audioStart_;
    if (totalSecondsPlayed_ < audioStart_) SeekTime(audioStart_, true);
    PositionTick();
}

void FlennPlayer::SetAudioEnd(float value) {
    const float v = std::min(std::max(value, 0.0f), totalAudioLength_);
    audioEnd_ = v;
    audioFinished_ = false;
    for (float* point :
         {&audioStart_, &introStart_, &introEnd_, &extro_, &sweeperStart_, &hookStart_, &hookEnd_})
        *point = std::min(*point, v);
    audioLength_ = audioEnd_ - audioStart_;
    PositionTick();
}

void FlennPlayer::SetIntroStart(float value) {
    introStart_ = WithinWindow(value);
    introStartFlag_ = false;
    introEnd_ = std::max(introEnd_, introStart_);
    PointsChanged();
}

void FlennPlayer::SetIntroEnd(float value) {
    introEnd_ = WithinWindow(value);
    introEndFlag_ = false;
    introStart_ = std::min(introStart_, introEnd_);
    PointsChanged();
}

void FlennPlayer::SetHookStart(float value) {
    hookStart_ = WithinWindow(value);
    hookStartFlag_ = false;
    hookEnd_ = std::max(hookEnd_, hookStart_);
    PointsChanged();
}

void FlennPlayer::SetHookEnd(float value) {
    hookEnd_ = WithinWindow(value);
    hookEndFlag_ = false;
    hookStart_ = std::min(hookStart_, hookEnd_);
    PointsChanged();
}

void FlennPlayer::SetExtro(float value) {
    extro_ = WithinWindow(value);
    extroFlag_ = false;
    PointsChanged();
}

void FlennPlayer::SetSweeperStart(float value) {
    // A negative value means no sweeper point and is kept.
    float v = value >= 0 ? std::max(value, audioStart_) : value;
    sweeperStart_ = std::min(v, audioEnd_);
    sweeperFlag_ = false;
    PointsChanged();
}
