#pragma once
// The program-wide records of one running instance. The program has one; tests make their own
// so that two instances (master and slave) can live in one process.
#include "breaks/SplitRecord.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "carts/CartsState.h"
#include "carts/PlayerTable.h"
#include "core/ContextScope.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/SerialSettings.h"
#include "hardware/HardwareAPI.h"

#include <memory>

namespace MainWindow {
class NetworkDoors;
class frmMain;
} // namespace MainWindow

struct ProgramContext {
    ProgramContext() = default;
    // Gives the general state back to the core when this context's record is in use.
    ~ProgramContext();
    ProgramContext(const ProgramContext&) = delete;
    ProgramContext& operator=(const ProgramContext&) = delete;

    // Trace level and depth, the OS version and the folder chooser's start folder.
    GeneralFunctions::GeneralState General;
    MainSettings::SettingsRecords Settings;
    Carts::CartsState Carts;
    CartPlayers::PlayersState Players;
    Breaks::BreaksState Breaks;
    Breaks::CartGroupsState CartGroups;
    SerialSettings::SerialControlSettings Serial;
    HardwareAPI::HardwareState Hardware;
    // Set when start-up reaches its network step.
    bool NetworkEnabled = false;
    // The TCP doors once the program has opened them.
    std::shared_ptr<MainWindow::NetworkDoors> Network;
    // The main window once made (first use); destroyed first.
    std::shared_ptr<MainWindow::frmMain> MainForm;
};
