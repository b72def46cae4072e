#include "main_window/ProgramContext.h"

namespace {

ProgramContext*& Current() {
    static ProgramContext programContext;
    static ProgramContext* current = &programContext;
    return current;
}

} // namespace

ProgramContext& CurrentContext() {
    return *Current();
}

ContextScope::ContextScope(ProgramContext& context) : previous_(Current()) {
    Current() = &context;
}

ContextScope::~ContextScope() {
    Current() = previous_;
}

MainSettings::SettingsRecords& MainSettings::Settings() {
    return CurrentContext().Settings;
}

MainSettings::SplitSettings& MainSettings::SplitSettingsOf(int n) {
    return CurrentContext().Breaks.SplitRecord.at(static_cast<size_t>(n - 1));
}

Carts::CartsState& Carts::State() {
    return CurrentContext().Carts;
}

CartPlayers::PlayersState& CartPlayers::State() {
    return CurrentContext().Players;
}

Breaks::BreaksState& Breaks::State() {
    return CurrentContext().Breaks;
}

Breaks::CartGroupsState& Breaks::CartGroupState() {
    return CurrentContext().CartGroups;
}

SerialSettings::SerialControlSettings& SerialSettings::Settings() {
    return CurrentContext().Serial;
}

HardwareAPI::HardwareState& HardwareAPI::State() {
    return CurrentContext().Hardware;
}
