#pragma once
// The main window's start-up and shut-down: everything the program runs is started here in a
// fixed order and taken down in a fixed order when the main window closes.
#include <cstdint>
#include <string>

class SplitEngine;
class frmSplit;

namespace MainWindow {

class frmMain;

// MDIForm_Load's answer while the program runs on; any other value is the exit code of a
// start-up that stopped.
inline constexpr int kStartupRunning = -1;

int MDIForm_Load(frmMain& main);
// Why the last MDIForm_Load stopped, in the words of its box; empty when it did not stop.
const std::string& StartupStopReason();
// Refreshes the cart-group buttons (the main window became active).
void MDIForm_Activate();
// Cancel is never set.
void MDIForm_Unload(int16_t& Cancel);
// The status bar's "logging" panel: "Logging OK" or "Logging DISABLED!".
void UpdateLoggingCaption();
// Offers the playout system's data and audiowall folders when they can be found; true when
// the user took them.
bool SearchForDataLocations();

// The ports start-up listens on, as the network panel shows them.
std::string ListeningPortsText();
// The line a headless run prints once start-up is complete: its folders and ports.
std::string ReadyLine();

// The split engine and window once start-up has made them, else nullptr.
SplitEngine* RunningSplit();
frmSplit* SplitWindowIfLoaded();

} // namespace MainWindow
