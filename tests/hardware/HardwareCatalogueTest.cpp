// Every catalogued action rendered into a grid row, with its automatic description.
#include "hardware/HardwareCatalogue.h"
#include "platform/VB.h"

#include <gtest/gtest.h>

namespace {

using HardwareCatalogue::GridRow;

struct Case {
    int32_t action, data1, data2, lineType;
    const char *actionText, *info1, *info2, *description;
};

TEST(HardwareCatalogue, CellsAndAutomaticDescriptionsOfEveryCode) {
    const Case cases[] = {
        {0, 4, 4, 0, "Not in use", "", "", ""},
        {1, 7, 0, 0, "IC Trigger", "Instant Cart 7", "", "IC Trigger 7"},
        {2, 7, 0, 1, "IC Display", "Instant Cart 7", "", "IC Display 7"},
        {3, 2, 0, 0, "Player Control", "Cart Player 2", "Play", "Play Player 2"},
        {3, 1, 4, 0, "Player Control", "Cart Player 1", "Forward", "Forward Player 1"},
        {3, 2, 240, 0, "Player Control", "Cart Player 2", "Inhibit Logging",
         "Inhibit Logging Player 2"},
        {3, 2, 99, 0, "Player Control", "Cart Player 2", "", "Player 2"},
        {4, 3, 4, 1, "Player Display", "Cart Player 3", "Cued/Extro flashing",
         "Player 3 Cued/Extro flashing"},
        {5, 1, 0, 0, "ZEL - Adverts", "ZEL - Play Adverts", "", "ZEL - Play Adverts"},
        {5, 2, 0, 0, "ZEL - Adverts", "", "", ""},
        {6, -30, 1, 0, "Set Time", "offset: -30", "Set on Clear", "Set Time"},
        {6, 5, 0, 0, "Set Time", "offset: 5", "Set on Activate", "Set Time"},
        {64, 2, 1234, 0, "Cart Control", "Cue Cart", "Cart: 1234", "Cue Cart 1234"},
        {80, 1, 0, 0, "Station Control", "Has Control", "", "Has Control"},
        {96, 255, 0, 1, "Disp Z-LOR Mode", "Running", "", "Z-LOR - Running"},
        {96, 255, 0, 0, "Z-LOR - Set Mode", "Use Log Mode", "", "Z-LOR - Use Log Mode"},
        {96, 3, 0, 0, "Z-LOR - Set Mode", "Auto-Mation", "", "Z-LOR - Auto-Mation"},
        {144, 1, 0, 0, "Miscellaneous", "Exit Looping Carts", "", "Exit Looping Carts"},
        {144, 3, 0, 0, "Miscellaneous", "ZEL - Ignore RS232 Cmds", "", "ZEL - Ignore RS232 Cmds"},
        {151, 1, 0, 1, "Miscellaneous", "Heartbeat Pulse", "", "Heartbeat Pulse"},
        {151, 2, 0, 1, "Miscellaneous", "Audio Run Ended", "", "Audio Run Ended"},
        {257, 12, 0, 0, "ZEL - Play Group", "Group : 12", "old", "ZEL - Play Group 12"},
        {258, 12, 0, 1, "ZEL - Group Active", "Group : 12", "old", "ZEL - Group 12 Active"},
        {7, 1, 1, 0, "Not in use", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.action) + "/" + std::to_string(c.data1));
        HardwareAPI::HardwareLine line;
        line.Action = c.action;
        line.Data1 = c.data1;
        line.Data2 = c.data2;
        line.LineType = c.lineType;
        line.Description = "  ";
        GridRow row;
        row.fill("old");
        HardwareCatalogue::GetGridinfo(row, line);
        EXPECT_EQ(row[HardwareCatalogue::colAction], c.actionText);
        EXPECT_EQ(row[HardwareCatalogue::colInfo1], c.info1);
        EXPECT_EQ(row[HardwareCatalogue::colInfo2], c.info2);
        const bool groups = c.action == 257 || c.action == 258;
        EXPECT_EQ(row[HardwareCatalogue::colInfo3], groups ? "old" : "");
        EXPECT_EQ(row[HardwareCatalogue::colDescription], c.description);
        if (c.action != 7 && c.action != 0 && std::string(c.description) != "") {
            EXPECT_EQ(VB::Trim(line.Description), c.description)
                << "kept in the table for the save";
        }
    }

    // A description of its own is kept, shown trimmed; a 96 with an unnamed mode keeps Info 1.
    HardwareAPI::HardwareLine own;
    own.Action = 96;
    own.Data1 = 9;
    own.Description = " Mine ";
    GridRow row;
    row.fill("old");
    HardwareCatalogue::GetGridinfo(row, own);
    EXPECT_EQ(row[HardwareCatalogue::colDescription], "Mine");
    EXPECT_EQ(own.Description, " Mine ");
    EXPECT_EQ(row[HardwareCatalogue::colInfo1], "old");
}

} // namespace
