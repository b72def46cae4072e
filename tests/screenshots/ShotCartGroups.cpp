// The cart-group panel: page 1 with groups of both playout modes, empty groups and one
// button pressed.
#include "MainWindowShots.h"
#include "Screenshots.h"

#include "breaks/SplitCartGroupQueue.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "main_window/CartGroupButtons.h"
#include "main_window/CartGroupPanel.h"
#include "main_window/CartGroupStartup.h"
#include "main_window/frmMain.h"

#include <memory>

namespace {

struct Panel {
    SplitCartGroupQueue queue;
    MainWindow::CartGroupButtons buttons{queue};
};

std::unique_ptr<Panel>& Instance() {
    static std::unique_ptr<Panel> panel;
    return panel;
}

void FillGroups() {
    ZEL_Specific::LoadCartGroups("VNTZEL.INI");
    const char* names[] = {"Station ID", "Jingles", "Sweepers", "",       "News In", "News Out",
                           "Weather",    "",        "Traffic",  "Promos", "",        "Beds",
                           "Stingers",   "",        "Liners",   "Drops"};
    for (int32_t g = 1; g <= 16; ++g) {
        if (*names[g - 1] == '\0') continue;
        Breaks::CartGroupRecord& group = *Breaks::CartGroup(g);
        group.CartNumber(1) = 100 + g;
        group.NumberOfCarts = 1;
        group.PlayoutMode = g % 3 == 0 ? 1 : 0;
        group.Description = names[g - 1];
    }
}

Screenshots::Register cartGroups({"CartGroups",
                                  [] {
                                      FillGroups();
                                      Instance() = std::make_unique<Panel>();
                                      auto* panel =
                                          new MainWindow::CartGroupPanel(Instance()->buttons);
                                      panel->setWindowTitle("Cart groups");
                                      panel->resize(1000, MainWindow::CartGroupPanel::kHeight);
                                      Instance()->buttons.UpdateCartGroups();
                                      return static_cast<QWidget*>(panel);
                                  },
                                  [](QWidget*) {
                                      // Pressed, and held so for the picture.
                                      Instance()->buttons.PlayCartGroup(2, false);
                                      Instance()->buttons.PressTimer(2).stop();
                                  },
                                  [](QWidget* window) {
                                      delete window;
                                      Instance().reset();
                                  }});

// The panel as start-up puts it on the main window, under the player windows.
Screenshots::Register mainWindow({"MainWindowCartGroups",
                                  [] {
                                      MainWindow::frmMain& main = Screenshots::OpenMainWindow();
                                      MainWindow::StartCartGroups(main);
                                      FillGroups();
                                      MainWindow::CartGroupButtonsIfLoaded()->UpdateCartGroups();
                                      return static_cast<QWidget*>(&main);
                                  },
                                  {},
                                  [](QWidget*) {
                                      MainWindow::StopCartGroups();
                                      Screenshots::CloseMainWindow();
                                  }});

} // namespace
