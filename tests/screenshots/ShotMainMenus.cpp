// The main window's menu bar with the Settings menu open, as start-up leaves it.
#include "MainWindowShots.h"
#include "Screenshots.h"

#include "main_window/frmMain_Menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

MainWindow::MainMenus* menus = nullptr;

Screenshots::Register mainMenus({"MainWindowMenus",
                                 [] {
                                     MainWindow::frmMain& main = Screenshots::OpenMainWindow();
                                     menus = new MainWindow::MainMenus(main, {});
                                     menus->ApplyStartup(false, true);
                                     return static_cast<QWidget*>(&main);
                                 },
                                 [](QWidget*) {
                                     QMenuBar* bar = menus->MenuBar();
                                     QAction* settings = menus->Item("mnuSettings");
                                     const QRect at = bar->actionGeometry(settings);
                                     settings->menu()->popup(bar->mapToGlobal(at.bottomLeft()));
                                     settings->menu()->setActiveAction(
                                         menus->Item("mnuGeneralSettings"));
                                 },
                                 [](QWidget*) {
                                     menus = nullptr;
                                     Screenshots::CloseMainWindow();
                                 }});

} // namespace
