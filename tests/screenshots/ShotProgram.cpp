// The whole main window as start-up leaves it on the demo station that scripts/screenshots.sh
// names in VNTZEL_SHOT_STATION: the players, the split window with its break cued, the cart
// groups and the status bar.
#include "Screenshots.h"

#include "main_window/frmMain.h"
#include "main_window/frmMain_Load.h"

#include <QByteArray>

namespace {

QWidget* StartProgram() {
    QByteArray station = qgetenv("VNTZEL_SHOT_STATION");
    if (station.isEmpty()) return nullptr;
    qputenv("VNTZEL_WINDIR", station + "/windows");
    qputenv("VNTZEL_APPDIR", station + "/app");
    qputenv("VNTZEL_REGISTRY", station + "/windows/registry.ini");
    qputenv("VNTZEL_WAVE_OUT_DEVICES", "null,null,null,null");
    MainWindow::frmMain& main = MainWindow::MainForm();
    main.resize(1100, 760);
    if (MainWindow::MDIForm_Load(main) != MainWindow::kStartupRunning) return nullptr;
    return &main;
}

Screenshots::Register program({"Program", StartProgram, {}, [](QWidget*) {
                                   int16_t cancel = 0;
                                   MainWindow::MDIForm_Unload(cancel);
                                   MainWindow::UnloadMainForm();
                               }});

} // namespace
