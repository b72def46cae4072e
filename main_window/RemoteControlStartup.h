#pragma once
// The running program's remote control: the split engine on the cart players, and the TCP
// doors (playout system, master/slave network, ZOZ) that drive it, opened at start-up.
class SplitEngine;

namespace MainWindow {

// Makes the split engine and the doors of the current context and opens the sockets.
void StartRemoteControl();
// Closes the sockets and removes both (shut-down).
void StopRemoteControl();
// nullptr before StartRemoteControl and after StopRemoteControl.
SplitEngine* SplitEngineIfLoaded();

} // namespace MainWindow
