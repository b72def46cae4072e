#pragma once
// The running program's remote control: the TCP doors (playout system, master/slave network,
// ZOZ) that drive the split engine, opened at start-up.
class SplitEngine;

namespace MainWindow {

class frmMain;

// Makes the doors of the current context, makes them the split's sender and the cart groups'
// sender, and opens the sockets.
void StartRemoteControl(SplitEngine& split);
// Closes the sockets and detaches the doors from the split (shut-down).
void StopRemoteControl();
// The last steps of shut-down: every socket closed, then the control and bounce ports.
void CloseSocketsAndPorts(frmMain& main);

} // namespace MainWindow
