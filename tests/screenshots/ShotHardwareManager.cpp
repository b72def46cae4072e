// The hardware manager restored from the tray: a serial I/O card with described lines, some
// of them active.
#include "Screenshots.h"

#include "hardware/frmHardwareManager.h"

namespace {

void FillCard() {
    HardwareAPI::HardwareCard& card = HardwareAPI::Card(1);
    card.CardType = HardwareAPI::CardSerialIO;
    card.CommPort = card.BaseAddress = 0; // no port: nothing is opened
    card.TotalLines = 8;
    const char* names[] = {"Play Adverts",    "Play Player 1",   "Generate Rec Logs",    "",
                           "Heartbeat Pulse", "Audio Run Ended", "ZEL - Group 3 Active", ""};
    for (int k = 1; k <= 8; ++k) {
        card.Line(k).LineType = k <= 4 ? 0 : 1;
        card.Line(k).Description = names[k - 1];
    }
}

Screenshots::Register
    hardwareManager({"HardwareManager",
                     [] {
                         FillCard();
                         auto* form = new HardwareManager::frmHardwareManager;
                         form->Form_Load();
                         for (int k : {1, 5, 7})
                             HardwareAPI::Card(1).Line(k).State = -1;
                         form->Restore();
                         return static_cast<QWidget*>(form);
                     },
                     {},
                     [](QWidget* window) {
                         auto* form = static_cast<HardwareManager::frmHardwareManager*>(window);
                         form->Form_Unload();
                         delete form;
                     }});

} // namespace
