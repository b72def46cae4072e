#include "hardware/HardwareCatalogue.h"

#include "hardware/ZEL_Specific_Actions.h"
#include "platform/VB.h"

#include <map>
#include <optional>

namespace HardwareCatalogue {

namespace {

using namespace ZEL_Specific;
using Names = std::map<int32_t, std::string>;

std::string NameOf(const Names& names, int32_t value) {
    auto it = names.find(value);
    return it == names.end() ? std::string() : it->second;
}

const Names& PlayerCommands() {
    static const Names names{{0, "Play"},
                             {1, "Pause"},
                             {2, "Cue"},
                             {3, "Eject"},
                             {4, "Forward"},
                             {5, "Rewind"},
                             {240, "Inhibit Logging"}};
    return names;
}

const Names& DisplayStates() {
    static const Names names{
        {0, "Playing"},     {1, "Is Cued Ready"},       {2, "During Intro"},
        {3, "After Extro"}, {4, "Cued/Extro flashing"}, {5, "Playing/Extro flashing"}};
    return names;
}

// The Data1 name of code 96; nothing for a value the list does not name.
std::optional<std::string> ZLorMode(int32_t value, bool output) {
    static const Names names{
        {1, "Standby"}, {2, "Live Assist"}, {3, "Auto-Mation"}, {4, "Auto-Fade"}};
    if (value == 255) return std::string(output ? "Running" : "Use Log Mode");
    auto it = names.find(value);
    if (it == names.end()) return std::nullopt;
    return it->second;
}

std::string Data1Name(int32_t action, int32_t value) {
    static const Names adverts{{1, "ZEL - Play Adverts"}};
    static const Names cartControl{{0, "Play Cart"}, {2, "Cue Cart"}};
    static const Names station{{1, "Has Control"}};
    static const Names miscInput{
        {1, "Exit Looping Carts"}, {2, "Generate Rec Logs"}, {3, "ZEL - Ignore RS232 Cmds"}};
    static const Names miscOutput{{1, "Heartbeat Pulse"}, {2, "Audio Run Ended"}};
    switch (action) {
    case actAdverts:
        return NameOf(adverts, value);
    case actCartControl:
        return NameOf(cartControl, value);
    case actStationControl:
        return NameOf(station, value);
    case actMiscInput:
        return NameOf(miscInput, value);
    case actMiscOutput:
        return NameOf(miscOutput, value);
    default:
        return {};
    }
}

void WriteCells(GridRow& row, const HardwareAPI::HardwareLine& line) {
    const bool output = line.LineType != 0;
    const std::string d1 = std::to_string(line.Data1), d2 = std::to_string(line.Data2);
    auto cells = [&](std::string info1, std::string info2) {
        row[colInfo1] = std::move(info1);
        row[colInfo2] = std::move(info2);
        row[colInfo3].clear();
        row[colInfo4].clear();
    };
    row[colAction] = ActionName(line.Action, output);
    switch (line.Action) {
    case actICTrigger:
    case actICDisplay:
        return cells("Instant Cart " + d1, "");
    case actPlayerControl:
        return cells("Cart Player " + d1, NameOf(PlayerCommands(), line.Data2));
    case actPlayerDisplay:
        return cells("Cart Player " + d1, NameOf(DisplayStates(), line.Data2));
    case actSetTime:
        return cells("offset: " + d1, line.Data2 == 0 ? "Set on Activate" : "Set on Clear");
    case actCartControl:
        return cells(Data1Name(line.Action, line.Data1), "Cart: " + d2);
    case actZLorMode: {
        std::optional<std::string> mode = ZLorMode(line.Data1, output);
        return cells(mode ? *mode : row[colInfo1], "");
    }
    case actPlayGroup:
    case actGroupActive:
        row[colInfo1] = "Group : " + d1;
        return;
    case actAdverts:
    case actStationControl:
    case actMiscInput:
    case actMiscOutput:
        return cells(Data1Name(line.Action, line.Data1), "");
    default:
        return cells("", "");
    }
}

std::optional<std::string> AutomaticDescription(const GridRow& row,
                                                const HardwareAPI::HardwareLine& line) {
    const std::string d1 = std::to_string(line.Data1);
    switch (line.Action) {
    case actICTrigger:
        return "IC Trigger " + d1;
    case actICDisplay:
        return "IC Display " + d1;
    case actPlayerControl:
        return row[colInfo2] + " Player " + d1;
    case actPlayerDisplay:
        return "Player " + d1 + " " + row[colInfo2];
    case actAdverts:
    case actStationControl:
    case actMiscInput:
    case actMiscOutput:
        return row[colInfo1];
    case actSetTime:
        return row[colAction];
    case actCartControl:
        return row[colInfo1] + " " + std::to_string(line.Data2);
    case actZLorMode:
        return "Z-LOR - " + row[colInfo1];
    case actPlayGroup:
        return "ZEL - Play Group " + d1;
    case actGroupActive:
        return "ZEL - Group " + d1 + " Active";
    default:
        return std::nullopt;
    }
}

} // namespace

std::string ActionName(int32_t Action, bool OutputLine) {
    static const Names names{
        {actICTrigger, "IC Trigger"},         {actICDisplay, "IC Display"},
        {actPlayerControl, "Player Control"}, {actPlayerDisplay, "Player Display"},
        {actAdverts, "ZEL - Adverts"},        {actSetTime, "Set Time"},
        {actCartControl, "Cart Control"},     {actStationControl, "Station Control"},
        {actMiscInput, "Miscellaneous"},      {actMiscOutput, "Miscellaneous"},
        {actPlayGroup, "ZEL - Play Group"},   {actGroupActive, "ZEL - Group Active"}};
    if (Action == actZLorMode) return OutputLine ? "Disp Z-LOR Mode" : "Z-LOR - Set Mode";
    std::string name = NameOf(names, Action);
    return name.empty() ? "Not in use" : name;
}

void GetGridinfo(GridRow& Row, HardwareAPI::HardwareLine& Line) {
    WriteCells(Row, Line);
    if (VB::Trim(Line.Description).empty())
        if (std::optional<std::string> text = AutomaticDescription(Row, Line))
            Line.Description = *text;
    Row[colDescription] = VB::Trim(Line.Description);
}

} // namespace HardwareCatalogue
