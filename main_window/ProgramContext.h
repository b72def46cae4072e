#pragma once
// The program-wide records of one running instance. The program has one; tests make their own
// so that two instances (master and slave) can live in one process.
#include "breaks/SplitRecord.h"
#include "breaks/ZEL_Specific_CartGroups.h"
#include "carts/CartsState.h"
#include "carts/PlayerTable.h"
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

// The current instance: the program's own unless a scope below has made another current.
ProgramContext& CurrentContext();

// Makes a context current for its lifetime, then restores the one before it.
class ContextScope {
public:
    explicit ContextScope(ProgramContext& context);
    ~ContextScope();
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    ProgramContext* previous_;
};
