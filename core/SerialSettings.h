#pragma once
// The serial control settings of [ZELNetwork] and the serial profile: packet framing and the
// packet-to-action command table.
#include <cstdint>
#include <string>

namespace SerialSettings {

struct SerialControlSettings {
    int16_t UseSerial = 0;
    int16_t SerialPort = 0;
    int16_t SerialBouncePort = 0;
    int16_t SerialHandshaking = 0;
    std::string SerialProfileName;
    std::string SerialSettings;
    std::string StartCode;
    std::string EndCode;
    int16_t PacketLength = 0;
    int32_t CheckGroupBreakLengthDifference = 0;
    // Entries of packet + "=" + action code + " ", in profile order.
    std::string SerialCommandTable;
};

// The settings of the current program context.
SerialControlSettings& Settings();

// Reads [ZELNetwork] of iniFile; with UseSerial on, loads the profile from the program folder.
// The main window opens its ports with these settings (MainWindow::LoadSerialSettings).
void ReadSerialSettings(const std::string& iniFile);
// Fills the framing settings and the command table from a profile (full path).
void LoadCommandCodes(const std::string& profileFile);
// Replaces the control-code tokens (<ESC>, <CR>, <LF>, <<>, <27>, <&H1B>) by characters.
std::string ParseControlCodes(const std::string& text);
// The table's action code for a profile action text ("GROUP 7" -> "GR7").
std::string ActionCode(const std::string& value);

} // namespace SerialSettings
