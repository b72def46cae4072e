// The whole main window as start-up leaves it on the demo station that scripts/screenshots.sh
// names in VNTZEL_SHOT_STATION: the players, the split window with its break cued, the cart
// groups and the status bar; once widened, once at its smallest with tracing on.
#include "Screenshots.h"

#include "main_window/CommandLine.h"
#include "main_window/frmMain.h"
#include "main_window/frmMain_Load.h"

#include <QByteArray>

namespace {

QWidget* StartProgram(const char* commandLine, int width, int height) {
    QByteArray station = qgetenv("VNTZEL_SHOT_STATION");
    if (station.isEmpty()) return nullptr;
    qputenv("VNTZEL_WINDIR", station + "/windows");
    qputenv("VNTZEL_APPDIR", station + "/app");
    qputenv("VNTZEL_REGISTRY", station + "/windows/registry.ini");
    qputenv("VNTZEL_WAVE_OUT_DEVICES", "null,null,null,null");
    MainWindow::SetCommandLine(commandLine);
    MainWindow::frmMain& main = MainWindow::MainForm();
    if (MainWindow::MDIForm_Load(main) != MainWindow::kStartupRunning) return nullptr;
    // Resized once running, as a user widens the window: the players follow.
    main.resize(width, height);
    return &main;
}

void StopProgram(QWidget*) {
    int16_t cancel = 0;
    MainWindow::MDIForm_Unload(cancel);
    MainWindow::UnloadMainForm();
}

Screenshots::Register
    program({"Program", [] { return StartProgram("", 1280, 800); }, {}, StopProgram});
// What scripts/run.sh starts, at the smallest size the window takes: the network panel shows.
Screenshots::Register smallest(
    {"ProgramSmallestDebug", [] { return StartProgram("/DEBUG", 800, 640); }, {}, StopProgram});

} // namespace
