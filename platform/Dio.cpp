#include "platform/Dio.h"

#include <comedilib.h>

#include <map>
#include <memory>

namespace Platform::Dio {

namespace {

struct OpenDevice {
    int32_t deviceNumber = 0;
    SimulatedCard* simulated = nullptr;
    comedi_t* comedi = nullptr;
    int subdevice = -1;
};

struct DioState {
    std::map<int32_t, std::unique_ptr<SimulatedCard>> cards;
    std::map<int32_t, OpenDevice> open;
    int32_t nextHandle = 1;
};

DioState& State() {
    static DioState state;
    return state;
}

OpenDevice* Find(int32_t handle) {
    auto it = State().open.find(handle);
    return it == State().open.end() ? nullptr : &it->second;
}

int32_t OpenComedi(int32_t deviceNumber, OpenDevice& device) {
    std::string path = "/dev/comedi" + std::to_string(deviceNumber);
    comedi_t* c = comedi_open(path.c_str());
    if (!c) return DioNoDevice;
    int sub = comedi_find_subdevice_by_type(c, COMEDI_SUBD_DIO, 0);
    if (sub < 0) {
        comedi_close(c);
        return DioNoDevice;
    }
    device.comedi = c;
    device.subdevice = sub;
    return DioOk;
}

int ComediChannels(const OpenDevice& d) {
    int n = comedi_get_n_channels(d.comedi, static_cast<unsigned>(d.subdevice));
    return n < 0 ? 0 : n;
}

} // namespace

int32_t DRV_DeviceOpen(int32_t DeviceNumber, int32_t& Handle) {
    Handle = 0;
    OpenDevice device;
    device.deviceNumber = DeviceNumber;
    if (SimulatedCard* card = FindSimulatedCard(DeviceNumber)) {
        if (card->FailOpen != 0) return card->FailOpen;
        device.simulated = card;
        ++card->OpenHandles;
    } else if (int32_t rc = OpenComedi(DeviceNumber, device); rc != DioOk) {
        return rc;
    }
    Handle = State().nextHandle++;
    State().open[Handle] = device;
    return DioOk;
}

int32_t DRV_DeviceGetFeatures(int32_t Handle, DeviceFeatures& Features) {
    OpenDevice* d = Find(Handle);
    if (!d) return DioBadHandle;
    if (d->simulated) {
        if (d->simulated->FailFeatures != 0) return d->simulated->FailFeatures;
        Features = d->simulated->Features;
        return DioOk;
    }
    // A comedi DIO subdevice: every channel can be either; count them as half in, half out.
    int channels = ComediChannels(*d);
    Features.BoardID = 0;
    Features.DigitalInputs = static_cast<int16_t>(channels / 2);
    Features.DigitalOutputs = static_cast<int16_t>(channels - channels / 2);
    return DioOk;
}

int32_t DRV_DioGetConfig(int32_t Handle, PortConfig& Config) {
    OpenDevice* d = Find(Handle);
    if (!d) return DioBadHandle;
    if (d->simulated) {
        if (d->simulated->FailConfig != 0) return d->simulated->FailConfig;
        Config = d->simulated->Config;
        return DioOk;
    }
    Config = PortConfig{};
    int ports = ComediChannels(*d) / 8;
    for (int p = 0; p < ports && p < 10; ++p) {
        unsigned direction = COMEDI_INPUT;
        if (comedi_dio_get_config(d->comedi, static_cast<unsigned>(d->subdevice),
                                  static_cast<unsigned>(p * 8), &direction) < 0)
            return DioDriverFailed;
        Config.Modes[static_cast<size_t>(p)] = direction == COMEDI_OUTPUT ? 1 : 0;
        Config.PortCount = static_cast<int16_t>(p + 1);
    }
    return DioOk;
}

int32_t DRV_DioReadPortByte(int32_t Handle, int16_t Port, uint8_t& Value) {
    OpenDevice* d = Find(Handle);
    if (!d) return DioBadHandle;
    if (d->simulated) {
        if (Port < 0 || Port >= static_cast<int16_t>(d->simulated->InputBytes.size()))
            return DioBadPort;
        if (d->simulated->FailRead != 0) return d->simulated->FailRead;
        Value = d->simulated->InputBytes[static_cast<size_t>(Port)];
        return DioOk;
    }
    if (Port < 0 || (Port + 1) * 8 > ComediChannels(*d)) return DioBadPort;
    unsigned bits = 0;
    if (comedi_dio_bitfield2(d->comedi, static_cast<unsigned>(d->subdevice), 0, &bits,
                             static_cast<unsigned>(Port * 8)) < 0)
        return DioDriverFailed;
    Value = static_cast<uint8_t>(bits & 0xFF);
    return DioOk;
}

int32_t DRV_DioWritePortByte(int32_t Handle, int16_t Port, uint8_t Value) {
    OpenDevice* d = Find(Handle);
    if (!d) return DioBadHandle;
    if (d->simulated) {
        if (Port < 0 || Port >= static_cast<int16_t>(d->simulated->OutputBytes.size()))
            return DioBadPort;
        d->simulated->OutputBytes[static_cast<size_t>(Port)] = Value;
        return DioOk;
    }
    if (Port < 0 || (Port + 1) * 8 > ComediChannels(*d)) return DioBadPort;
    unsigned bits = Value;
    if (comedi_dio_bitfield2(d->comedi, static_cast<unsigned>(d->subdevice), 0xFF, &bits,
                             static_cast<unsigned>(Port * 8)) < 0)
        return DioDriverFailed;
    return DioOk;
}

std::string DRV_GetErrorMessage(int32_t Code, size_t BufferSize) {
    std::string text;
    switch (Code) {
    case DioOk:
        text = "The operation completed successfully.";
        break;
    case DioNoDevice:
        text = "No digital I/O device at this device number.";
        break;
    case DioBadHandle:
        text = "The device is not open.";
        break;
    case DioBadPort:
        text = "The port number is outside the device.";
        break;
    case DioDriverFailed:
        text = std::string("The driver failed: ") + comedi_strerror(comedi_errno());
        break;
    default:
        text = "Unknown driver error " + std::to_string(Code) + ".";
        break;
    }
    if (BufferSize > 0 && text.size() > BufferSize - 1) text.resize(BufferSize - 1);
    return text;
}

int32_t DRV_DeviceClose(int32_t& Handle) {
    OpenDevice* d = Find(Handle);
    if (!d) return DioBadHandle;
    int32_t rc = DioOk;
    if (d->simulated) {
        --d->simulated->OpenHandles;
        rc = d->simulated->FailClose;
    } else if (comedi_close(d->comedi) < 0) {
        rc = DioDriverFailed;
    }
    State().open.erase(Handle);
    Handle = 0;
    return rc;
}

SimulatedCard& InstallSimulatedCard(int32_t DeviceNumber) {
    auto& slot = State().cards[DeviceNumber];
    slot = std::make_unique<SimulatedCard>();
    return *slot;
}

SimulatedCard* FindSimulatedCard(int32_t DeviceNumber) {
    auto it = State().cards.find(DeviceNumber);
    return it == State().cards.end() ? nullptr : it->second.get();
}

void RemoveSimulatedCard(int32_t DeviceNumber) {
    for (auto it = State().open.begin(); it != State().open.end();)
        it = it->second.deviceNumber == DeviceNumber && it->second.simulated
                 ? State().open.erase(it)
                 : std::next(it);
    State().cards.erase(DeviceNumber);
}

void RemoveAllSimulatedCards() {
    for (auto it = State().open.begin(); it != State().open.end();)
        it = it->second.simulated ? State().open.erase(it) : std::next(it);
    State().cards.clear();
}

} // namespace Platform::Dio
