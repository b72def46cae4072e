// Wave devices that play or record 16-bit audio at 11025, 22050 or 44100 Hz.
#include "core/MultimediaAPI.h"
#include "platform/WaveDevices.h"

namespace MultimediaAPI {

namespace {

// Format bits of a device from the platform's wave devices.
bool OutFormats(int id, uint32_t& formats) {
    Platform::WaveOutCaps caps;
    if (Platform::waveOutGetDevCaps(static_cast<uint32_t>(id), &caps) != 0) return false;
    formats = caps.formats;
    return true;
}

bool InFormats(int id, uint32_t& formats) {
    Platform::WaveInCaps caps;
    if (Platform::waveInGetDevCaps(static_cast<uint32_t>(id), &caps) != 0) return false;
    formats = caps.formats;
    return true;
}

WaveDeviceQuery& Query() {
    static WaveDeviceQuery query{
        [] { return static_cast<int>(Platform::waveOutGetNumDevs()); }, OutFormats,
        [] { return static_cast<int>(Platform::waveInGetNumDevs()); }, InFormats};
    return query;
}

// The 16-bit format bit of a rate and channel count; 0 for a rate no bit stands for.
uint32_t FormatBit(int32_t SampleRate, int16_t Channels) {
    bool mono = Channels == 1;
    switch (SampleRate) {
    case 11025:
        return mono ? 0x4 : 0x8;
    case 22050:
        return mono ? 0x40 : 0x80;
    case 44100:
        return mono ? 0x400 : 0x800;
    default:
        return 0;
    }
}

// Ids from `first` to the last device that can take the format, in order.
template <typename Visit>
void ScanDevices(bool output, int first, int32_t SampleRate, int16_t Channels, Visit visit) {
    const WaveDeviceQuery& q = Query();
    const auto& count = output ? q.OutCount : q.InCount;
    const auto& formats = output ? q.OutFormats : q.InFormats;
    uint32_t bit = FormatBit(SampleRate, Channels);
    if (!count || !formats || bit == 0) return;
    int devices = count();
    for (int id = std::max(first, 0); id < devices; ++id) {
        uint32_t bits = 0;
        // A device whose query fails is not suitable.
        if (formats(id, bits) && (bits & bit) && !visit(id)) return;
    }
}

int16_t LastDevice(bool output, int32_t SampleRate, int16_t Channels) {
    int16_t last = 0;
    ScanDevices(output, 0, SampleRate, Channels, [&](int id) {
        last = static_cast<int16_t>(id);
        return true;
    });
    return last;
}

} // namespace

void SetWaveDeviceQuery(WaveDeviceQuery query) {
    Query() = std::move(query);
}

int16_t FindWaveOutDevice(int16_t StartIndex, int32_t SampleRate, int16_t Channels) {
    int16_t found = -1;
    ScanDevices(true, StartIndex, SampleRate, Channels, [&](int id) {
        found = static_cast<int16_t>(id);
        return false;
    });
    return found;
}

int16_t CountWaveOutDevices(int32_t SampleRate, int16_t Channels) {
    int16_t count = 0;
    ScanDevices(true, 0, SampleRate, Channels, [&](int) {
        ++count;
        return true;
    });
    return count;
}

int16_t LastWaveOutDevice(int32_t SampleRate, int16_t Channels) {
    return LastDevice(true, SampleRate, Channels);
}

int16_t LastWaveInDevice(int32_t SampleRate, int16_t Channels) {
    return LastDevice(false, SampleRate, Channels);
}

int16_t CountWaveInDevices(int32_t SampleRate, int16_t Channels) {
    int16_t count = 0;
    ScanDevices(false, 0, SampleRate, Channels, [&](int) {
        ++count;
        return true;
    });
    return count;
}

} // namespace MultimediaAPI
