#include "platform/Joystick.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/joystick.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace Platform::Joystick {

namespace {

std::unique_ptr<SimulatedStick>& Simulated() {
    static std::unique_ptr<SimulatedStick> stick;
    return stick;
}

std::string DevicePath(int32_t id) {
    std::string variable = "VNTZEL_JOYSTICK" + std::to_string(id);
    if (const char* path = std::getenv(variable.c_str())) return path;
    return "/dev/input/js" + std::to_string(id);
}

// An open stick and the buttons its events have left pressed.
struct Device {
    int fd = -1;
    uint32_t buttons = 0;
    ~Device() {
        if (fd >= 0) close(fd);
    }
};

std::map<int32_t, Device>& Devices() {
    static std::map<int32_t, Device> devices;
    return devices;
}

// Reads every waiting event; false when the stick is gone.
bool Drain(Device& device) {
    js_event event{};
    ssize_t n;
    while ((n = read(device.fd, &event, sizeof event)) == static_cast<ssize_t>(sizeof event)) {
        if ((event.type & ~JS_EVENT_INIT) != JS_EVENT_BUTTON || event.number >= 32) continue;
        const uint32_t bit = 1u << event.number;
        device.buttons = event.value ? (device.buttons | bit) : (device.buttons & ~bit);
    }
    return n >= 0 || errno == EAGAIN;
}

Device* Open(int32_t id) {
    Device& device = Devices()[id];
    if (device.fd < 0) device.fd = open(DevicePath(id).c_str(), O_RDONLY | O_NONBLOCK);
    if (device.fd >= 0) return &device;
    Devices().erase(id);
    return nullptr;
}

} // namespace

int32_t joyGetNumDevs() {
    if (Simulated()) return 1;
    int32_t count = 0;
    for (int32_t id = 0; id < 16; ++id)
        if (access(DevicePath(id).c_str(), R_OK) == 0) ++count;
    return count;
}

int32_t joyGetPosEx(int32_t Id, uint32_t& Buttons) {
    if (SimulatedStick* stick = Simulated().get()) {
        if (Id != 0 || !stick->Plugged) return JoyUnplugged;
        Buttons = stick->Buttons;
        return JoyNoError;
    }
    Device* device = Open(Id);
    if (!device) return JoyUnplugged;
    if (!Drain(*device)) {
        Devices().erase(Id);
        return JoyUnplugged;
    }
    Buttons = device->buttons;
    return JoyNoError;
}

SimulatedStick& InstallSimulatedStick() {
    Simulated() = std::make_unique<SimulatedStick>();
    return *Simulated();
}

void RemoveSimulatedStick() {
    Simulated().reset();
}

} // namespace Platform::Joystick
