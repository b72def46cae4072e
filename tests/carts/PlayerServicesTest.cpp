#include "carts/PlayerServices.h"
#include "hardware/HardwareAPI.h"
#include "main_window/ProgramContext.h"

#include <gtest/gtest.h>

using namespace HardwareAPI;

namespace {

// The player windows' display and marker outputs reach the hardware table's lines.
TEST(PlayerServices, DefaultServicesDriveTheHardwareLines) {
    ProgramContext context;
    ContextScope scope{context};
    Card(1).CardType = CardAdvantech;
    for (int16_t line : {3, 4}) {
        Card(1).Line(line).Action = 4; // Cart Display
        Card(1).Line(line).LineType = 1;
        Card(1).Line(line).Data2 = 1; // the display state the line shows
        Card(1).Line(line).Data3 = 255;
        Card(1).Line(line).Data4 = 255;
    }
    Card(1).Line(3).Data1 = 2;
    Card(1).Line(4).Data1 = 1;

    CartPlayers::PlayerServices& services = CartPlayers::Services();
    services.SetLinesByAction(4, OutputOn, 2, 1, 255, 255, false);
    EXPECT_EQ(Card(1).Line(3).State, -1);
    EXPECT_EQ(Card(1).Line(4).State, 0);

    int16_t line = 4;
    EXPECT_TRUE(services.SetHardwareLine(line, OutputOn));
    EXPECT_EQ(Card(1).Line(4).State, -1);
    line = 301;
    EXPECT_FALSE(services.SetHardwareLine(line, OutputOn));
}

} // namespace
