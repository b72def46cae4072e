#pragma once
// The program's fixed TCP ports. VNTZEL_PORT_OFFSET (tests only) moves all of them by the same
// amount so that several instances can run side by side on one machine.
#include <cstdint>

namespace Platform {

constexpr int32_t SlavePort = 6930;
constexpr int32_t PlayoutControlPort = 6969;
constexpr int32_t kZOZPortBase = 6900;

// The port with the offset of VNTZEL_PORT_OFFSET added (0 when unset or not a number).
int32_t FixedPort(int32_t port);

} // namespace Platform
