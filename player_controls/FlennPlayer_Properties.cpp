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

void FlennPlayer::InitProperties() {
    raiseAudioPositionChanged_ = true;
    maxLoopCount_ = 1000;
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
    maxLoopCount_ = static_cast<int16_t>(readLong("MaxLoopCount", 1000));
    raiseAudioPositionChanged_ = readBool("RaiseAudioPositionChanged", false);
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
}

void FlennPlayer::SetNumberWavePlayBuffers(int32_t& numBuffers) {
    if (numBuffers <= 0) return Refuse("Invalid Number of Wave Buffers Specified ");
    FlennStreamPlay1.SetNumberWaveBuffers(numBuffers);
}

void FlennPlayer::SetSampleRate(int32_t& NewSampleRate) {
    if (NewSampleRate != 11025 && NewSampleRate != 22050 && NewSampleRate != 44100 &&
        NewSampleRate != 48000)
        return Refuse("Invalid SampleRate Specified, must be 11025, 22050, 44100, 48000");
    sampleRate_ = NewSampleRate;
    FlennStreamPlay1.SetSampleRate(NewSampleRate);
}

void FlennPlayer::SetNumberChannels(int32_t& NewNumberChannels) {
    if (NewNumberChannels != 1 && NewNumberChannels != 2)
        return Refuse("Invalid NumberChannels Specified : \nMax = 2");
    numberChannels_ = NewNumberChannels;
    FlennStreamPlay1.SetNumberChannels(NewNumberChannels);
}

void FlennPlayer::SetNumberCacheSeconds(int16_t& NewNumberCacheSeconds) {
    if (NewNumberCacheSeconds < 0) NewNumberCacheSeconds = 0;
    numberCacheSeconds_ = NewNumberCacheSeconds;
}

void FlennPlayer::SetRaiseAudioLevelEvents(int32_t value) {
    raiseAudioLevelEvents_ = value;
    FlennStreamPlay1.SetRaiseAudioLevelEvents(value);
}

void FlennPlayer::SetSampleAudioLevel(bool value) {
    sampleAudioLevel_ = value;
    FlennStreamPlay1.SetSampleAudioLevel(value);
}

void FlennPlayer::SetDirectXMode(bool value) {
    FlennStreamPlay1.SetDirectXMode(value);
    directXMode_ = FlennStreamPlay1.DirectXMode();
}
