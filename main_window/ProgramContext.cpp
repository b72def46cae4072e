#include "main_window/ProgramContext.h"

namespace {

// The general state goes with the context, so the core's helpers follow a scope.
void MakeCurrent(ProgramContext*& current, ProgramContext& context) {
    current = &context;
    GeneralFunctions::UseState(&context.General);
}

ProgramContext*& Current() {
    static ProgramContext programContext;
    static ProgramContext* current = [] {
        // What was set before the context existed (the debug switch) carries over.
        programContext.General = GeneralFunctions::State();
        GeneralFunctions::UseState(&programContext.General);
        return &programContext;
    }();
    return current;
}

} // namespace

ProgramContext::~ProgramContext() {
    if (&GeneralFunctions::State() == &General) GeneralFunctions::UseState(nullptr);
}

ProgramContext& CurrentContext() {
    return *Current();
}

ContextScope::ContextScope(ProgramContext& context) : previous_(Current()) {
    MakeCurrent(Current(), context);
}

ContextScope::~ContextScope() {
    MakeCurrent(Current(), *previous_);
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
