#pragma once
// Digital I/O card driver calls: open a device by number, ask its features and port modes,
// read and write port bytes, the text of a result code, close. Every call returns a result
// code, 0 = success. Devices with a simulated card installed use it; the others go to comedi
// ("/dev/comedi<n>").
#include <array>
#include <cstdint>
#include <string>

namespace Platform::Dio {

enum DioResult : int32_t {
    DioOk = 0,
    DioNoDevice = 1,     // nothing at that device number
    DioBadHandle = 2,    // the handle is not open
    DioBadPort = 3,      // port outside the card
    DioDriverFailed = 4, // the driver refused the call
};

struct DeviceFeatures {
    int32_t BoardID = 0;
    int16_t DigitalInputs = 0;  // input channels
    int16_t DigitalOutputs = 0; // output channels
};

// Port modes: 0 input, 1 output, 3 or 4 split (half in, half out).
struct PortConfig {
    std::array<int16_t, 10> Modes{};
    int16_t PortCount = 0;
};

int32_t DRV_DeviceOpen(int32_t DeviceNumber, int32_t& Handle);
int32_t DRV_DeviceGetFeatures(int32_t Handle, DeviceFeatures& Features);
int32_t DRV_DioGetConfig(int32_t Handle, PortConfig& Config);
int32_t DRV_DioReadPortByte(int32_t Handle, int16_t Port, uint8_t& Value);
int32_t DRV_DioWritePortByte(int32_t Handle, int16_t Port, uint8_t Value);
// The text of a result code, cut to BufferSize - 1 characters.
std::string DRV_GetErrorMessage(int32_t Code, size_t BufferSize = 80);
int32_t DRV_DeviceClose(int32_t& Handle);

// A card without hardware: tests and users without a card set its inputs and read its outputs.
struct SimulatedCard {
    DeviceFeatures Features;
    PortConfig Config;
    std::array<uint8_t, 16> InputBytes{};  // what a read of each port returns
    std::array<uint8_t, 16> OutputBytes{}; // the last byte written to each port
    int32_t FailOpen = 0;                  // result code the open returns
    int32_t FailFeatures = 0;
    int32_t FailConfig = 0;
    int32_t FailClose = 0;
    int32_t FailRead = 0; // result code every port read returns
    int OpenHandles = 0;
};

// Installs (or replaces) a simulated card at a device number; the card lives until removed.
SimulatedCard& InstallSimulatedCard(int32_t DeviceNumber);
// The simulated card at a device number, nullptr when none.
SimulatedCard* FindSimulatedCard(int32_t DeviceNumber);
void RemoveSimulatedCard(int32_t DeviceNumber);
void RemoveAllSimulatedCards();

} // namespace Platform::Dio
