#pragma once
// The cart groups in the running program: the groups loaded from the main settings file, the
// split's queue on the cart players and the main window's panel of buttons. The doors (the
// network, the playout system, serial packets, hardware inputs, the split window's keys) play
// and cue groups through CartGroupButtonsIfLoaded().
#include "breaks/SplitLinks.h"

class SplitCartGroupQueue;

namespace MainWindow {

class frmMain;
class CartGroupButtons;
class CartGroupPanel;

// Loads the groups, starts the queue and puts the panel on the main window, shown when the
// ShowCartGroups setting is on.
void StartCartGroups(frmMain& main);
// Removes the panel and stops the queue (shut-down).
void StopCartGroups();
// nullptr before StartCartGroups and after StopCartGroups.
SplitCartGroupQueue* CartGroupQueueIfLoaded();
CartGroupButtons* CartGroupButtonsIfLoaded();
// The panel picCartGroups on the main window (the menu shows and hides it).
CartGroupPanel* CartGroupPanelIfLoaded();
// Where the queue and the buttons send their words ("CART_GROUP 3", "CART_GROUP_COMPLETE 3",
// "DISPLAY_GROUP_RANGE 2"); none until a door sets it.
void SetCartGroupSender(SplitSender* sender);

} // namespace MainWindow
