#include "main_window/SerialPorts.h"

#include "core/GeneralFunctions.h"
#include "core/SerialSettings.h"
#include "main_window/frmMain.h"
#include "platform/SerialPort.h"

namespace MainWindow {

namespace {

// Sets a port's number (when given), handshaking and settings, then opens it (when numbered);
// a failure of any step is shown with the action's words and the port is left closed.
void SetUpPort(Platform::SerialPort& port, int16_t number,
               const SerialSettings::SerialControlSettings& s, const std::string& action) {
    int32_t result = 0;
    if (number > 0) result = port.SetCommPort(number);
    if (result == 0) result = port.SetHandshaking(s.SerialHandshaking);
    if (result == 0) result = port.SetSettings(s.SerialSettings);
    if (number <= 0) return;
    if (result == 0) result = port.SetPortOpen(true);
    if (result != 0)
        GeneralFunctions::FormatErrorMessage(action, result, false, port.LastErrorText());
}

} // namespace

void LoadSerialSettings(const std::string& iniFile) {
    SerialSettings::ReadSerialSettings(iniFile);
    const SerialSettings::SerialControlSettings& s = SerialSettings::Settings();
    if (s.UseSerial == 0) return;
    frmMain& main = MainForm();
    SetUpPort(main.commControl(), s.SerialPort, s, "opening the Serial control port");
    SetUpPort(main.commBounce(), s.SerialBouncePort, s, "opening the Serial control bounce port");
}

} // namespace MainWindow
