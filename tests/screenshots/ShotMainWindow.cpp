// The main window with its cart players on null devices.
#include "MainWindowShots.h"
#include "Screenshots.h"

namespace {

Screenshots::Register
    mainWindow({"MainWindow",
                [] { return static_cast<QWidget*>(&Screenshots::OpenMainWindow()); },
                {},
                [](QWidget*) { Screenshots::CloseMainWindow(); }});

} // namespace
