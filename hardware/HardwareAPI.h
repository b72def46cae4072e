#pragma once
// The hardware table of up to three I/O cards of up to 100 lines each, the card types' line
// counts, and the line interface through which the rest of the system switches outputs and
// looks at lines (the players and the split reach the part in carts/HardwareLines.h). The
// operations change only the table's run-time fields; the hardware manager puts them onto the
// cards.
#include "carts/HardwareLines.h"
#include "core/GeneralFunctions.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace HardwareAPI {

constexpr int kHardwareLineCount = 300; // (card - 1) x 100 + line
constexpr int kCardCount = 3;
constexpr int kLinesPerCard = 100;

enum HardwareCardType : int32_t {
    CardDisabled = 0,
    CardSingle8255 = 1,
    CardDual8255 = 2,
    CardSerialIO = 3,
    CardAdvantech = 4,
    CardJoystick = 5,
};

struct HardwareLine {
    int32_t LineType = 0;                 // 0 input, other output
    int16_t State = 0;                    // Boolean: the line is active
    int16_t PreviousState = 0;            // Boolean: the manager's last seen state
    int16_t ActiveLow = 0;                // Boolean
    int16_t Flashing = 0;                 // Boolean
    GeneralFunctions::TimeStamp PulseEnd; // Day 0 = no pulse
    std::string Description;
    int32_t Color = 0;
    int32_t Action = 0;
    int32_t Data1 = 0, Data2 = 0, Data3 = 0, Data4 = 0;
};

struct HardwareCard {
    int32_t CardType = 0;
    int16_t BaseAddress = 0;
    int16_t CommPort = 0;
    int32_t DriverHandle = 0;
    int16_t BoardID = 0;
    std::array<HardwareLine, kLinesPerCard> Lines; // Lines[0] is line 1
    int16_t TotalLines = 0;                        // 0..100
    int16_t Inputs = 0;
    int16_t Outputs = 0;

    HardwareLine& Line(int k) { return Lines[static_cast<size_t>(k - 1)]; }
    const HardwareLine& Line(int k) const { return Lines[static_cast<size_t>(k - 1)]; }
};

// Doors of the action runner into the rest of the program; an empty door does nothing.
struct HardwareDoors {
    std::function<void(bool NotifyNetwork)> playBreak;                    // the split's cued break
    std::function<void(int16_t Group, bool NotifyNetwork)> playCartGroup; // a cart group
    std::function<void()> updateLoggingCaption;                           // the logging panel
    std::function<void(const std::string& Text)> sendMessageToNetwork;    // master and slaves
    std::function<void(bool Ignore)> ignoreSerialCommands; // the serial command port's flag
};

struct HardwareState {
    std::array<HardwareCard, kCardCount> HardwareTable; // [0] is card 1
    // Told of every line change (card, line) in place of the action runner when installed.
    std::function<void(int16_t Card, int16_t Line)> doHardwareAction;
    HardwareDoors Doors;
};

// The hardware records of the current program context.
HardwareState& State();
HardwareCard& Card(int card); // 1..3

// Card and line of a line number 1..300; false outside that range.
bool SplitLineNumber(int32_t LineNumber, int16_t& Card, int16_t& Line);

// The driver's box for a failed Advantech call: what failed ("connecting to", ...) and the
// driver's text for the code.
void AdvantechDriverBox(const std::string& what, int32_t code);
// Boards whose ports are configured by mode (their output ports follow the input ports).
bool ConfigurableBoard(int32_t BoardID);

// Line counts of a card type. False (counts untouched) for an unknown type. An Advantech
// card (type 4) is asked through the driver; its failures are shown in boxes. Counts never
// exceed the 100 lines a card has in the table.
bool GetCardLineCounts(int32_t CardType, int16_t DeviceNumber, int16_t& TotalLines, int16_t& Inputs,
                       int16_t& Outputs);

// A copy of the line; an empty record outside 1..300.
HardwareLine GetHardwareLine(int16_t LineNumber);

} // namespace HardwareAPI
