#pragma once
// The joystick port: how many sticks there are and the buttons of one. A simulated stick,
// when installed, stands in for the devices; otherwise stick n is /dev/input/js<n> (or the
// path in $VNTZEL_JOYSTICK<n>), read through the kernel joystick interface.
#include <cstdint>

namespace Platform::Joystick {

enum JoyResult : int32_t {
    JoyNoError = 0,
    JoyUnplugged = 167, // the stick is not there
};

// Number of sticks that can be read (0 when none).
int32_t joyGetNumDevs();
// The pressed buttons of stick Id (bit n = button n + 1).
int32_t joyGetPosEx(int32_t Id, uint32_t& Buttons);

struct SimulatedStick {
    uint32_t Buttons = 0;
    bool Plugged = true;
};
SimulatedStick& InstallSimulatedStick();
void RemoveSimulatedStick();

} // namespace Platform::Joystick
