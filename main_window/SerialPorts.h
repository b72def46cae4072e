#pragma once
// The main window's serial control and bounce ports, set up from the serial settings.
#include <string>

namespace MainWindow {

// Reads the serial settings of iniFile and, with UseSerial on, sets up and opens the main
// window's control and bounce ports (the main window is created on first use).
void LoadSerialSettings(const std::string& iniFile);

} // namespace MainWindow
