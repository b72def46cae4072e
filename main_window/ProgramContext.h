#pragma once
// The program-wide records of one running instance. The program has one; tests make their own
// so that two instances (master and slave) can live in one process.
#include "breaks/SplitRecord.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "carts/CartsState.h"
#include "carts/PlayerTable.h"
#include "core/ContextScope.h"
#include "core/MainSettings.h"
#include "core/SerialSettings.h"
#include "hardware/HardwareAPI.h"

#include <memory>

namespace MainWindow {
class NetworkDoors;
}

struct ProgramContext {
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
};
